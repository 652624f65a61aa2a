#include "urf/zukenurfpin.h"

#include "urf/urftext.h"

#include <QTextStream>

void ZukenUrfPin::write(QTextStream &out, int) const
{
    out << UrfText::indent(indent) << "pin," << UrfText::oneLine(text1) << ',' << UrfText::oneLine(text2)
        << ',' << UrfText::oneLine(text3) << '\n';
}
