#include "urf/zukenurfgroup.h"

#include "urf/urftext.h"

#include <QIODevice>
#include <QTextStream>

#include <limits>
#include <utility>

void ZukenUrfGroup::write(QTextStream &out, int version)
{
    const QString sp = UrfText::indent(indent);
    out << sp << "begingroup,\"" << UrfText::oneLine(name) << "\"\n";
    for (ZukenUrfCase &c : cases)
        c.write(out, version);
    for (ZukenUrfGroup &group : subgroups)
        group.write(out, version);
    out << sp << "endgroup\n";
}

namespace {

// Results are keyed by the number at the end of their label. Labels without a number (every label
// the notes export writes) all give 0; replacing on such a collision would keep only the last
// result of a case and lose the verdicts of all others when the file is merged. A colliding result
// therefore goes under the next key after the largest one, so file order is kept among them.
void storeResult(QMap<int, ZukenUrfResult> &results, int key, ZukenUrfResult &&result)
{
    if (results.contains(key)) {
        const int last = results.lastKey();
        key = last < std::numeric_limits<int>::max() ? last + 1 : key;
    }
    results.insert(key, std::move(result));
}

} // namespace

void ZukenUrfGroup::readCases(QIODevice *device, int version, const ZukenUrfAppVersion &appVersion)
{
    while (!device->atEnd()) {
        UrfText::Line caseLine(device);
        if (!caseLine.startsWith("case"))
            continue; // lines before a case line are skipped
        caseLine.keep();

        ZukenUrfCase current;
        current.name = UrfText::quotedName(caseLine.text());
        current.versionText = QStringLiteral("%1.%2").arg(appVersion.major).arg(appVersion.minor);
        current.indent = Urf::CaseIndent;

        bool nextCase = false;
        while (!device->atEnd()) {
            UrfText::Line line(device);
            const QString &text = line.text();
            if (line.startsWith("case")) {
                cases.append(current);
                line.putBack();
                nextCase = true;
                break;
            }
            if (line.startsWith("endgroup")) {
                cases.append(current);
                return;
            }
            if (line.startsWith("field")) {
                ZukenUrfField field;
                field.name = UrfText::unquotedSection(text, 1);
                field.isUnit = UrfText::unquotedSection(text, 2) == QLatin1String("UNIT");
                field.indent = Urf::FieldIndent;
                current.fields.append(field);
            } else if (line.startsWith("result")) {
                line.keep();
                int key = 0;
                ZukenUrfResult result = ZukenUrfResult::read(text, device, version, &key);
                storeResult(current.results, key, std::move(result));
            }
        }
        if (!nextCase)
            return; // the device ended inside the case: it is dropped
    }
}
