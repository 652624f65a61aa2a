#pragma once

#include "geometry/bd.h"

#include <QByteArray>

class QTextStream;

// Polymorphic root of the geometry objects: a name and a text dump.
class bdObject : public bd
{
public:
    bdObject() = default;
    bdObject(const bdObject &) = default;
    bdObject &operator=(const bdObject &) = default;
    virtual ~bdObject();

    virtual QByteArray className() const = 0;
    virtual void write(QTextStream &stream) const = 0;

protected:
    // Starts a new dump line indented by `indent` spaces.
    static void indentLine(QTextStream &stream, quint32 indent);
};
