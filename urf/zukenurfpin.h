#pragma once

#include "urf/urfconstants.h"

#include <QString>

class QTextStream;

// A pin reference. The texts hold exactly what stands in the file, quotes included; the third
// may be empty.
struct ZukenUrfPin
{
    int indent = Urf::SubRecordIndent;
    QString text1;
    QString text2;
    QString text3;

    // "pin,{text 1},{text 2},{text 3}" without added quotes.
    void write(QTextStream &out, int version) const;
};
