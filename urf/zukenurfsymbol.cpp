#include "urf/zukenurfsymbol.h"

#include "urf/urftext.h"

#include <QTextStream>

void ZukenUrfSymbol::write(QTextStream &out, int version) const
{
    using UrfText::coordinate;
    if (kind == Urf::SymbolRect || kind == Urf::SymbolArrow) {
        out << UrfText::indent(indent) << "symbol,\"" << (kind == Urf::SymbolRect ? "rect" : "arrow") << "\","
            << coordinate(x1, version) << ',' << coordinate(y1, version) << ',' << coordinate(x2, version)
            << ',' << coordinate(y2, version) << ",0\n";
    } else if (kind == Urf::SymbolTArrow && version > Urf::RstFormatVersion) {
        out << UrfText::indent(indent) << "symbol,\"tarrow\"," << coordinate(x1, Urf::UrfFormatVersion) << ','
            << coordinate(y1, Urf::UrfFormatVersion) << ",\"" << UrfText::oneLine(text) << "\",0,0\n";
    }
}
