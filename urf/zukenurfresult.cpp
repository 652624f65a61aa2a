#include "urf/zukenurfresult.h"

#include "io/clock.h"
#include "urf/urftext.h"

#include <QIODevice>
#include <QTextStream>

#include <type_traits>

char ZukenUrfResult::typeLetter(ResultType type)
{
    switch (type) {
    case ResultType::E:
        return 'E';
    case ResultType::M:
        return 'M';
    case ResultType::A:
        return 'A';
    case ResultType::F:
        return 'F';
    case ResultType::Q:
        return 'Q';
    case ResultType::N:
        break;
    }
    return 'N';
}

void ZukenUrfResult::write(QTextStream &out, int version)
{
    const QString sp = UrfText::indent(indent);
    out << sp << "result," << typeLetter(type) << ',';
    if (!resultText.isEmpty())
        out << '"' << UrfText::oneLine(resultText) << '"';
    out << ',';
    if (type == ResultType::A)
        out << '"' << Clock::now().toUTC().toString(QStringLiteral("yyyy/MM/dd hh:mm")) << '"';
    out << ',';
    if (number1 != 0)
        out << number1;
    out << ',';
    if (number2 != 0)
        out << number2;
    out << '\n';

    const int sub = indent + 2;
    if (!params.isEmpty()) {
        out << UrfText::indent(sub) << "param";
        for (const QString &param : std::as_const(params))
            out << ",\"" << UrfText::oneLine(param) << '"';
        out << '\n';
    }
    const auto writeAll = [&out, sub, version](auto &records) {
        for (auto &record : records) {
            record.indent = sub;
            // Layer lines do not depend on the format; their write is the virtual one.
            if constexpr (std::is_base_of_v<ZukenUrfLayer, std::decay_t<decltype(record)>>)
                record.write(out);
            else
                record.write(out, version);
        }
    };
    writeAll(zoomAreas);
    writeAll(symbols);
    writeAll(layers);
    if (version > Urf::RstFormatVersion)
        writeAll(docLayers);
    writeAll(comps);
    writeAll(pins);
    writeAll(nets);
}

namespace {

ResultType typeFromLetter(const QString &letter)
{
    if (letter == QLatin1String("M"))
        return ResultType::M;
    if (letter == QLatin1String("A"))
        return ResultType::A;
    if (letter == QLatin1String("F"))
        return ResultType::F;
    if (letter == QLatin1String("Q"))
        return ResultType::Q;
    if (letter == QLatin1String("N"))
        return ResultType::N;
    return ResultType::E;
}

LayerKind layerKindFromWord(const QString &word)
{
    if (word == QLatin1String("ncond"))
        return LayerKind::NCond;
    if (word == QLatin1String("system"))
        return LayerKind::System;
    return LayerKind::Cond;
}

double fileCoordinate(const QString &text, int version)
{
    const double value = text.toDouble();
    return version <= Urf::RstFormatVersion ? value / Urf::RstCoordinateScale : value;
}

} // namespace

ZukenUrfResult ZukenUrfResult::read(const QString &resultLine, QIODevice *device, int version, int *key)
{
    ZukenUrfResult result;
    int resultKey = 0;
    const QStringList parts = resultLine.split(QLatin1Char(','), Qt::KeepEmptyParts);
    if (parts.size() == 6) {
        if (!parts[1].isEmpty())
            result.type = typeFromLetter(parts[1]);
        if (!parts[2].isEmpty()) {
            result.resultText = UrfText::unquoted(parts[2]);
            const qsizetype dash = result.resultText.lastIndexOf(QLatin1Char('-'));
            resultKey = (dash < 0 ? result.resultText : result.resultText.mid(dash + 1)).toInt();
        }
        if (!parts[3].isEmpty())
            result.resultDate = UrfText::unquoted(parts[3]);
        if (!parts[4].isEmpty())
            result.number1 = parts[4].toInt();
        if (!parts[5].isEmpty())
            result.number2 = parts[5].toInt();
    }
    result.indent = Urf::ResultIndent;

    while (!device->atEnd()) {
        UrfText::Line line(device);
        const QString &text = line.text();
        if (line.startsWith("result") || line.startsWith("endgroup")) {
            line.putBack();
            break;
        }
        // Split once: picking sections one by one costs the line's length for each of them.
        const QStringList fields = text.split(QLatin1Char(','), Qt::KeepEmptyParts);
        const auto section = [&fields](int k) { return fields.value(k); };
        const auto unquotedSection = [&fields](int k) { return UrfText::unquoted(fields.value(k)); };
        if (line.startsWith("param")) {
            for (qsizetype k = 1; k < fields.size(); ++k)
                result.params.append(UrfText::unquoted(fields.at(k)));
        } else if (line.startsWith("zoomarea")) {
            ZukenUrfZoomArea zoom;
            zoom.id = section(1).toInt();
            zoom.x1 = fileCoordinate(section(2), version);
            zoom.y1 = fileCoordinate(section(3), version);
            zoom.x2 = fileCoordinate(section(4), version);
            zoom.y2 = fileCoordinate(section(5), version);
            zoom.indent = Urf::SubRecordIndent;
            result.zoomAreas.append(zoom);
        } else if (line.startsWith("symbol")) {
            ZukenUrfSymbol symbol;
            const QString word = unquotedSection(1);
            symbol.kind = word == QLatin1String("rect")     ? Urf::SymbolRect
                          : word == QLatin1String("tarrow") ? Urf::SymbolTArrow
                                                            : Urf::SymbolArrow;
            symbol.x1 = fileCoordinate(section(2), version);
            symbol.y1 = fileCoordinate(section(3), version);
            if (symbol.kind == Urf::SymbolTArrow) {
                symbol.text = unquotedSection(4);
            } else {
                symbol.x2 = fileCoordinate(section(4), version);
                symbol.y2 = fileCoordinate(section(5), version);
            }
            symbol.indent = Urf::SubRecordIndent;
            result.symbols.append(symbol);
        } else if (line.startsWith("layer")) {
            result.layers.append(ZukenUrfLayer(
                unquotedSection(2), layerKindFromWord(unquotedSection(1)), Urf::SubRecordIndent));
        } else if (line.startsWith("doclayer")) {
            result.docLayers.append(ZukenUrfDocLayer(
                unquotedSection(2), layerKindFromWord(unquotedSection(1)), Urf::SubRecordIndent));
        } else if (line.startsWith("comp") || line.startsWith("net")) {
            const QString name = section(1);
            const QString extra = text.endsWith(QLatin1Char(',')) ? QString() : section(2);
            if (line.startsWith("comp"))
                result.comps.append(ZukenUrfComp{Urf::SubRecordIndent, name, extra});
            else
                result.nets.append(ZukenUrfNet{Urf::SubRecordIndent, name, extra});
        } else if (line.startsWith("pin")) {
            const QString third = text.endsWith(QLatin1Char(',')) ? QString() : section(3);
            result.pins.append(ZukenUrfPin{Urf::SubRecordIndent, section(1), section(2), third});
        }
        // Anything else, a case line included, is skipped.
    }
    if (key)
        *key = resultKey;
    return result;
}
