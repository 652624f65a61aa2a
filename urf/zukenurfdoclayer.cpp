#include "urf/zukenurfdoclayer.h"

void ZukenUrfDocLayer::write(QTextStream &out) const
{
    writeLine(out, "doclayer");
}
