#pragma once

#include "urf/urfconstants.h"

#include <QString>

class QTextStream;

// A comp reference. The texts hold exactly what stands in the file, quotes included.
struct ZukenUrfComp
{
    int indent = Urf::SubRecordIndent;
    QString name;
    QString extra;

    // "comp,{name},{extra}" without added quotes.
    void write(QTextStream &out, int version) const;
};
