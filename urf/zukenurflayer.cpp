#include "urf/zukenurflayer.h"

#include "urf/urftext.h"

#include <QTextStream>

void ZukenUrfLayer::write(QTextStream &out) const
{
    writeLine(out, "layer");
}

void ZukenUrfLayer::writeLine(QTextStream &out, const char *keyword) const
{
    const char *word = kind == LayerKind::System ? "system" : kind == LayerKind::NCond ? "ncond" : "cond";
    out << UrfText::indent(indent) << keyword << ",\"" << word << "\",\"" << UrfText::oneLine(name) << "\"\n";
}
