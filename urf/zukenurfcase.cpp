#include "urf/zukenurfcase.h"

#include "io/clock.h"
#include "urf/urftext.h"

#include <QTextStream>

void ZukenUrfCase::write(QTextStream &out, int version)
{
    if (name.isEmpty())
        return;
    if (date.isEmpty())
        date = Clock::now().toUTC().toString(QStringLiteral("yyyy/M/d hh:mm"));

    out << UrfText::indent(indent) << "case,\"" << UrfText::oneLine(name) << "\",\"" << UrfText::oneLine(date)
        << "\"," << UrfText::oneLine(versionText) << '\n';
    // Every format this program writes has field lines; version 3 and below had none.
    if (version > 3) {
        for (ZukenUrfField &field : fields) {
            field.indent = indent + 2;
            field.write(out, version);
        }
    }
    for (ZukenUrfResult &result : results) {
        result.indent = indent + 2;
        result.write(out, version);
    }
}
