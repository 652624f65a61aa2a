#pragma once

#include "urf/urfconstants.h"

#include <QString>

class QTextStream;

// A column declaration of a case. A field without a name is not written.
struct ZukenUrfField
{
    int indent = Urf::FieldIndent;
    QString name;
    bool isUnit = false;

    // "field,"{name}","{UNIT | RAW}"".
    void write(QTextStream &out, int version) const;
};
