#include "urf/zukenurfcomp.h"

#include "urf/urftext.h"

#include <QTextStream>

void ZukenUrfComp::write(QTextStream &out, int) const
{
    out << UrfText::indent(indent) << "comp," << UrfText::oneLine(name) << ',' << UrfText::oneLine(extra)
        << '\n';
}
