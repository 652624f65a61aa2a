// Fuzz target: the stream form of the layer list and the keyed form.
//
// The first byte chooses the form. Stream form: the rest is read as a list; a list read without
// error is written and read again and must write the same bytes again. Keyed form: the rest is cut into
// entries of a keyed map (key, then a value of one of the types the map holds); reading the map
// into layers must never fail, and the keyed form of those layers must read back to the same
// layers.

#include "fuzzapp.h"

#include "io/dsvlayer.h"
#include "io/notesfile.h"

#include <QBuffer>
#include <QDataStream>

#include <cstdlib>

namespace {

QByteArray written(const QList<DsvLayer> &layers, int version)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(version);
    out << layers;
    return bytes;
}

void streamForm(const QByteArray &bytes, int version)
{
    QDataStream in(bytes);
    in.setVersion(version);
    QList<DsvLayer> layers;
    in >> layers;
    if (in.status() != QDataStream::Ok) {
        if (!layers.isEmpty())
            std::abort(); // a failed read leaves the list empty
        return;
    }
    const QByteArray again = written(layers, version);
    QDataStream reread(again);
    reread.setVersion(version);
    QList<DsvLayer> back;
    reread >> back;
    // Compared as bytes: a colour read from a file may hold NaN components, never equal to themselves.
    if (reread.status() != QDataStream::Ok || !reread.atEnd() || back.size() != layers.size() ||
        written(back, version) != again)
        std::abort();
}

// Small readers over the fuzz bytes; past the end everything reads as zero.
struct Cursor
{
    const QByteArray &bytes;
    qsizetype at = 0;
    quint8 byte() { return at < bytes.size() ? quint8(bytes.at(at++)) : 0; }
    bool atEnd() const { return at >= bytes.size(); }
    QString text()
    {
        const int length = byte() % 24;
        const QByteArray part = bytes.mid(at, length);
        at += length;
        return QString::fromUtf8(part);
    }
    qint32 number()
    {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | byte();
        return qint32(v);
    }
};

// Field words of the keyed form, so the fuzzer reaches the conversions without guessing them.
const char *const Words[] = {"number",        "comment",       "allcol",       "padcol",       "ncpadcol",
                             "routecol",      "coppercol",     "viacol",       "figurecol",    "testptcol",
                             "areacol",       "textcol",       "selectcol",    "fillbrush",    "alphaval",
                             "padvisible",    "ncpadvisible",  "viavisible",   "testptvisible", "routevisible",
                             "coppervisible", "figurevisible", "areavisible",  "textvisible",  "type"};

void keyedForm(const QByteArray &bytes)
{
    Cursor c{bytes};
    QVariantMap map;
    while (!c.atEnd() && map.size() < 2000) {
        const quint8 shape = c.byte();
        QString key = c.text();
        if (shape & 1) {
            key += QLatin1Char('_') + QLatin1String(Words[c.byte() % std::size(Words)]);
            if (shape & 2)
                key += QLatin1Char('_') + c.text();
        }
        QVariant value;
        switch ((shape >> 2) % 5) {
        case 0: value = c.number(); break;
        case 1: value = bool(c.byte() & 1); break;
        case 2: value = c.text(); break;
        case 3: value = QColor::fromRgba(quint32(c.number())); break;
        default: value = QVariant(); break;
        }
        map.insert(key, value);
    }
    const QList<DsvLayer> layers = layerListFromMap(map);
    // The layer names that hold no "_" come back as they were; the keyed form cannot carry the
    // others (the key splits at the first "_").
    QList<DsvLayer> plain;
    for (const DsvLayer &l : layers) {
        if (!l.name.contains(QLatin1Char('_')))
            plain.append(l);
    }
    // Once in the keyed form, going to records and back changes nothing.
    const QVariantMap keyed = layerListToMap(plain);
    const QList<DsvLayer> back = layerListFromMap(keyed);
    if (back.size() != plain.size() || layerListToMap(back) != keyed)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzApp::start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const quint8 mode = data[0];
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (mode & 1)
        keyedForm(rest);
    else
        streamForm(rest, (mode & 2) ? NotesFile::StreamVersion : QDataStream::Qt_5_15);
    return 0;
}
