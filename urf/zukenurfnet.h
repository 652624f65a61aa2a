#pragma once

#include "urf/urfconstants.h"

#include <QString>

class QTextStream;

// A net reference. The texts hold exactly what stands in the file, quotes included.
struct ZukenUrfNet
{
    int indent = Urf::SubRecordIndent;
    QString name;
    QString extra;

    // "net,{name},{extra}" without added quotes.
    void write(QTextStream &out, int version) const;
};
