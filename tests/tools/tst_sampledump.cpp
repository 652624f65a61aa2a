// "quillmark-tool dump" of the committed sample notes file, checked against what the sample
// generator describes: every page, picture, layer record and annotation in file order. This also
// tells when examples/sample.nts is out of date with its generator.

#include "examples/generator/samplenotes.h"
#include "io/dsvlayer.h"
#include "tools/toolrunner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextDocument>
#include <QtTest>

namespace {

QString argbName(const QColor &c)
{
    return QString::asprintf("#%02x%02x%02x%02x", c.alpha(), c.red(), c.green(), c.blue());
}

QColor colorFromJson(const QJsonValue &value, bool *ok)
{
    const QString s = value.toString();
    *ok = s.size() == 9 && s.startsWith(QLatin1Char('#'));
    bool hexOk = false;
    const uint argb = s.mid(1).toUInt(&hexOk, 16);
    *ok = *ok && hexOk;
    return QColor::fromRgba(argb);
}

// The inverse of the dump's layer object: every one of the 40 fields must be there.
DsvLayer layerFromJson(const QJsonObject &o, QStringList &missing)
{
    DsvLayer l;
    auto integer = [&](const char *key, qint32 &field) {
        if (!o.value(QLatin1String(key)).isDouble())
            missing << QLatin1String(key);
        field = o.value(QLatin1String(key)).toInt();
    };
    auto boolean = [&](const char *key, bool &field) {
        if (!o.value(QLatin1String(key)).isBool())
            missing << QLatin1String(key);
        field = o.value(QLatin1String(key)).toBool();
    };
    auto text = [&](const char *key, QString &field) {
        if (!o.value(QLatin1String(key)).isString())
            missing << QLatin1String(key);
        field = o.value(QLatin1String(key)).toString();
    };
    auto colour = [&](const char *key, QColor &field) {
        bool ok = false;
        field = colorFromJson(o.value(QLatin1String(key)), &ok);
        if (!ok)
            missing << QLatin1String(key);
    };
    integer("number", l.number);
    text("name", l.name);
    text("comment", l.comment);
    boolean("extraflag1", l.extraflag1);
    colour("allcol", l.allcol);
    colour("padcol", l.padcol);
    boolean("padvisible", l.padvisible);
    colour("ncpadcol", l.ncpadcol);
    boolean("ncpadvisible", l.ncpadvisible);
    colour("routecol", l.routecol);
    boolean("routevisible", l.routevisible);
    colour("coppercol", l.coppercol);
    boolean("coppervisible", l.coppervisible);
    colour("viacol", l.viacol);
    boolean("viavisible", l.viavisible);
    colour("figurecol", l.figurecol);
    boolean("figurevisible", l.figurevisible);
    colour("testptcol", l.testptcol);
    boolean("testptvisible", l.testptvisible);
    colour("areacol", l.areacol);
    boolean("areavisible", l.areavisible);
    colour("textcol", l.textcol);
    boolean("textvisible", l.textvisible);
    colour("selectcol", l.selectcol);
    integer("fillbrush", l.fillbrush);
    integer("extraint1", l.extraint1);
    integer("extraint2", l.extraint2);
    integer("extraint3", l.extraint3);
    integer("extraint4", l.extraint4);
    integer("extraint5", l.extraint5);
    integer("extraint6", l.extraint6);
    integer("extraint7", l.extraint7);
    integer("extraint8", l.extraint8);
    integer("extraint9", l.extraint9);
    integer("type", l.type);
    integer("extraint10", l.extraint10);
    integer("extraint11", l.extraint11);
    integer("alphaval", l.alphaval);
    boolean("extraflag2", l.extraflag2);
    integer("extraint12", l.extraint12);
    return l;
}

QJsonArray numbers(std::initializer_list<double> values)
{
    QJsonArray array;
    for (double v : values)
        array.append(v);
    return array;
}

QJsonArray pathJson(const QPainterPath &path)
{
    QJsonArray elements;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        elements.append(QJsonArray{int(e.type), e.x, e.y});
    }
    return elements;
}

QString plainOf(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

// What a picture's settings look like after the keyed form they are kept in on the item.
QList<DsvLayer> keyed(const QList<DsvLayer> &layers)
{
    return layerListFromMap(layerListToMap(layers));
}

} // namespace

class TestSampleDump : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void document();
    void pages_data();
    void pages();
    void pictures_data();
    void pictures();
    void texts_data();
    void texts();
    void shapes_data();
    void shapes();
    void everyKindIsThere();

private:
    void addPageRows();
    QJsonObject dumpedPage(int page) const
    {
        return dump.value(QStringLiteral("pages")).toArray().at(page).toObject();
    }

    QJsonObject dump;
    QList<Sample::Page> expected;
};

void TestSampleDump::initTestCase()
{
    const ToolRun run = runTool({QStringLiteral("dump"), QStringLiteral(QUILL_SAMPLE_FILE)});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(document.isObject());
    dump = document.object();
    expected = Sample::pages();
}

void TestSampleDump::document()
{
    QCOMPARE(dump.value(QStringLiteral("format")).toArray(), (QJsonArray{7, 0}));
    QCOMPARE(dump.value(QStringLiteral("damaged")), QJsonValue(false));
    QCOMPARE(dump.value(QStringLiteral("pages")).toArray().size(), expected.size());
    QCOMPARE(dump.keys(),
             (QStringList{QStringLiteral("damaged"), QStringLiteral("format"), QStringLiteral("pages")}));
}

void TestSampleDump::addPageRows()
{
    QTest::addColumn<int>("page");
    for (int i = 0; i < expected.size(); ++i)
        QTest::addRow("page %d", i + 1) << i;
}

void TestSampleDump::pages_data()
{
    addPageRows();
}

void TestSampleDump::pages()
{
    QFETCH(int, page);
    const Sample::Page &want = expected.at(page);
    const QJsonObject got = dumpedPage(page);
    QCOMPARE(got.value(QStringLiteral("title")).toString(), want.title);
    QCOMPARE(got.value(QStringLiteral("date")).toString(), want.date);
    QCOMPARE(got.value(QStringLiteral("comment")).toString(), want.comment);
    const QRectF r = want.viewRect;
    QCOMPARE(got.value(QStringLiteral("viewRect")).toArray(), numbers({r.x(), r.y(), r.width(), r.height()}));

    // A page read from a notes file carries the settings of its pictures, or none at all.
    QList<DsvLayer> pageLayers;
    for (const Sample::Picture &picture : want.pictures)
        pageLayers += picture.hasLayers ? picture.layers : QList<DsvLayer>();
    const QJsonValue layerMap = got.value(QStringLiteral("layerMap"));
    if (pageLayers.isEmpty()) {
        QVERIFY(layerMap.isNull());
    } else {
        const QList<DsvLayer> want = keyed(pageLayers);
        const QJsonArray array = layerMap.toArray();
        QCOMPARE(array.size(), want.size());
        for (int i = 0; i < array.size(); ++i) {
            QStringList missing;
            QVERIFY(layerFromJson(array.at(i).toObject(), missing) == want.at(i));
            QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
        }
    }
}

void TestSampleDump::pictures_data()
{
    addPageRows();
}

void TestSampleDump::pictures()
{
    QFETCH(int, page);
    const QList<Sample::Picture> &want = expected.at(page).pictures;
    const QJsonArray got = dumpedPage(page).value(QStringLiteral("pictures")).toArray();
    QCOMPARE(got.size(), want.size());
    for (int i = 0; i < want.size(); ++i) {
        const QJsonObject picture = got.at(i).toObject();
        QCOMPARE(picture.value(QStringLiteral("pos")).toArray(), numbers({want[i].pos.x(), want[i].pos.y()}));
        QCOMPARE(picture.value(QStringLiteral("size")).toArray(),
                 (QJsonArray{want[i].image.width(), want[i].image.height()}));
        QCOMPARE(picture.value(QStringLiteral("hasLayers")).toBool(), want[i].hasLayers);
        const QJsonArray layers = picture.value(QStringLiteral("layers")).toArray();
        const QList<DsvLayer> wantLayers = want[i].hasLayers ? keyed(want[i].layers) : QList<DsvLayer>();
        QCOMPARE(layers.size(), wantLayers.size());
        for (int k = 0; k < layers.size(); ++k) {
            const QJsonObject layer = layers.at(k).toObject();
            QCOMPARE(layer.size(), 40);
            QStringList missing;
            const DsvLayer read = layerFromJson(layer, missing);
            QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
            QCOMPARE(read.name, wantLayers.at(k).name);
            QVERIFY(read == wantLayers.at(k));
            QCOMPARE(layer.value(QStringLiteral("routecol")).toString(), argbName(wantLayers.at(k).routecol));
        }
    }
}

void TestSampleDump::texts_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("index");
    for (int p = 0; p < expected.size(); ++p) {
        for (int i = 0; i < expected.at(p).texts.size(); ++i)
            QTest::addRow("page %d text %d", p + 1, i + 1) << p << i;
    }
}

void TestSampleDump::texts()
{
    QFETCH(int, page);
    QFETCH(int, index);
    const QJsonArray all = dumpedPage(page).value(QStringLiteral("texts")).toArray();
    QCOMPARE(all.size(), expected.at(page).texts.size());
    const Sample::Text &want = expected.at(page).texts.at(index);
    const QJsonObject got = all.at(index).toObject();

    const QString plain = plainOf(want.html);
    QCOMPARE(got.value(QStringLiteral("plain")).toString(), plain);
    QVERIFY(got.value(QStringLiteral("html")).toString().startsWith(QLatin1String("<!DOCTYPE HTML")));
    QCOMPARE(plainOf(got.value(QStringLiteral("html")).toString()), plain);

    const QJsonObject font = got.value(QStringLiteral("font")).toObject();
    QCOMPARE(font.value(QStringLiteral("family")).toString(), want.font.family());
    QCOMPARE(font.value(QStringLiteral("pointSize")).toDouble(), want.font.pointSizeF());
    QCOMPARE(font.value(QStringLiteral("pixelSize")).toInt(), want.font.pixelSize());
    QCOMPARE(font.value(QStringLiteral("weight")).toInt(), int(want.font.weight()));
    QCOMPARE(font.value(QStringLiteral("italic")).toBool(), want.font.italic());
    QCOMPARE(font.value(QStringLiteral("underline")).toBool(), want.font.underline());
    QCOMPARE(font.value(QStringLiteral("strikeOut")).toBool(), want.font.strikeOut());
    QCOMPARE(font.size(), 7);

    QCOMPARE(got.value(QStringLiteral("color")).toString(), argbName(want.color));
    QCOMPARE(got.value(QStringLiteral("pos")).toArray(), numbers({want.pos.x(), want.pos.y()}));
    QCOMPARE(got.value(QStringLiteral("rotation")).toDouble(), want.rotation);
}

void TestSampleDump::shapes_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("index");
    for (int p = 0; p < expected.size(); ++p) {
        const Sample::Page &page = expected.at(p);
        const QList<std::pair<QString, int>> kinds = {
            {QStringLiteral("arrows"), int(page.arrows.size())},
            {QStringLiteral("circles"), int(page.circles.size())},
            {QStringLiteral("rectangles"), int(page.rectangles.size())},
            {QStringLiteral("freehandLines"), int(page.freehandLines.size())},
            {QStringLiteral("polylines"), int(page.polylines.size())},
        };
        for (const auto &[kind, count] : kinds) {
            for (int i = 0; i < count; ++i)
                QTest::addRow("page %d %s %d", p + 1, qPrintable(kind), i + 1) << p << kind << i;
        }
    }
}

void TestSampleDump::shapes()
{
    QFETCH(int, page);
    QFETCH(QString, kind);
    QFETCH(int, index);
    const Sample::Page &want = expected.at(page);
    const QJsonArray all = dumpedPage(page).value(kind).toArray();
    const QJsonObject got = all.at(index).toObject();

    if (kind == QLatin1String("arrows")) {
        QCOMPARE(all.size(), want.arrows.size());
        const Sample::Arrow &a = want.arrows.at(index);
        QCOMPARE(got.value(QStringLiteral("line")).toArray(),
                 numbers({a.line.x1(), a.line.y1(), a.line.x2(), a.line.y2()}));
        QCOMPARE(got.value(QStringLiteral("color")).toString(), argbName(a.color));
        QCOMPARE(got.value(QStringLiteral("pos")).toArray(), numbers({a.pos.x(), a.pos.y()}));
        QCOMPARE(got.size(), 3);
        return;
    }

    const QList<Sample::Shape> &list = kind == QLatin1String("circles")      ? want.circles
                                       : kind == QLatin1String("rectangles") ? want.rectangles
                                       : kind == QLatin1String("polylines")  ? want.polylines
                                                                             : want.freehandLines;
    QCOMPARE(all.size(), list.size());
    const Sample::Shape &s = list.at(index);
    if (kind == QLatin1String("circles") || kind == QLatin1String("rectangles")) {
        QCOMPARE(got.value(QStringLiteral("rect")).toArray(),
                 numbers({s.rect.x(), s.rect.y(), s.rect.width(), s.rect.height()}));
        QVERIFY(!got.contains(QStringLiteral("path")));
    } else {
        QCOMPARE(got.value(QStringLiteral("path")).toArray(), pathJson(s.path));
        QVERIFY(!got.contains(QStringLiteral("rect")));
    }
    QCOMPARE(got.value(QStringLiteral("color")).toString(), argbName(s.color));
    QCOMPARE(got.value(QStringLiteral("width")).toInt(), s.width);
    QCOMPARE(got.value(QStringLiteral("style")).toInt(), int(s.style));
    QCOMPARE(got.value(QStringLiteral("pos")).toArray(), numbers({s.pos.x(), s.pos.y()}));
}

// The sample is meant to show a newcomer every kind of annotation.
void TestSampleDump::everyKindIsThere()
{
    QSet<QString> kinds;
    bool rotatedText = false;
    bool layeredPicture = false;
    bool pastedPicture = false;
    for (const QJsonValue &value : dump.value(QStringLiteral("pages")).toArray()) {
        const QJsonObject page = value.toObject();
        for (const QString &kind :
             {QStringLiteral("texts"), QStringLiteral("arrows"), QStringLiteral("circles"),
              QStringLiteral("rectangles"), QStringLiteral("freehandLines"), QStringLiteral("polylines")}) {
            if (!page.value(kind).toArray().isEmpty())
                kinds.insert(kind);
        }
        for (const QJsonValue &text : page.value(QStringLiteral("texts")).toArray())
            rotatedText = rotatedText || text.toObject().value(QStringLiteral("rotation")).toDouble() != 0;
        for (const QJsonValue &picture : page.value(QStringLiteral("pictures")).toArray()) {
            const bool layers = picture.toObject().value(QStringLiteral("hasLayers")).toBool();
            layeredPicture = layeredPicture || layers;
            pastedPicture = pastedPicture || !layers;
        }
    }
    QCOMPARE(kinds.size(), 6);
    QVERIFY(rotatedText);
    QVERIFY(layeredPicture);
    QVERIFY(pastedPicture);
}

QTEST_MAIN(TestSampleDump)
#include "tst_sampledump.moc"
