#include "urf/zukenurffile.h"

#include "io/clock.h"
#include "io/notesguard.h"
#include "urf/urftext.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QTextStream>

bool ZukenUrfFile::save(bool merge)
{
    if (fileName.isEmpty())
        return false;
    if (merge)
        mergeExisting();

    QSaveFile file(fileName);
    // Where no temporary file can be made next to the target (a read-only folder holding a
    // writable file), write in place as a plain file would.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    write(out);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return NotesGuard::commitComplete(file);
}

void ZukenUrfFile::write(QTextStream &out)
{
    const int version = formatVersion;
    out << (version > Urf::RstFormatVersion ? "version,5.000" : "version,4.000") << '\n';
    out << "date,\"" << Clock::now().toString(QStringLiteral("yyyy/M/d hh:mm")) << "\"\n";
    if (version > Urf::RstFormatVersion) {
        out << "rsttype,\"urf\"\n";
        out << "encoding,\"Shift-JIS\"\n";
        const char *unit = unitCode == Urf::UnitInch     ? "inch"
                           : unitCode == Urf::UnitMil    ? "mil"
                           : unitCode == Urf::UnitMicron ? "micron"
                                                         : "mm";
        out << "unit,\"" << unit << "\"\n";
    }
    for (ZukenUrfGroup &group : groups)
        group.write(out, version);
}

void ZukenUrfFile::mergeExisting()
{
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    ZukenUrfFile existing;
    existing.formatVersion = Urf::UrfFormatVersion;
    existing.appVersion = ZukenUrfAppVersion{1, 0, 0};
    existing.readFile(&file);
    file.close();
    mergeFrom(existing);
}

namespace {

// Pairs the groups as the nested loops of the plain merge do, but looks results up by their
// params instead of comparing every pair. Indexes are built once per read group.
class Merger
{
public:
    void mergeGroup(ZukenUrfGroup &fresh, const ZukenUrfGroup &read)
    {
        if (!fresh.subgroups.isEmpty() && !read.subgroups.isEmpty()) {
            const QHash<QString, QList<qsizetype>> &byName = subgroupsByName(read);
            for (ZukenUrfGroup &sub : fresh.subgroups) {
                const auto it = byName.constFind(sub.name);
                if (it == byName.cend())
                    continue;
                for (const qsizetype i : *it)
                    mergeGroup(sub, read.subgroups.at(i));
            }
        } else if (!fresh.cases.isEmpty() && !read.cases.isEmpty()) {
            const QHash<QStringList, const ZukenUrfResult *> &verdicts = verdictsByParams(read);
            if (verdicts.isEmpty())
                return;
            for (ZukenUrfCase &c : fresh.cases) {
                for (ZukenUrfResult &result : c.results) {
                    const auto it = verdicts.constFind(result.params);
                    if (it == verdicts.cend())
                        continue;
                    const ZukenUrfResult &from = **it;
                    result.type = from.type;
                    result.resultText = from.resultText;
                    result.resultDate = from.resultDate;
                }
            }
        }
    }

private:
    const QHash<QString, QList<qsizetype>> &subgroupsByName(const ZukenUrfGroup &read)
    {
        auto it = names.find(&read);
        if (it == names.end()) {
            QHash<QString, QList<qsizetype>> byName;
            for (qsizetype i = 0; i < read.subgroups.size(); ++i)
                byName[read.subgroups.at(i).name].append(i);
            it = names.insert(&read, byName);
        }
        return *it;
    }

    // Read results with a verdict other than E, by params; a later result (cases in order, results
    // in key order) replaces an earlier one, as the last match wins in the plain merge.
    const QHash<QStringList, const ZukenUrfResult *> &verdictsByParams(const ZukenUrfGroup &read)
    {
        auto it = verdicts.find(&read);
        if (it == verdicts.end()) {
            QHash<QStringList, const ZukenUrfResult *> index;
            for (const ZukenUrfCase &c : read.cases) {
                for (const ZukenUrfResult &result : c.results) {
                    if (result.type != ResultType::E)
                        index.insert(result.params, &result);
                }
            }
            it = verdicts.insert(&read, index);
        }
        return *it;
    }

    QHash<const ZukenUrfGroup *, QHash<QString, QList<qsizetype>>> names;
    QHash<const ZukenUrfGroup *, QHash<QStringList, const ZukenUrfResult *>> verdicts;
};

} // namespace

void ZukenUrfFile::mergeFrom(const ZukenUrfFile &existing)
{
    Merger merger;
    for (ZukenUrfGroup &fresh : groups) {
        for (const ZukenUrfGroup &read : existing.groups)
            merger.mergeGroup(fresh, read);
    }
}

void ZukenUrfFile::readFile(QIODevice *device)
{
    using UrfText::Line;
    using UrfText::quotedName;

    while (!device->atEnd()) {
        Line top(device);
        if (top.text().isEmpty())
            continue;
        if (top.startsWith("version")) {
            if (top.text().endsWith(QLatin1String("4.000")))
                formatVersion = Urf::RstFormatVersion;
            continue;
        }
        if (!top.startsWith("begingroup"))
            continue; // unit lines and anything else
        top.keep();

        ZukenUrfGroup g1;
        g1.name = quotedName(top.text());
        while (!device->atEnd()) {
            Line line1(device);
            if (line1.startsWith("begingroup")) {
                line1.keep();
                ZukenUrfGroup g2;
                g2.name = quotedName(line1.text());
                while (!device->atEnd()) {
                    Line line2(device);
                    if (line2.startsWith("begingroup")) {
                        line2.keep();
                        ZukenUrfGroup g3;
                        g3.name = quotedName(line2.text());
                        g3.readCases(device, formatVersion, appVersion);
                        g2.subgroups.append(g3);
                    } else if (line2.startsWith("endgroup")) {
                        g1.subgroups.append(g2);
                        break;
                    } else if (line2.startsWith("case")) {
                        line2.putBack();
                        g2.readCases(device, formatVersion, appVersion);
                        g1.subgroups.append(g2);
                        break;
                    }
                }
            } else if (line1.startsWith("case")) {
                // Cases straight inside a top-level group: they form a group of their own, named
                // after the first case; the enclosing group is dropped.
                ZukenUrfGroup g;
                g.name = quotedName(line1.text());
                line1.putBack();
                g.readCases(device, formatVersion, appVersion);
                groups.append(g);
                break;
            } else if (line1.startsWith("endgroup")) {
                groups.append(g1);
                break;
            }
        }
    }
}
