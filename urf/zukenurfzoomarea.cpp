#include "urf/zukenurfzoomarea.h"

#include "urf/urftext.h"

#include <QTextStream>

void ZukenUrfZoomArea::write(QTextStream &out, int version) const
{
    out << UrfText::indent(indent) << "zoomarea," << id << ',' << UrfText::coordinate(x1, version) << ','
        << UrfText::coordinate(y1, version) << ',' << UrfText::coordinate(x2, version) << ','
        << UrfText::coordinate(y2, version) << '\n';
}
