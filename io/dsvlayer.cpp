#include "io/dsvlayer.h"

#include <QHash>
#include <QIODevice>

#include <algorithm>
#include <type_traits>
#include <vector>

bool DsvLayer::operator==(const DsvLayer &o) const
{
    return number == o.number && name == o.name && comment == o.comment && extraflag1 == o.extraflag1 &&
           allcol == o.allcol && padcol == o.padcol && padvisible == o.padvisible && ncpadcol == o.ncpadcol &&
           ncpadvisible == o.ncpadvisible && routecol == o.routecol && routevisible == o.routevisible &&
           coppercol == o.coppercol && coppervisible == o.coppervisible && viacol == o.viacol &&
           viavisible == o.viavisible && figurecol == o.figurecol && figurevisible == o.figurevisible &&
           testptcol == o.testptcol && testptvisible == o.testptvisible && areacol == o.areacol &&
           areavisible == o.areavisible && textcol == o.textcol && textvisible == o.textvisible &&
           selectcol == o.selectcol && fillbrush == o.fillbrush && extraint1 == o.extraint1 &&
           extraint2 == o.extraint2 && extraint3 == o.extraint3 && extraint4 == o.extraint4 &&
           extraint5 == o.extraint5 && extraint6 == o.extraint6 && extraint7 == o.extraint7 &&
           extraint8 == o.extraint8 && extraint9 == o.extraint9 && type == o.type &&
           extraint10 == o.extraint10 && extraint11 == o.extraint11 && alphaval == o.alphaval &&
           extraflag2 == o.extraflag2 && extraint12 == o.extraint12;
}

QDataStream &operator<<(QDataStream &s, const DsvLayer &l)
{
    s << l.number << l.name << l.comment;
    s << l.allcol << l.padcol << l.ncpadcol << l.routecol << l.coppercol << l.viacol << l.figurecol
      << l.testptcol << l.areacol << l.textcol << l.selectcol;
    s << l.fillbrush << l.extraint1 << l.extraint2 << l.extraint3 << l.extraint4 << l.extraint5 << l.extraint6
      << l.extraint7 << l.extraint8 << l.extraint9 << l.type << l.extraint10 << l.extraint11 << l.alphaval
      << l.extraint12;
    s << l.extraflag1 << l.extraflag2 << l.padvisible << l.ncpadvisible << l.routevisible << l.coppervisible
      << l.viavisible << l.figurevisible << l.testptvisible << l.areavisible << l.textvisible;
    return s;
}

QDataStream &operator>>(QDataStream &s, DsvLayer &l)
{
    s >> l.number >> l.name >> l.comment;
    s >> l.allcol >> l.padcol >> l.ncpadcol >> l.routecol >> l.coppercol >> l.viacol >> l.figurecol >>
        l.testptcol >> l.areacol >> l.textcol >> l.selectcol;
    s >> l.fillbrush >> l.extraint1 >> l.extraint2 >> l.extraint3 >> l.extraint4 >> l.extraint5 >>
        l.extraint6 >> l.extraint7 >> l.extraint8 >> l.extraint9 >> l.type >> l.extraint10 >> l.extraint11 >>
        l.alphaval >> l.extraint12;
    // QDataStream reads a bool byte as "not zero".
    s >> l.extraflag1 >> l.extraflag2 >> l.padvisible >> l.ncpadvisible >> l.routevisible >>
        l.coppervisible >> l.viavisible >> l.figurevisible >> l.testptvisible >> l.areavisible >>
        l.textvisible;
    return s;
}

namespace {

// The toolkit's container-size codes (newer toolkits name them NullCode and ExtendedSize).
constexpr quint32 NullSizeCode = 0xFFFFFFFFu;
constexpr quint32 ExtendedSizeCode = 0xFFFFFFFEu;
constexpr int ExtendedSizeVersion = 22; // Qt_6_7

} // namespace

QDataStream &operator<<(QDataStream &s, const QList<DsvLayer> &layers)
{
    const qint64 count = layers.size();
    if (count < qint64(ExtendedSizeCode) || s.version() < ExtendedSizeVersion) {
        s << quint32(count);
    } else {
        s << ExtendedSizeCode << count;
    }
    for (const DsvLayer &layer : layers)
        s << layer;
    return s;
}

QDataStream &operator>>(QDataStream &s, QList<DsvLayer> &layers)
{
    layers.clear();
    quint32 first = 0;
    s >> first;
    if (s.status() != QDataStream::Ok)
        return s;
    qint64 count = first;
    if (first == NullSizeCode) {
        count = -1;
    } else if (first == ExtendedSizeCode && s.version() >= ExtendedSizeVersion) {
        s >> count;
        if (s.status() != QDataStream::Ok)
            return s;
    }
    if (count < 0) {
        // Newer toolkits report SizeLimitExceeded here; 6.4 has no such status, and ReadCorruptData
        // equally stops every later read.
        s.setStatus(QDataStream::ReadCorruptData);
        return s;
    }
    // No reserve: the count is untrusted; the loop ends at the first failed read.
    for (qint64 i = 0; i < count; ++i) {
        DsvLayer layer;
        s >> layer;
        if (s.status() != QDataStream::Ok) {
            layers.clear();
            break;
        }
        layers.append(layer);
    }
    return s;
}

namespace {

// One field of the keyed form: its word in the key, and how its value leaves and enters a record.
struct FieldWord
{
    const char *word;
    QVariant (*get)(const DsvLayer &);
    void (*set)(DsvLayer &, const QVariant &);
};

// Values are plain variants of the field's own type (int, bool, QString, QColor); reading converts
// whatever the map holds by the toolkit's variant conversion.
template <auto Member> FieldWord field(const char *word)
{
    return {word, [](const DsvLayer &l) { return QVariant::fromValue(l.*Member); },
            [](DsvLayer &l, const QVariant &v) { l.*Member = v.value<std::decay_t<decltype(l.*Member)>>(); }};
}

// The 25 fields of the keyed form; the extra fields and the name (the key prefix) are not among them.
const QList<FieldWord> &fieldWords()
{
    static const QList<FieldWord> words = {
        field<&DsvLayer::number>("number"),
        field<&DsvLayer::comment>("comment"),
        field<&DsvLayer::allcol>("allcol"),
        field<&DsvLayer::padcol>("padcol"),
        field<&DsvLayer::ncpadcol>("ncpadcol"),
        field<&DsvLayer::routecol>("routecol"),
        field<&DsvLayer::coppercol>("coppercol"),
        field<&DsvLayer::viacol>("viacol"),
        field<&DsvLayer::figurecol>("figurecol"),
        field<&DsvLayer::testptcol>("testptcol"),
        field<&DsvLayer::areacol>("areacol"),
        field<&DsvLayer::textcol>("textcol"),
        field<&DsvLayer::selectcol>("selectcol"),
        field<&DsvLayer::fillbrush>("fillbrush"),
        field<&DsvLayer::alphaval>("alphaval"),
        field<&DsvLayer::padvisible>("padvisible"),
        field<&DsvLayer::ncpadvisible>("ncpadvisible"),
        field<&DsvLayer::viavisible>("viavisible"),
        field<&DsvLayer::testptvisible>("testptvisible"),
        field<&DsvLayer::routevisible>("routevisible"),
        field<&DsvLayer::coppervisible>("coppervisible"),
        field<&DsvLayer::figurevisible>("figurevisible"),
        field<&DsvLayer::areavisible>("areavisible"),
        field<&DsvLayer::textvisible>("textvisible"),
        field<&DsvLayer::type>("type"),
    };
    return words;
}

} // namespace

QVariantMap layerListToMap(const QList<DsvLayer> &layers)
{
    // Every page and picture of a file carries this map: the entries are sorted once and appended
    // in order, instead of searching the map for each of them. A later layer of the same name
    // wins, as with one insert after the other.
    std::vector<std::pair<QString, QVariant>> entries;
    entries.reserve(size_t(layers.size()) * fieldWords().size());
    for (const DsvLayer &l : layers) {
        for (const FieldWord &f : fieldWords())
            entries.emplace_back(l.name + QLatin1Char('_') + QLatin1String(f.word), f.get(l));
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QVariantMap map;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i + 1 < entries.size() && entries[i + 1].first == entries[i].first)
            continue; // the later one follows
        map.insert(map.cend(), std::move(entries[i].first), std::move(entries[i].second));
    }
    return map;
}

QList<DsvLayer> layerListFromMap(const QVariantMap &map)
{
    QList<DsvLayer> layers;
    // Index of each name's record: a map from a file may hold thousands of layers.
    QHash<QString, qsizetype> byName;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QString &key = it.key();
        const qsizetype first = key.indexOf(QLatin1Char('_'));
        const QString layerName = first < 0 ? key : key.left(first);
        QString word;
        if (first >= 0) {
            const qsizetype second = key.indexOf(QLatin1Char('_'), first + 1);
            word = second < 0 ? key.mid(first + 1) : key.mid(first + 1, second - first - 1);
        }

        auto found = byName.constFind(layerName);
        if (found == byName.cend()) {
            DsvLayer fresh;
            fresh.name = layerName;
            layers.append(fresh);
            found = byName.insert(layerName, layers.size() - 1);
        }
        DsvLayer *target = &layers[*found];
        for (const FieldWord &f : fieldWords()) {
            if (word == QLatin1String(f.word)) {
                f.set(*target, it.value());
                break;
            }
        }
    }
    return layers;
}

void registerDsvLayerMetaTypes()
{
    qRegisterMetaType<DsvLayer>("DsvLayer");
    qRegisterMetaType<QList<DsvLayer>>("QList<DsvLayer>");
}

// Signals, slots and QVariant may carry the list before anyone calls the function above.
Q_CONSTRUCTOR_FUNCTION(registerDsvLayerMetaTypes)
