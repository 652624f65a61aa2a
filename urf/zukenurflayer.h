#pragma once

#include "urf/urfconstants.h"

#include <QString>

class QTextStream;

// A layer the board-design tool shows for a result. Held by value in the result's lists; the
// virtual write lets the documentation layer choose its own keyword.
class ZukenUrfLayer
{
public:
    ZukenUrfLayer() = default;
    ZukenUrfLayer(const QString &layerName, LayerKind layerKind, int layerIndent = Urf::SubRecordIndent)
        : name(layerName)
        , kind(layerKind)
        , indent(layerIndent)
    {
    }
    virtual ~ZukenUrfLayer() = default;
    ZukenUrfLayer(const ZukenUrfLayer &) = default;
    ZukenUrfLayer(ZukenUrfLayer &&) = default;
    ZukenUrfLayer &operator=(const ZukenUrfLayer &) = default;
    ZukenUrfLayer &operator=(ZukenUrfLayer &&) = default;

    // "layer,"{system | cond | ncond}","{name}"".
    virtual void write(QTextStream &out) const;

    QString name;
    LayerKind kind = LayerKind::Cond;
    int indent = Urf::SubRecordIndent;

protected:
    void writeLine(QTextStream &out, const char *keyword) const;
};
