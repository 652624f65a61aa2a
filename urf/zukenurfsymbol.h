#pragma once

#include "urf/urfconstants.h"

#include <QString>

class QTextStream;

// A mark drawn at a result: rect, arrow or tarrow (a point with a text; x2 and y2 stay 0).
struct ZukenUrfSymbol
{
    int kind = Urf::SymbolRect;
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    QString text;
    int indent = Urf::SubRecordIndent;

    // Rect and arrow in both formats; tarrow only above version 4 and always with 4 decimals;
    // other kinds write nothing.
    void write(QTextStream &out, int version) const;
};
