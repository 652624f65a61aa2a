#pragma once

#include "urf/urfconstants.h"

class QTextStream;

// A view rectangle of a result, in the file's unit.
struct ZukenUrfZoomArea
{
    int id = 0;
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    int indent = Urf::SubRecordIndent;

    // "zoomarea,{id},{x1},{y1},{x2},{y2}" in the number form of the version.
    void write(QTextStream &out, int version) const;
};
