#include "urf/zukenurffield.h"

#include "urf/urftext.h"

#include <QTextStream>

void ZukenUrfField::write(QTextStream &out, int) const
{
    if (name.isEmpty())
        return;
    out << UrfText::indent(indent) << "field,\"" << UrfText::oneLine(name) << "\",\""
        << (isUnit ? "UNIT" : "RAW") << "\"\n";
}
