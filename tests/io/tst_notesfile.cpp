// Format 7.0 notes files: byte layout against golden files, round trips of every item kind,
// titles, layer settings, stacking order and the atomic save.

#include "notestestkit.h"

#include "scene/notestextdocument.h"
#include "scene/notespictureitem.h"
#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/noteslineitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QDir>
#include <QSignalSpy>

#include <csignal>
#include <sys/resource.h>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace TestKit;

namespace {

// Files written while it lives cannot grow past the given size: writes beyond it fail with EFBIG
// (the signal that would end the process is ignored meanwhile).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

QByteArray stringBytes(const QString &text)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(NotesFile::StreamVersion);
    out << text;
    return bytes;
}

QFont sampleFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(12.5);
    font.setItalic(true);
    return font;
}

QPainterPath freehandPath()
{
    QPainterPath path(QPointF(0, 0));
    path.lineTo(4, 1);
    path.lineTo(9, 7);
    path.lineTo(12, -3);
    return path;
}

QPainterPath polyPath()
{
    QPainterPath path;
    path.addPolygon(QPolygonF({QPointF(0, 0), QPointF(40, 0), QPointF(40, 30), QPointF(0, 0)}));
    return path;
}

NotesTextItem *addText(QGraphicsScene *scene, const QString &html, const QFont &font, const QColor &color,
                       const QPointF &pos, qreal rotation)
{
    auto *text = new NotesTextItem;
    text->setFont(font);
    text->setDefaultTextColor(color);
    text->setHtml(html);
    text->setPos(pos);
    text->setRotation(rotation);
    scene->addItem(text);
    return text;
}

// Two pages holding every kind of item (and a third, empty one), all values away from defaults.
void buildSample(PageModel &model, const QString &secondTitle = QString())
{
    NotesScene *first = model.appendPage(QStringLiteral("Board top"), QStringLiteral("01.02.2024 10:30"),
                                         QStringLiteral("<p>check <b>R12</b></p>"), QRectF(10, 20, 300, 200));
    addPicture(first, solidPixmap(4, 3, Qt::red), QPointF(5, 6),
               {layer(QStringLiteral("Top"), 1), layer(QStringLiteral("Wiring1"), 2, QColor(10, 20, 30))},
               true);
    addPicture(first, solidPixmap(2, 2, Qt::blue), QPointF(-3, 0), {}, false);
    addText(first, QStringLiteral("<b>bold</b> and <span style=\"color:#00ff00\">green</span>"), sampleFont(),
            QColor(Qt::blue), QPointF(40, 50), -90);
    first->addItem(new NotesArrow(QLineF(0, 0, 100, 0), QColor(Qt::darkGreen), QPointF(7, 8)));
    auto *circle = new NotesCircleItem(QRectF(0, 0, 50, 40), QColor(Qt::red), 3, Qt::DashLine);
    circle->setPos(1, 2);
    first->addItem(circle);
    auto *rectangle =
        new NotesRectangleItem(QRectF(10, 10, -30, -20), QColor(0, 0, 255, 128), 5, Qt::DotLine);
    rectangle->setPos(3, 4);
    first->addItem(rectangle);
    auto *line = new NotesLineItem(freehandPath(), QColor(Qt::magenta), 2, Qt::SolidLine);
    line->setPos(-5, 9);
    first->addItem(line);
    auto *poly = new NotesPolyLineItem(polyPath(), QColor(Qt::cyan), 4, Qt::DashDotLine);
    poly->setPos(11, 12);
    first->addItem(poly);

    NotesScene *second = model.appendPage(secondTitle, QStringLiteral("02.02.2024 08:00"));
    second->addItem(new NotesArrow(QLineF(5, 5, 0, -50), QColor(Qt::black), QPointF(0, 0)));

    model.appendPage(QStringLiteral("Empty"), QStringLiteral("03.02.2024 09:15"));
}

} // namespace

class TestNotesFile : public QObject
{
    Q_OBJECT

private slots:
    void emptyModelIsTwelveBytes();
    void onePageBeginsWithHeaderAndTitle();
    void sampleMatchesGoldenFile();
    void goldenFileLoadsAndSavesIdentically();
    void roundTrip_data();
    void roundTrip();
    void formattedTextRoundTrip();
    void emptyTextItemsAreNotWritten();
    void picturesComeBackInReversedOrder();
    void pictureLayers_data();
    void pictureLayers();
    void emptyTitles_data();
    void emptyTitles();
    void viewRectangleNullWhenUnset();
    void loadAppendsToExistingRows();
    void textItemCallbackSeesEveryText();
    void fileHtmlCannotReadLocalFiles();
    void saveReplacesAtomically();
    void failedSaveKeepsPreviousFile();
    void missingFileIsNotOpened();
    void emptyFileReadsAsVersionZero();
};

void TestNotesFile::emptyModelIsTwelveBytes()
{
    PageModel model;
    QCOMPARE(saved(model), hex("00000007 00000000 00000000"));
}

void TestNotesFile::onePageBeginsWithHeaderAndTitle()
{
    PageModel model;
    model.appendPage(QStringLiteral("Note-0"));
    const QByteArray bytes = saved(model);
    const QByteArray expected = hex("00000007 00000000 00000001") + stringBytes(QStringLiteral("Note-0"));
    QCOMPARE(bytes.left(expected.size()), expected);
    // Title, date, comment (empty, not null), null rectangle, seven zero counts.
    QCOMPARE(bytes.size(),
             expected.size() + stringBytes(QStringLiteral("01.02.2024 10:30")).size() + 4 + 32 + 7 * 8);
    QCOMPARE(bytes.right(7 * 8 + 32), QByteArray(7 * 8 + 32, '\0'));
}

void TestNotesFile::sampleMatchesGoldenFile()
{
    PageModel model;
    buildSample(model);
    const QByteArray bytes = saved(model);
    if (qEnvironmentVariableIsSet("QUILL_WRITE_GOLDEN")) {
        QFile out(dataPath(QStringLiteral("sample-7.0.nts")));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    const QByteArray golden = readFile(dataPath(QStringLiteral("sample-7.0.nts")));
    QVERIFY(!golden.isEmpty());
    const PictureSplit mine = splitPictures(bytes);
    const PictureSplit theirs = splitPictures(golden);
    QCOMPARE(mine.rest.toHex(' '), theirs.rest.toHex(' '));
    QCOMPARE(mine.pictures.size(), 2);
    QCOMPARE(mine.pictures, theirs.pictures);
}

void TestNotesFile::goldenFileLoadsAndSavesIdentically()
{
    const QByteArray golden = readFile(dataPath(QStringLiteral("sample-7.0.nts")));
    PageModel model;
    const NotesFile::ReadResult result = load(golden, model);
    QVERIFY(!result.damaged);
    QCOMPARE(result.major, 7);
    QCOMPARE(result.minor, 0);
    QCOMPARE(result.pagesDeclared, 3);
    QCOMPARE(result.pagesRead, 3);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.title(0), QStringLiteral("Board top"));
    QCOMPARE(model.item(0, Page::CommentColumn)->text(), QStringLiteral("<p>check <b>R12</b></p>"));
    QCOMPARE(model.item(1, Page::DateColumn)->text(), QStringLiteral("02.02.2024 08:00"));
    QCOMPARE(model.scene(0)->items().size(), 8);
    QCOMPARE(model.scene(1)->items().size(), 1);
    QCOMPARE(model.scene(2)->items().size(), 0);

    QCOMPARE(model.title(1), QStringLiteral("Note1"));

    // Pictures come back in reversed stacking order; saving again reverses them once more, so a
    // second load-and-save cycle gives the golden bytes again, except for the title that the
    // first load gave the untitled page.
    PageModel again;
    QVERIFY(!load(saved(model), again).damaged);
    PageModel titled;
    buildSample(titled, QStringLiteral("Note1"));
    QCOMPARE(saved(again).toHex(' '), saved(titled).toHex(' '));
}

void TestNotesFile::roundTrip_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("arrow") << int(Notes::ArrowType);
    QTest::newRow("circle") << int(Notes::CircleType);
    QTest::newRow("rectangle") << int(Notes::RectangleType);
    QTest::newRow("freehand line") << int(Notes::LineType);
    QTest::newRow("polyline") << int(Notes::PolyLineType);
    QTest::newRow("rotated text") << int(Notes::TextType);
    QTest::newRow("picture") << int(Notes::PictureType);
}

void TestNotesFile::roundTrip()
{
    QFETCH(int, kind);
    PageModel model;
    NotesScene *scene = model.appendPage(QStringLiteral("P"), QStringLiteral("d"), QStringLiteral("c"),
                                         QRectF(1.5, 2.5, 30, 40));
    switch (kind) {
    case Notes::ArrowType:
        scene->addItem(new NotesArrow(QLineF(3, 4, -20, 60.25), QColor(1, 2, 3), QPointF(-7, 8.5)));
        break;
    case Notes::CircleType: {
        auto *item =
            new NotesCircleItem(QRectF(-5, -6, 70, 80), QColor(200, 100, 50, 20), 7, Qt::DashDotDotLine);
        item->setPos(9, -9);
        scene->addItem(item);
        break;
    }
    case Notes::RectangleType: {
        auto *item = new NotesRectangleItem(QRectF(0, 0, -40, 25), QColor(Qt::yellow), 1, Qt::NoPen);
        item->setPos(0.25, 0.5);
        scene->addItem(item);
        break;
    }
    case Notes::LineType: {
        auto *item = new NotesLineItem(freehandPath(), QColor(Qt::gray), 9, Qt::DotLine);
        item->setPos(100, 200);
        scene->addItem(item);
        break;
    }
    case Notes::PolyLineType: {
        auto *item = new NotesPolyLineItem(polyPath(), QColor(Qt::darkRed), 2, Qt::DashLine);
        item->setPos(-1, -2);
        scene->addItem(item);
        break;
    }
    case Notes::TextType:
        addText(scene, QStringLiteral("vertical"), sampleFont(), QColor(Qt::darkBlue), QPointF(12, 34), -90);
        break;
    case Notes::PictureType:
        addPicture(scene, solidPixmap(5, 7, QColor(10, 200, 30)), QPointF(2, 3), {}, false);
        break;
    }

    PageModel loaded;
    QVERIFY(!load(saved(model), loaded).damaged);
    QCOMPARE(loaded.rowCount(), 1);
    QCOMPARE(loaded.item(0, Page::CommentColumn)->text(), QStringLiteral("c"));
    QCOMPARE(loaded.sceneItem(0)->data(Page::ViewRectRole).toRectF(), QRectF(1.5, 2.5, 30, 40));
    QGraphicsScene *back = loaded.scene(0);
    QCOMPARE(back->items().size(), 1);
    QGraphicsItem *original = scene->items().first();
    QGraphicsItem *copy = back->items().first();
    QCOMPARE(copy->type(), kind);
    QCOMPARE(copy->pos(), original->pos());
    // Pictures lie under every annotation; the others keep the default stacking.
    QCOMPARE(copy->zValue(), kind == Notes::PictureType ? PictureZ : 0.0);
    QVERIFY(copy->flags().testFlag(QGraphicsItem::ItemIsSelectable));
    QVERIFY(copy->flags().testFlag(QGraphicsItem::ItemIsMovable));

    switch (kind) {
    case Notes::ArrowType: {
        auto *a = static_cast<NotesArrow *>(original), *b = static_cast<NotesArrow *>(copy);
        QCOMPARE(b->line(), a->line());
        QCOMPARE(b->color(), a->color());
        break;
    }
    case Notes::CircleType: {
        auto *a = static_cast<NotesCircleItem *>(original), *b = static_cast<NotesCircleItem *>(copy);
        QCOMPARE(b->rect(), a->rect());
        QCOMPARE(b->color(), a->color());
        QCOMPARE(b->width(), a->width());
        QCOMPARE(b->style(), a->style());
        break;
    }
    case Notes::RectangleType: {
        auto *a = static_cast<NotesRectangleItem *>(original), *b = static_cast<NotesRectangleItem *>(copy);
        QCOMPARE(b->rect(), a->rect());
        QCOMPARE(b->color(), a->color());
        QCOMPARE(b->width(), a->width());
        QCOMPARE(b->style(), a->style());
        break;
    }
    case Notes::LineType: {
        auto *a = static_cast<NotesLineItem *>(original), *b = static_cast<NotesLineItem *>(copy);
        QCOMPARE(b->path(), a->path());
        QCOMPARE(b->color(), a->color());
        QCOMPARE(b->width(), a->width());
        QCOMPARE(b->style(), a->style());
        break;
    }
    case Notes::PolyLineType: {
        auto *a = static_cast<NotesPolyLineItem *>(original), *b = static_cast<NotesPolyLineItem *>(copy);
        QCOMPARE(b->path(), a->path());
        QCOMPARE(b->color(), a->color());
        QCOMPARE(b->width(), a->width());
        QCOMPARE(b->style(), a->style());
        break;
    }
    case Notes::TextType: {
        auto *a = static_cast<NotesTextItem *>(original), *b = static_cast<NotesTextItem *>(copy);
        QCOMPARE(b->toPlainText(), a->toPlainText());
        QCOMPARE(b->font(), a->font());
        QCOMPARE(b->defaultTextColor(), a->defaultTextColor());
        QCOMPARE(b->rotation(), -90.0);
        QCOMPARE(b->textInteractionFlags(), Qt::TextInteractionFlags(Qt::TextSelectableByMouse));
        break;
    }
    case Notes::PictureType: {
        auto *a = static_cast<QGraphicsPixmapItem *>(original), *b = static_cast<QGraphicsPixmapItem *>(copy);
        QCOMPARE(Notes::picturePixmap(b).toImage().convertToFormat(QImage::Format_RGB32),
                 Notes::picturePixmap(a).toImage().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(b->data(PictureHasLayersKey), QVariant(false));
        QVERIFY(!b->data(PictureLayersKey).isValid());
        break;
    }
    }
}

void TestNotesFile::formattedTextRoundTrip()
{
    PageModel model;
    NotesScene *scene = model.appendPage(QStringLiteral("T"));
    NotesTextItem *text = addText(
        scene,
        QStringLiteral("<p>plain <b>bold</b> <i>italic</i> <span style=\"color:#ff0000\">red</span></p>"),
        sampleFont(), QColor(Qt::darkGreen), QPointF(-4, 5), 0);

    PageModel loaded;
    QVERIFY(!load(saved(model), loaded).damaged);
    auto *back = itemsOf<NotesTextItem>(loaded.scene(0)).value(0);
    QVERIFY(back);
    QCOMPARE(back->toPlainText(), text->toPlainText());
    QCOMPARE(back->toHtml(), text->toHtml());
    QCOMPARE(back->font(), sampleFont());
    QCOMPARE(back->rotation(), 0.0);
    // The formatting survives: the second fragment is bold, the last one red.
    QTextCursor cursor(back->document());
    cursor.setPosition(8);
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
    cursor.movePosition(QTextCursor::End);
    QCOMPARE(cursor.charFormat().foreground().color(), QColor(Qt::red));
}

void TestNotesFile::emptyTextItemsAreNotWritten()
{
    PageModel model;
    NotesScene *scene = model.appendPage(QStringLiteral("T"));
    addText(scene, QString(), sampleFont(), Qt::black, QPointF(), 0);
    addText(scene, QStringLiteral("kept"), sampleFont(), Qt::black, QPointF(), 0);
    const QByteArray bytes = saved(model);

    PageModel loaded;
    QVERIFY(!load(bytes, loaded).damaged);
    QCOMPARE(itemsOf<NotesTextItem>(loaded.scene(0)).size(), 1);

    PageModel onlyEmpty;
    addText(onlyEmpty.appendPage(QStringLiteral("E")), QString(), sampleFont(), Qt::black, QPointF(), 0);
    PageModel none;
    QVERIFY(!load(saved(onlyEmpty), none).damaged);
    QCOMPARE(none.scene(0)->items().size(), 0);
}

void TestNotesFile::picturesComeBackInReversedOrder()
{
    PageModel model;
    NotesScene *scene = model.appendPage(QStringLiteral("P"));
    addPicture(scene, solidPixmap(3, 3, Qt::red), QPointF(0, 0), {}, false);   // lower
    addPicture(scene, solidPixmap(3, 3, Qt::green), QPointF(1, 1), {}, false); // upper, written first

    PageModel loaded;
    QVERIFY(!load(saved(model), loaded).damaged);
    const QList<QGraphicsPixmapItem *> pictures = itemsOf<QGraphicsPixmapItem>(loaded.scene(0));
    QCOMPARE(pictures.size(), 2);
    // Ascending order: the first one listed is the lowest.
    QCOMPARE(pictures.at(0)->pos(), QPointF(1, 1));
    QCOMPARE(Notes::picturePixmap(pictures.at(0)).toImage().pixelColor(0, 0), QColor(Qt::green));
    QCOMPARE(pictures.at(1)->pos(), QPointF(0, 0));
}

void TestNotesFile::pictureLayers_data()
{
    QTest::addColumn<bool>("firstHas");
    QTest::addColumn<bool>("secondHas");
    QTest::newRow("none") << false << false;
    QTest::newRow("upper only") << false << true;
    QTest::newRow("both") << true << true;
}

void TestNotesFile::pictureLayers()
{
    QFETCH(bool, firstHas);
    QFETCH(bool, secondHas);
    const QList<DsvLayer> lower = {layer(QStringLiteral("Top"), 1), layer(QStringLiteral("Wiring3"), 3)};
    const QList<DsvLayer> upper = {layer(QStringLiteral("Bottom"), 9, QColor(Qt::yellow))};

    PageModel model;
    NotesScene *scene =
        model.appendPage(QStringLiteral("P"), QStringLiteral("d"), QString(), QRectF(0, 0, 5, 5));
    addPicture(scene, solidPixmap(2, 2, Qt::red), QPointF(0, 0), lower, firstHas);
    addPicture(scene, solidPixmap(2, 2, Qt::blue), QPointF(0, 0), upper, secondHas);

    PageModel loaded;
    QVERIFY(!load(saved(model), loaded).damaged);
    const QList<QGraphicsPixmapItem *> pictures = itemsOf<QGraphicsPixmapItem>(loaded.scene(0));
    QCOMPARE(pictures.size(), 2);
    // Written upper first, so read back upper lowest.
    QCOMPARE(pictures.at(0)->data(PictureHasLayersKey).toBool(), secondHas);
    QCOMPARE(pictures.at(1)->data(PictureHasLayersKey).toBool(), firstHas);
    if (secondHas)
        QCOMPARE(layerListFromMap(pictures.at(0)->data(PictureLayersKey).toMap()), upper);
    else
        QVERIFY(!pictures.at(0)->data(PictureLayersKey).isValid());
    if (firstHas)
        QCOMPARE(layerListFromMap(pictures.at(1)->data(PictureLayersKey).toMap()), lower);

    // The page's layer map holds all pictures' layers in file order, or is not set at all.
    const QVariant pageMap = loaded.sceneItem(0)->data(Page::LayerMapRole);
    QList<DsvLayer> expected;
    if (secondHas)
        expected += upper;
    if (firstHas)
        expected += lower;
    if (expected.isEmpty())
        QVERIFY(!pageMap.isValid());
    else
        QCOMPARE(pageMap.toMap(), layerListToMap(expected));
}

void TestNotesFile::emptyTitles_data()
{
    QTest::addColumn<int>("currentIndex");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no current page") << -1 << QStringLiteral("Note1");
    QTest::newRow("first page current") << 0 << QStringLiteral("Note2");
    QTest::newRow("fifth page current") << 4 << QStringLiteral("Note6");
}

void TestNotesFile::emptyTitles()
{
    QFETCH(int, currentIndex);
    QFETCH(QString, expected);
    PageModel model;
    model.appendPage(QString());
    model.appendPage(QString());
    PageModel loaded;
    QVERIFY(!load(saved(model), loaded, currentIndex).damaged);
    // The mapper does not move while loading: every empty title gets the same number.
    QCOMPARE(loaded.title(0), expected);
    QCOMPARE(loaded.title(1), expected);
}

void TestNotesFile::viewRectangleNullWhenUnset()
{
    PageModel model;
    model.appendPage(QStringLiteral("P"));
    QVERIFY(!model.sceneItem(0)->data(Page::ViewRectRole).isValid());
    PageModel loaded;
    QVERIFY(!load(saved(model), loaded).damaged);
    const QVariant rect = loaded.sceneItem(0)->data(Page::ViewRectRole);
    QVERIFY(rect.isValid());
    QVERIFY(rect.toRectF().isNull());
    QVERIFY(!loaded.sceneItem(0)->data(Page::LayerMapRole).isValid());
}

void TestNotesFile::loadAppendsToExistingRows()
{
    PageModel model;
    model.appendPage(QStringLiteral("A"));
    const QByteArray bytes = saved(model);
    PageModel target;
    target.appendPage(QStringLiteral("existing"));
    const NotesFile::ReadResult result = load(bytes, target);
    QCOMPARE(result.pagesRead, 1);
    QCOMPARE(target.rowCount(), 2);
    QCOMPARE(target.title(0), QStringLiteral("existing"));
    QCOMPARE(target.title(1), QStringLiteral("A"));
    QVERIFY(target.scene(1) != target.scene(0));
}

void TestNotesFile::textItemCallbackSeesEveryText()
{
    PageModel model;
    NotesScene *scene = model.appendPage(QStringLiteral("T"));
    addText(scene, QStringLiteral("one"), sampleFont(), Qt::black, QPointF(0, 0), 0);
    addText(scene, QStringLiteral("two"), sampleFont(), Qt::black, QPointF(0, 20), 0);
    const QByteArray bytes = saved(model);

    PageModel loaded;
    QObject receiver;
    QList<NotesTextItem *> seen;
    QList<double> rotations;
    NotesFile::ReadOptions options;
    options.textItemCreated = [&](NotesTextItem *item) {
        seen.append(item);
        QObject::connect(item, &NotesTextItem::rotateText, &receiver,
                         [&](QGraphicsItem *, double rotation) { rotations.append(rotation); });
    };
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    NotesFile::readNotes(&buffer, loaded, sceneFactory(), options);
    QCOMPARE(seen.size(), 2);
    QCOMPARE(itemsOf<NotesTextItem>(loaded.scene(0)), seen);
    QSignalSpy spy(seen.first(), &NotesTextItem::rotateText);
    emit seen.first()->rotateText(seen.first(), -90);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(rotations, QList<double>{-90});
}

void TestNotesFile::fileHtmlCannotReadLocalFiles()
{
    QTemporaryDir dir;
    const QString imagePath = dir.filePath(QStringLiteral("secret.png"));
    QVERIFY(solidPixmap(8, 8, Qt::red).save(imagePath));
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(solidPixmap(3, 5, Qt::green).save(&buffer, "PNG"));
    }
    const QString inlineUrl = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
    const QString html = QStringLiteral("<p>x<img src=\"%1\"><img src=\"%2\"></p>").arg(imagePath, inlineUrl);

    TestKit::RawWriter w;
    w << qint32(7) << qint32(0) << qint32(1) << QStringLiteral("T") << QString() << QString() << QRectF()
      << qint64(0) << qint64(1) << html;
    w.font(sampleFont());
    w << QColor(Qt::black) << QPointF() << double(0) << qint32(1);
    for (int i = 0; i < 5; ++i)
        w << qint64(0);

    PageModel loaded;
    QVERIFY(!load(w.bytes, loaded).damaged);
    auto *text = itemsOf<NotesTextItem>(loaded.scene(0)).value(0);
    QVERIFY(text);
    QVERIFY(qobject_cast<NotesTextDocument *>(text->document()));
    QVERIFY(text->document()->toHtml().contains(imagePath));
    text->boundingRect(); // lays the text out, which fetches its images
    for (const QUrl &url : {QUrl(imagePath), QUrl::fromLocalFile(imagePath)}) {
        const QImage image =
            qvariant_cast<QImage>(text->document()->resource(QTextDocument::ImageResource, url));
        QVERIFY2(image.size() != QSize(8, 8), qPrintable(url.toString()));
    }
    // Inline pictures still work.
    const QVariant inlined = text->document()->resource(QTextDocument::ImageResource, QUrl(inlineUrl));
    QImage inlineImage = qvariant_cast<QImage>(inlined);
    if (inlineImage.isNull())
        inlineImage.loadFromData(inlined.toByteArray());
    QCOMPARE(inlineImage.size(), QSize(3, 5));
    // A plain document would have read the file.
    QTextDocument plain;
    QVERIFY(!plain.resource(QTextDocument::ImageResource, QUrl::fromLocalFile(imagePath)).isNull());
}

void TestNotesFile::saveReplacesAtomically()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.nts"));
    PageModel model;
    buildSample(model);
    const NotesFile::SaveResult first = NotesFile::saveNotesFile(path, model);
    QVERIFY2(first.ok, qPrintable(first.errorString));
    QCOMPARE(readFile(path), saved(model));

    PageModel empty;
    QVERIFY(NotesFile::saveNotesFile(path, empty).ok);
    QCOMPARE(readFile(path), hex("00000007 00000000 00000000"));
    // Nothing but the notes file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("notes.nts")});
}

void TestNotesFile::failedSaveKeepsPreviousFile()
{
    QTemporaryDir dir;
    PageModel model;
    buildSample(model);

    // A target that is a directory, and a target in a folder that does not exist, both fail
    // with a reason and write nothing.
    const NotesFile::SaveResult onDirectory = NotesFile::saveNotesFile(dir.path(), model);
    QVERIFY(!onDirectory.ok);
    QVERIFY(!onDirectory.errorString.isEmpty());
    QVERIFY(QFileInfo(dir.path()).isDir());
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/notes.nts"));
    QVERIFY(!NotesFile::saveNotesFile(missing, model).ok);
    QVERIFY(!QFile::exists(missing));
    QVERIFY(!NotesFile::saveNotesFile(QString(), model).ok);

    // A write that fails half-way (the file size limit binds every user, root included): the
    // previous file stays as it was and no temporary file is left.
    const QString path = dir.filePath(QStringLiteral("keep.nts"));
    const QByteArray previous = "previous notes";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(previous);
    }
    const qint64 size = saved(model).size();
    QVERIFY(size > 128);
    // Stopped in the first write, and part-way through the file (a short write, then a failure).
    for (const qint64 limitBytes : {qint64(64), size / 2, size - 1}) {
        NotesFile::SaveResult result;
        {
            const FileSizeLimit limit{rlim_t(limitBytes)};
            result = NotesFile::saveNotesFile(path, model);
        }
        QVERIFY2(!result.ok, qPrintable(QString::number(limitBytes)));
        QVERIFY(!result.errorString.isEmpty());
        QCOMPARE(readFile(path), previous);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.nts")});
    }
}

void TestNotesFile::missingFileIsNotOpened()
{
    PageModel model;
    const NotesFile::ReadResult result =
        NotesFile::loadNotesFile(QStringLiteral("/nonexistent/notes.nts"), model, sceneFactory());
    QVERIFY(!result.opened);
    QVERIFY(!result.damaged);
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!NotesFile::loadNotesFile(QString(), model, sceneFactory()).opened);
}

void TestNotesFile::emptyFileReadsAsVersionZero()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.nts"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    PageModel model;
    const NotesFile::ReadResult result = NotesFile::loadNotesFile(path, model, sceneFactory());
    QVERIFY(result.opened);
    QCOMPARE(result.major, 0);
    QCOMPARE(result.minor, 0);
    QCOMPARE(result.pagesRead, 0);
    QVERIFY(!result.damaged);
    QVERIFY(result.message.isEmpty());
}

QTEST_MAIN(TestNotesFile)
#include "tst_notesfile.moc"
