#include "io/pdfpictures.h"

#include "scene/notespictureitem.h"

#include <QBitArray>
#include <QHash>
#include <QList>

#include <algorithm>
#include <cctype>
#include <optional>

#include <zlib.h>

namespace PdfPictures {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

qsizetype skipSpace(const QByteArray &pdf, qsizetype at, qsizetype end)
{
    while (at < end && isSpace(pdf.at(at)))
        ++at;
    return at;
}

// An unsigned decimal number of at most 10 digits at `at`; -1 when there is none.
qint64 readNumber(const QByteArray &pdf, qsizetype &at, qsizetype end)
{
    qint64 value = 0;
    int digits = 0;
    while (at < end && std::isdigit(uchar(pdf.at(at))) && digits < 11) {
        value = value * 10 + (pdf.at(at) - '0');
        ++at;
        ++digits;
    }
    return digits == 0 || digits > 10 ? -1 : value;
}

// One object of the file: "N 0 obj" up to where the next object (or the table) starts.
struct Object
{
    int number = 0;
    qsizetype start = 0;
    qsizetype end = 0;
};

// The values of a dictionary that holds only names, numbers and references ("8 0 R"), keyed by
// name without the slash; empty for any other dictionary.
QHash<QByteArray, QByteArray> simpleDictionary(const QByteArray &text)
{
    QHash<QByteArray, QByteArray> entries;
    if (text.contains('<') || text.contains('>') || text.contains('[') || text.contains('(') ||
        text.contains('%'))
        return {};
    const QList<QByteArray> tokens = text.simplified().split(' ');
    for (qsizetype i = 0; i < tokens.size();) {
        const QByteArray &key = tokens.at(i);
        if (key.size() < 2 || key.at(0) != '/' || i + 1 >= tokens.size())
            return {};
        const QByteArray &value = tokens.at(i + 1);
        if (value.startsWith('/')) {
            entries.insert(key.mid(1), value);
            i += 2;
        } else if (i + 3 < tokens.size() && tokens.at(i + 3) == "R") {
            entries.insert(key.mid(1), value + ' ' + tokens.at(i + 2) + " R");
            i += 4;
        } else {
            entries.insert(key.mid(1), value);
            i += 2;
        }
    }
    return entries;
}

// The pixels of a small Flate stream, at most `limit` bytes of them; empty when it does not
// inflate completely.
QByteArray inflateSmall(const char *data, qsizetype size, int limit)
{
    QByteArray out(limit + 1, Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    stream.avail_in = uInt(size);
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = inflate(&stream, Z_FINISH);
    const qsizetype produced = qsizetype(stream.total_out);
    inflateEnd(&stream);
    if (status != Z_STREAM_END || produced > limit)
        return {};
    out.truncate(produced);
    return out;
}

class Document
{
public:
    explicit Document(const QByteArray &pdf)
        : pdf(pdf)
    {
    }

    // Reads the cross-reference table; false when it is not one table of objects of
    // generation 0 that each start where their entry says.
    bool readTable();
    // The picture a placeholder object stands for, or -1 when the object is anything else.
    int placeholderIn(const Object &object, const PdfPictureScope &scope) const;
    QByteArray rewritten(const QHash<int, int> &replacements, const PdfPictureScope &scope) const;

    QList<Object> objects; // in file order

private:
    std::optional<qint64> integerObject(int number) const;

    const QByteArray &pdf;
    qsizetype tableStart = 0;
    qsizetype entriesStart = 0;
    qsizetype trailerStart = 0;
    qint64 entryCount = 0;
    QHash<int, qsizetype> byNumber; // object number to index in objects
};

bool Document::readTable()
{
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0)
        return false;
    qsizetype at = skipSpace(pdf, startxref + 9, pdf.size());
    const qint64 table = readNumber(pdf, at, pdf.size());
    at = skipSpace(pdf, at, pdf.size());
    if (table <= 0 || table >= startxref || pdf.mid(at, 5) != "%%EOF")
        return false;
    tableStart = qsizetype(table);
    if (pdf.mid(tableStart, 4) != "xref")
        return false;
    at = skipSpace(pdf, tableStart + 4, startxref);
    if (readNumber(pdf, at, startxref) != 0 || at >= startxref || pdf.at(at) != ' ')
        return false;
    ++at;
    entryCount = readNumber(pdf, at, startxref);
    if (entryCount < 1 || at >= startxref || (pdf.at(at) != '\n' && pdf.at(at) != '\r'))
        return false;
    entriesStart = skipSpace(pdf, at, startxref);
    // Each entry is 20 bytes: ten digits of offset, five of generation, the type, two of line end.
    trailerStart = entriesStart + qsizetype(entryCount) * 20;
    if (trailerStart > startxref || pdf.mid(trailerStart, 7) != "trailer")
        return false;
    for (qint64 n = 0; n < entryCount; ++n) {
        const qsizetype entry = entriesStart + qsizetype(n) * 20;
        qsizetype p = entry;
        const qint64 offset = readNumber(pdf, p, entry + 10);
        if (p != entry + 10 || offset < 0 || pdf.at(p) != ' ')
            return false;
        const char type = pdf.at(entry + 17);
        if (type == 'f' || n == 0)
            continue;
        if (type != 'n' || pdf.mid(entry + 11, 5) != "00000")
            return false;
        if (offset == 0)
            continue; // listed, never written
        const QByteArray opening = QByteArray::number(n) + " 0 obj";
        if (offset >= tableStart || pdf.mid(qsizetype(offset), opening.size()) != opening)
            return false;
        objects.append({int(n), qsizetype(offset), 0});
    }
    std::sort(objects.begin(), objects.end(),
              [](const Object &a, const Object &b) { return a.start < b.start; });
    for (qsizetype i = 0; i < objects.size(); ++i) {
        objects[i].end = i + 1 < objects.size() ? objects.at(i + 1).start : tableStart;
        if (objects.at(i).end <= objects.at(i).start)
            return false; // two entries for one place
        byNumber.insert(objects.at(i).number, i);
    }
    return !objects.isEmpty();
}

std::optional<qint64> Document::integerObject(int number) const
{
    const auto found = byNumber.constFind(number);
    if (found == byNumber.cend())
        return std::nullopt;
    const Object &object = objects.at(*found);
    qsizetype at = object.start + QByteArray::number(number).size() + 6; // "N 0 obj"
    at = skipSpace(pdf, at, object.end);
    const qint64 value = readNumber(pdf, at, object.end);
    at = skipSpace(pdf, at, object.end);
    if (value < 0 || pdf.mid(at, 6) != "endobj")
        return std::nullopt;
    return value;
}

int Document::placeholderIn(const Object &object, const PdfPictureScope &scope) const
{
    qsizetype at = object.start + QByteArray::number(object.number).size() + 6;
    at = skipSpace(pdf, at, object.end);
    if (pdf.mid(at, 2) != "<<")
        return -1;
    const qsizetype close = pdf.indexOf(">>", at + 2);
    if (close < 0 || close >= object.end)
        return -1;
    const QHash<QByteArray, QByteArray> entries = simpleDictionary(pdf.mid(at + 2, close - at - 2));
    // Exactly what the engine writes for an opaque deflated RGB image of the placeholder's size.
    static const QList<QByteArray> keys{"Type",       "Subtype", "Width",  "Height",
                                        "ColorSpace", "Length",  "Filter", "BitsPerComponent"};
    if (entries.size() != keys.size() || entries.value("Type") != "/XObject" ||
        entries.value("Subtype") != "/Image" ||
        entries.value("Width") != QByteArray::number(PdfPictureScope::PlaceholderWidth) ||
        entries.value("Height") != QByteArray::number(PdfPictureScope::PlaceholderHeight) ||
        entries.value("ColorSpace") != "/DeviceRGB" || entries.value("Filter") != "/FlateDecode" ||
        entries.value("BitsPerComponent") != "8")
        return -1;
    const QByteArray lengthValue = entries.value("Length");
    std::optional<qint64> length;
    if (lengthValue.endsWith(" 0 R")) {
        bool ok = false;
        const int number = lengthValue.chopped(4).toInt(&ok);
        if (ok)
            length = integerObject(number);
    } else {
        bool ok = false;
        length = lengthValue.toLongLong(&ok);
        if (!ok)
            length.reset();
    }
    if (!length || *length <= 0 || *length > 1024)
        return -1;
    // ">>", line end, "stream", line end, the data, line end, "endstream", "endobj".
    at = skipSpace(pdf, close + 2, object.end);
    if (pdf.mid(at, 6) != "stream")
        return -1;
    at += 6;
    if (pdf.mid(at, 2) == "\r\n")
        at += 2;
    else if (at < object.end && pdf.at(at) == '\n')
        at += 1;
    else
        return -1;
    const qsizetype data = at;
    if (data + *length > object.end)
        return -1;
    at = skipSpace(pdf, data + qsizetype(*length), object.end);
    if (pdf.mid(at, 9) != "endstream")
        return -1;
    at = skipSpace(pdf, at + 9, object.end);
    if (pdf.mid(at, 6) != "endobj" || skipSpace(pdf, at + 6, object.end) != object.end)
        return -1;
    const int pixels = PdfPictureScope::PlaceholderWidth * PdfPictureScope::PlaceholderHeight * 3;
    const QByteArray rgb = inflateSmall(pdf.constData() + data, qsizetype(*length), pixels);
    return scope.pictureFor(rgb);
}

QByteArray imageObject(int number, const PngImageData &picture)
{
    QByteArray colorSpace;
    switch (picture.colors) {
    case PngImageData::Colors::Gray:
        colorSpace = "/DeviceGray";
        break;
    case PngImageData::Colors::Rgb:
        colorSpace = "/DeviceRGB";
        break;
    case PngImageData::Colors::Palette: {
        // All 256 entries, the missing ones black: an index past the PNG's palette shows black,
        // as the PNG decoder shows it.
        QByteArray palette = picture.palette;
        palette.append(QByteArray(256 * 3 - palette.size(), '\0'));
        colorSpace = "[/Indexed /DeviceRGB 255 <" + palette.toHex() + ">]";
        break;
    }
    }
    const QByteArray width = QByteArray::number(picture.size.width());
    QByteArray object = QByteArray::number(number) + " 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Width " +
                        width + "\n/Height " + QByteArray::number(picture.size.height()) +
                        "\n/BitsPerComponent 8\n/ColorSpace " + colorSpace + "\n/Length " +
                        QByteArray::number(picture.dataSize) +
                        "\n/Filter /FlateDecode\n/DecodeParms << /Predictor 15 /Colors " +
                        QByteArray::number(picture.components()) + " /BitsPerComponent 8 /Columns " + width +
                        " >>\n>>\nstream\n";
    return object;
}

QByteArray Document::rewritten(const QHash<int, int> &replacements, const PdfPictureScope &scope) const
{
    qsizetype expected = pdf.size();
    for (const int picture : replacements)
        expected += scope.pictures().at(picture).dataSize + 2048;
    QByteArray out;
    out.reserve(expected);
    out.append(pdf.constData(), objects.first().start);
    QHash<int, qsizetype> offsets;
    for (const Object &object : objects) {
        offsets.insert(object.number, out.size());
        const auto replaced = replacements.constFind(object.number);
        if (replaced == replacements.cend()) {
            out.append(pdf.constData() + object.start, object.end - object.start);
            continue;
        }
        const PngImageData &picture = scope.pictures().at(*replaced);
        out.append(imageObject(object.number, picture));
        for (const auto &[at, length] : picture.idat)
            out.append(picture.png.constData() + at, length);
        out.append("\nendstream\nendobj\n");
    }
    const qsizetype table = out.size();
    out.append(pdf.constData() + tableStart, entriesStart - tableStart);
    for (qint64 n = 0; n < entryCount; ++n) {
        const qsizetype entry = entriesStart + qsizetype(n) * 20;
        const auto moved = offsets.constFind(int(n));
        if (moved == offsets.cend()) {
            out.append(pdf.constData() + entry, 20);
        } else {
            out.append(QByteArray::number(*moved).rightJustified(10, '0'));
            out.append(pdf.constData() + entry + 10, 10);
        }
    }
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    out.append(pdf.constData() + trailerStart, startxref - trailerStart);
    out.append("startxref\n" + QByteArray::number(table) + "\n%%EOF\n");
    return out;
}

} // namespace

bool insertPictures(QByteArray &pdf, const PdfPictureScope &scope)
{
    if (scope.pictures().isEmpty())
        return true;
    Document document(pdf);
    if (!document.readTable())
        return false;
    // Object number to picture; a picture may be there more than once.
    QHash<int, int> replacements;
    QBitArray found(scope.pictures().size());
    for (const Object &object : std::as_const(document.objects)) {
        const int picture = document.placeholderIn(object, scope);
        if (picture >= 0) {
            replacements.insert(object.number, picture);
            found.setBit(picture);
        }
    }
    // Every picture painted as a placeholder must have been found, or the document would show
    // a placeholder where a picture belongs.
    if (found.count(true) != found.size())
        return false;
    QByteArray out = document.rewritten(replacements, scope);
    if (out.size() > 9999999999LL) // the table gives offsets in ten digits
        return false;
    pdf = std::move(out);
    return true;
}

} // namespace PdfPictures
