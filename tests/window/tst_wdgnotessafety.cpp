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

#include <sys/stat.h>

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
    void loadAndSaveShowProgress();
    void saveOntoFifoIsRefused();

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

void TestWdgNotesSafety::loadAndSaveShowProgress()
{
    QTemporaryDir dir;
    const QString notes = dir.filePath(QStringLiteral("three.nts"));
    makeFile(notes, {Qt::red, Qt::green, Qt::blue}, QStringLiteral("c"));

    (*dialogs)->progressAsked.clear();
    (*dialogs)->progressSteps.clear();
    auto editor = std::make_unique<WdgNotes>(notes, 0);
    QCOMPARE((*dialogs)->progressAsked.size(), 1);
    QCOMPARE((*dialogs)->progressAsked.at(0).total, 1000);
    // One step a page, the last at the end of the file.
    QCOMPARE((*dialogs)->progressSteps.size(), 3);
    QCOMPARE((*dialogs)->progressSteps.last(), 1000);

    (*dialogs)->progressSteps.clear();
    (*dialogs)->fileNames.enqueue(dir.filePath(QStringLiteral("copy.nts")));
    editor->saveNotesAs();
    QCOMPARE((*dialogs)->progressAsked.size(), 2);
    QCOMPARE((*dialogs)->progressAsked.at(1).total, 3);
    QCOMPARE((*dialogs)->progressSteps, (QList<int>{1, 2, 3}));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("copy.nts"))).size() > 0);
    editor->clearAllNotes();
}

void TestWdgNotesSafety::saveOntoFifoIsRefused()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.nts"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    auto editor = showEditWindow();
    QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
    QVERIFY(addPicturePage(*editor, **dialogs));
    (*dialogs)->fileNames.enqueue(fifo);
    (*dialogs)->answers.enqueue(QMessageBox::Ok);
    editor->saveNotesAs();
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    QCOMPARE((*dialogs)->asked.last().title, QStringLiteral("WARNING"));
    editor->clearAllNotes();
}

QTEST_MAIN(TestWdgNotesSafety)
#include "tst_wdgnotessafety.moc"
