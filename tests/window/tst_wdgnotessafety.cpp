// What a notes file can make the window do: comments that name local files, and pictures that are
// decoded only for the pages that are shown.

#include "windowtesthelpers.h"

#include "io/notesfile.h"
#include "io/pagemodel.h"
#include "scene/notespictureitem.h"

#include <QDataWidgetMapper>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>

using namespace WindowTest;

class TestWdgNotesSafety : public QObject
{
    Q_OBJECT

private slots:
    void init() { dialogs = std::make_unique<ScriptedDialogs::Guard>(); }
    void cleanup() { dialogs.reset(); }

    void commentCannotReadLocalFiles_data();
    void commentCannotReadLocalFiles();
    void picturesDecodeForShownPagesOnly();

private:
    // Saves pages made in an edit-mode window, one picture page per colour, to path.
    void makeFile(const QString &path, const QList<QColor> &colours, const QString &comment);

    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
};

void TestWdgNotesSafety::makeFile(const QString &path, const QList<QColor> &colours, const QString &comment)
{
    auto editor = showEditWindow();
    QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    for (const QColor &colour : colours)
        QVERIFY(addPicturePage(*editor, **dialogs, colour));
    editor->model()->item(0, Page::CommentColumn)->setText(comment);
    QVERIFY(editor->saveNotes(path));
    editor->model()->item(0, Page::CommentColumn)->setText(QString());
    editor->clearAllNotes();
}

void TestWdgNotesSafety::commentCannotReadLocalFiles_data()
{
    QTest::addColumn<bool>("asUrl");
    QTest::newRow("plain path") << false;
    QTest::newRow("file URL") << true;
}

void TestWdgNotesSafety::commentCannotReadLocalFiles()
{
    QFETCH(bool, asUrl);
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("secret.png"));
    QVERIFY(testPicture(Qt::red, QSize(64, 48)).save(picture));
    const QString source = asUrl ? QUrl::fromLocalFile(picture).toString() : picture;
    const QString notes = dir.filePath(QStringLiteral("hostile.nts"));
    makeFile(notes, {Qt::darkCyan}, QStringLiteral("<p>look <img src=\"%1\"></p>").arg(source));

    WdgNotes viewer(notes, 1);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    auto *comment = viewer.findChild<QTextEdit *>(QStringLiteral("commentEdit"));
    QVERIFY(comment);
    QVERIFY(comment->toHtml().contains(QStringLiteral("secret.png")));
    comment->viewport()->grab(); // lays the comment out, as showing it does
    const QImage loaded = comment->document()->resource(QTextDocument::ImageResource, QUrl(source)).value<QImage>();
    QVERIFY(loaded.size() != QSize(64, 48));
}

void TestWdgNotesSafety::picturesDecodeForShownPagesOnly()
{
    QTemporaryDir dir;
    const QString notes = dir.filePath(QStringLiteral("three.nts"));
    makeFile(notes, {Qt::red, Qt::green, Qt::blue}, QStringLiteral("c"));

    WdgNotes viewer(notes, 1);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    const auto pictureOn = [&viewer](int row) {
        auto *scene = qvariant_cast<QGraphicsScene *>(viewer.model()->item(row, Page::SceneColumn)->data(Page::SceneRole));
        const QList<QGraphicsPixmapItem *> pictures = itemsOf<QGraphicsPixmapItem>(scene);
        return pictures.size() == 1 ? dynamic_cast<NotesPictureItem *>(pictures.first()) : nullptr;
    };
    QVERIFY(pictureOn(0) && pictureOn(1) && pictureOn(2));
    QCOMPARE(pictureOn(0)->pictureSize(), QSize(1600, 1200));

    const QImage shown = viewer.view()->viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(shown.rect().center()), QColor(Qt::red));
    QVERIFY(pictureOn(0)->isDecoded());
    QVERIFY(!pictureOn(1)->isDecoded());
    QVERIFY(!pictureOn(2)->isDecoded());

    click(viewer, QStringLiteral("Last Note"));
    const QImage last = viewer.view()->viewport()->grab().toImage();
    QCOMPARE(last.pixelColor(last.rect().center()), QColor(Qt::blue));
    QVERIFY(!pictureOn(1)->isDecoded());
}

QTEST_MAIN(TestWdgNotesSafety)
#include "tst_wdgnotessafety.moc"
