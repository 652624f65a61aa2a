#include "urf/zukenurfnet.h"

#include "urf/urftext.h"

#include <QTextStream>

void ZukenUrfNet::write(QTextStream &out, int) const
{
    out << UrfText::indent(indent) << "net," << UrfText::oneLine(name) << ',' << UrfText::oneLine(extra)
        << '\n';
}
