// Note pages of the window: adding, deleting, clearing with the save question, showing with the
// style carried over, navigation, and the notes file at construction, load and destruction.

#include "windowtesthelpers.h"

#include "io/clock.h"
#include "io/notesfile.h"
#include "io/pagemodel.h"
#include "scene/notespictureitem.h"
#include "scene/notesrectangleitem.h"

#include <QAction>
#include <QBuffer>
#include <QDataWidgetMapper>
#include <QDir>
#include <QFile>
#include <QGraphicsPixmapItem>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QUndoStack>

using namespace WindowTest;

class TestWdgNotesPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstPageFromClipboard();
    void newNoteAnsweredNo();
    void newNoteTitles();
    void newNoteTitleFollowsCurrentPage();
    void deletePage_data();
    void deletePage();
    void deleteOnlyPageShowsNothing();
    void deleteAnsweredNo();
    void clearAllNotes_data();
    void clearAllNotes();
    void clearInViewerAsksNothing();
    void loadAfterCancelledClearOpensNothing();
    void styleCarriedToNextPage_data();
    void styleCarriedToNextPage();
    void navigationButtons();
    void firstLastWithoutPages();
    void undoStackClearedWhenPagesGo_data();
    void undoStackClearedWhenPagesGo();

    void destructionSavesInEditMode();
    void destructionSavesNothingInViewer();
    void missingFileAtConstruction_data();
    void missingFileAtConstruction();
    void loadExistingNotesRemembersDirectory();
    void cancelledOpenKeepsFileName();
    void damagedFileIsReported();
    void saveNotesAsFailureIsReported();

private:
    QString pagePath(const QString &name) const { return tempDir->filePath(name); }
    QGraphicsScene *sceneAt(WdgNotes &w, int row) const
    {
        return qvariant_cast<QGraphicsScene *>(
            w.model()->item(row, Page::SceneColumn)->data(Page::SceneRole));
    }
    // A window with `pages` pages; each page gets a rectangle so that pages can be told apart.
    std::unique_ptr<WdgNotes> windowWithPages(int pages, const QString &file = QString());

    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
    std::unique_ptr<QTemporaryDir> tempDir;
};

void TestWdgNotesPages::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Lorvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillmark-pages-test"));
}

void TestWdgNotesPages::init()
{
    QGuiApplication::clipboard()->clear();
    QSettings().clear();
    dialogs = std::make_unique<ScriptedDialogs::Guard>();
    tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(tempDir->isValid());
}

void TestWdgNotesPages::cleanup()
{
    QVERIFY2((*dialogs)->unexpected.isEmpty(), qPrintable((*dialogs)->unexpected.join(", ")));
    dialogs.reset();
    tempDir.reset();
}

std::unique_ptr<WdgNotes> TestWdgNotesPages::windowWithPages(int pages, const QString &file)
{
    auto window = std::make_unique<WdgNotes>(file, 0);
    for (int i = 0; i < pages; ++i) {
        addPage(*window, **dialogs);
        auto *scene = qobject_cast<NotesScene *>(window->view()->scene());
        scene->addItem(new NotesRectangleItem(QRectF(0, 0, 10 + i, 10), Qt::red, 3, Qt::SolidLine));
    }
    return window;
}

void TestWdgNotesPages::firstPageFromClipboard()
{
    const QDateTime now(QDate(2024, 3, 5), QTime(9, 7));
    Clock::ScopedFixedTime fixed(now);
    QGuiApplication::clipboard()->setImage(testPicture());
    WdgNotes window(QString(), 0);

    addPage(window, **dialogs);

    const ScriptedDialogs::Asked question = (*dialogs)->asked.at(0);
    QCOMPARE(question.title, QString("QUESTION"));
    QCOMPARE(question.text, QString("Add new node?"));
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE((*dialogs)->asked.at(1).menuEntries,
             QStringList({"Copy in Veritrace.", "Copy from Clipboard."}));

    QCOMPARE(window.model()->rowCount(), 1);
    QCOMPARE(window.model()->columnCount(), 4);
    QCOMPARE(window.model()->item(0, Page::TitleColumn)->text(), QString("Note-0"));
    QCOMPARE(window.model()->item(0, Page::DateColumn)->text(), QString("05.03.2024 09:07"));
    QCOMPARE(window.model()->item(0, Page::CommentColumn)->text(), QString());
    QCOMPARE(window.findChild<QLineEdit *>("titleEdit")->text(), QString("Note-0"));
    QCOMPARE(window.findChild<QLineEdit *>("dateEdit")->text(), QString("05.03.2024 09:07"));

    QStandardItem *sceneItem = window.model()->item(0, Page::SceneColumn);
    QVERIFY(qobject_cast<NotesScene *>(sceneAt(window, 0)));
    QCOMPARE(window.view()->scene(), sceneAt(window, 0));
    QCOMPARE(sceneItem->data(Page::ViewRectRole).toRectF(), QRectF());
    QVERIFY(sceneItem->data(Page::ViewRectRole).isValid());
    QVERIFY(sceneItem->data(Page::LayerMapRole).isValid());
    QVERIFY(sceneItem->data(Page::LayerMapRole).toMap().isEmpty());

    const QList<QGraphicsPixmapItem *> pictures = itemsOf<QGraphicsPixmapItem>(sceneAt(window, 0));
    QCOMPARE(pictures.size(), 1);
    QCOMPARE(Notes::pictureSize(pictures.first()), QSize(400, 300));
    QVERIFY(pictures.first()->flags().testFlag(QGraphicsItem::ItemIsMovable));
    QVERIFY(pictures.first()->flags().testFlag(QGraphicsItem::ItemIsSelectable));
    QCOMPARE(pictures.first()->data(PictureHasLayersKey), QVariant(false));

    QVERIFY(!button(window, "Previous")->isEnabled());
    QVERIFY(!button(window, "Next")->isEnabled());
}

void TestWdgNotesPages::newNoteAnsweredNo()
{
    WdgNotes window(QString(), 0);
    (*dialogs)->answers.enqueue(QMessageBox::No);
    click(window, "New Note");
    QCOMPARE(window.model()->rowCount(), 0);
    QCOMPARE((*dialogs)->asked.size(), 1);
}

void TestWdgNotesPages::newNoteTitles()
{
    auto window = windowWithPages(3);
    QStringList titles;
    for (int row = 0; row < 3; ++row)
        titles << window->model()->item(row, Page::TitleColumn)->text();
    QCOMPARE(titles, QStringList({"Note-0", "Note-1", "Note-2"}));
    // Without a clipboard picture the page stays empty but is shown.
    QCOMPARE(window->view()->scene(), sceneAt(*window, 2));
    QCOMPARE(itemsOf<QGraphicsPixmapItem>(sceneAt(*window, 2)).size(), 0);
    QVERIFY(button(*window, "Previous")->isEnabled());
    QVERIFY(!button(*window, "Next")->isEnabled());
}

void TestWdgNotesPages::newNoteTitleFollowsCurrentPage()
{
    auto window = windowWithPages(3);
    click(*window, "First Note");
    addPage(*window, **dialogs);
    QCOMPARE(window->model()->rowCount(), 4);
    QCOMPARE(window->model()->item(3, Page::TitleColumn)->text(), QString("Note-1"));
    QCOMPARE(window->mapper()->currentIndex(), 3);
}

void TestWdgNotesPages::deletePage_data()
{
    QTest::addColumn<int>("deleteRow");
    QTest::addColumn<int>("shownRow");
    QTest::addColumn<int>("shownOriginalRow");
    QTest::newRow("last of three") << 2 << 0 << 0;
    QTest::newRow("middle of three") << 1 << 1 << 2;
    QTest::newRow("first of three") << 0 << 0 << 1;
}

void TestWdgNotesPages::deletePage()
{
    QFETCH(int, deleteRow);
    QFETCH(int, shownRow);
    QFETCH(int, shownOriginalRow);

    auto window = windowWithPages(3);
    QList<QGraphicsScene *> scenes;
    for (int row = 0; row < 3; ++row)
        scenes << sceneAt(*window, row);
    QPointer<QGraphicsScene> deleted(scenes.at(deleteRow));
    window->mapper()->setCurrentIndex(deleteRow);

    (*dialogs)->answers.enqueue(QMessageBox::Yes);
    click(*window, "Delete this Note");

    const ScriptedDialogs::Asked asked = (*dialogs)->asked.last();
    QCOMPARE(asked.title, QString("WARNING"));
    QCOMPARE(asked.text, QString("You want remove this note?"));
    QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);

    QVERIFY(deleted.isNull());
    QCOMPARE(window->model()->rowCount(), 2);
    QCOMPARE(window->mapper()->currentIndex(), shownRow);
    QCOMPARE(window->view()->scene(), scenes.at(shownOriginalRow));
    QCOMPARE(window->findChild<QLineEdit *>("titleEdit")->text(),
             window->model()->item(shownRow, Page::TitleColumn)->text());
    QCOMPARE(button(*window, "Previous")->isEnabled(), shownRow > 0);
    QCOMPARE(button(*window, "Next")->isEnabled(), shownRow < 1);
}

void TestWdgNotesPages::deleteOnlyPageShowsNothing()
{
    auto window = windowWithPages(1);
    (*dialogs)->answers.enqueue(QMessageBox::Yes);
    click(*window, "Delete this Note");
    QCOMPARE(window->model()->rowCount(), 0);
    QVERIFY(!window->view()->scene());
    QCOMPARE(window->mapper()->currentIndex(), -1);
    QVERIFY(window->findChild<QLineEdit *>("titleEdit")->text().isEmpty());
    QVERIFY(window->findChild<QLineEdit *>("dateEdit")->text().isEmpty());

    // Nothing current: nothing is asked, nothing happens.
    const int asked = (*dialogs)->asked.size();
    click(*window, "Delete this Note");
    QCOMPARE((*dialogs)->asked.size(), asked);
}

void TestWdgNotesPages::deleteAnsweredNo()
{
    auto window = windowWithPages(2);
    (*dialogs)->answers.enqueue(QMessageBox::No);
    click(*window, "Delete this Note");
    QCOMPARE(window->model()->rowCount(), 2);
    QCOMPARE(window->view()->scene(), sceneAt(*window, 1));
}

void TestWdgNotesPages::clearAllNotes_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveAs"); // "-" when no save dialog is expected, "" for cancel
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("cleared");
    QTest::addColumn<bool>("written");

    QTest::newRow("No") << int(QMessageBox::No) << "-" << true << false << false;
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << "-" << false << false << false;
    QTest::newRow("Escape") << int(QMessageBox::Escape) << "-" << false << false << false;
    QTest::newRow("Yes, saved") << int(QMessageBox::Yes) << "kept.nts" << true << true << true;
    QTest::newRow("Yes, save cancelled") << int(QMessageBox::Yes) << "" << false << false << false;
    QTest::newRow("Yes, save failed")
        << int(QMessageBox::Yes) << "missing-dir/kept.nts" << false << false << false;
}

void TestWdgNotesPages::clearAllNotes()
{
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, result);
    QFETCH(bool, cleared);
    QFETCH(bool, written);

    auto window = windowWithPages(2);
    QPointer<QGraphicsScene> first(sceneAt(*window, 0));
    (*dialogs)->answers.enqueue(static_cast<QMessageBox::StandardButton>(answer));
    const QString target = saveAs.isEmpty() ? QString() : pagePath(saveAs);
    if (saveAs != QLatin1String("-"))
        (*dialogs)->fileNames.enqueue(target);
    const bool failing = saveAs.startsWith(QLatin1String("missing-dir"));
    if (failing)
        (*dialogs)->answers.enqueue(QMessageBox::Ok);

    QCOMPARE(window->cleanNotes(), result);

    const ScriptedDialogs::Asked question = (*dialogs)->asked.at(2 * 2);
    QCOMPARE(question.title, QString("WARNING"));
    QCOMPARE(question.text, QString("You want save notes?"));
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (saveAs != QLatin1String("-")) {
        const ScriptedDialogs::Asked save = (*dialogs)->asked.at(5);
        QCOMPARE(save.kind, QString("save"));
        QCOMPARE(save.title, QString("Save Notes as..."));
        QCOMPARE(save.filter, QString("Notes (*.nts)"));
    }
    if (failing)
        QCOMPARE((*dialogs)->asked.last().title, QString("WARNING"));

    QCOMPARE(window->model()->rowCount(), cleared ? 0 : 2);
    QCOMPARE(first.isNull(), cleared);
    QCOMPARE(window->view()->scene() == nullptr, cleared);
    QCOMPARE(QFile::exists(target) && !target.isEmpty(), written);
    if (cleared) {
        QVERIFY(!button(*window, "Previous")->isEnabled());
        QVERIFY(!button(*window, "Next")->isEnabled());
        QCOMPARE(window->currentNotesFileName(), target);
    }
    if (written) {
        // The saved file holds both pages.
        QStandardItemModel model;
        const NotesFile::ReadResult read =
            NotesFile::loadNotesFile(target, model, &WdgNotes::createPageScene);
        QCOMPARE(read.pagesRead, 2);
        for (int row = 0; row < model.rowCount(); ++row)
            delete qvariant_cast<QGraphicsScene *>(model.item(row, Page::SceneColumn)->data(Page::SceneRole));
    }
}

void TestWdgNotesPages::clearInViewerAsksNothing()
{
    const QString file = pagePath("viewer.nts");
    {
        auto window = windowWithPages(2, file);
    } // saved on destruction
    WdgNotes viewer(file, 1);
    QCOMPARE(viewer.model()->rowCount(), 2);
    const int asked = (*dialogs)->asked.size();
    QVERIFY(viewer.cleanNotes());
    QCOMPARE((*dialogs)->asked.size(), asked);
    QCOMPARE(viewer.model()->rowCount(), 0);
    QVERIFY(!viewer.view()->scene());
}

void TestWdgNotesPages::loadAfterCancelledClearOpensNothing()
{
    auto window = windowWithPages(1);
    (*dialogs)->answers.enqueue(QMessageBox::Cancel);
    click(*window, "Load existing Notes");
    QCOMPARE((*dialogs)->asked.last().text, QString("You want save notes?"));
    QCOMPARE(window->model()->rowCount(), 1);
}

void TestWdgNotesPages::styleCarriedToNextPage_data()
{
    QTest::addColumn<QString>("pageSwitch");
    QTest::newRow("Next") << QStringLiteral("Next");
    // The style chosen on a page also survives that page being deleted.
    QTest::newRow("Delete this Note") << QStringLiteral("Delete this Note");
}

void TestWdgNotesPages::styleCarriedToNextPage()
{
    QFETCH(QString, pageSwitch);
    auto window = windowWithPages(2);
    click(*window, "First Note");
    auto *first = qobject_cast<NotesScene *>(sceneAt(*window, 0));
    auto *second = qobject_cast<NotesScene *>(sceneAt(*window, 1));
    QCOMPARE(window->view()->scene(), first);

    // A selected arrow of the next page keeps its own colour: only new items take the style.
    auto *arrow = new NotesArrow(QLineF(0, 0, 50, 0));
    second->addItem(arrow);
    arrow->setSelected(true);

    auto chooseFromMenu = [&](const char *button, const QString &entry) {
        QMenu *menu = action(*window, button)->menu();
        QVERIFY(menu);
        const QList<QAction *> entries = menu->actions();
        for (QAction *a : entries) {
            if (a->text() == entry) {
                a->trigger();
                return;
            }
        }
        QFAIL(qPrintable(entry));
    };
    chooseFromMenu("figureColorAction", "red");
    chooseFromMenu("textColorAction", "blue");
    chooseFromMenu("lineWidthAction", "7pix");
    chooseFromMenu("lineStyleAction", "DashLine");
    QFont font(QStringLiteral("Serif"), 20);
    first->setFont(font);
    QCOMPARE(first->lineColor(), QColor(Qt::red));
    QCOMPARE(first->lineStyle(), Qt::DashLine);

    if (pageSwitch == QLatin1String("Delete this Note"))
        (*dialogs)->answers.enqueue(QMessageBox::Yes);
    click(*window, pageSwitch);
    QCOMPARE(window->view()->scene(), second);
    QCOMPARE(second->lineColor(), QColor(Qt::red));
    QCOMPARE(second->textColor(), QColor(Qt::blue));
    QCOMPARE(second->lineWidth(), 7);
    QCOMPARE(second->font(), font);
    QCOMPARE(second->lineStyle(), Qt::SolidLine);
    QCOMPARE(second->mode(), SelectMove);
    QCOMPARE(arrow->color(), QColor(Qt::black));
}

void TestWdgNotesPages::navigationButtons()
{
    auto window = windowWithPages(3);
    QList<QGraphicsScene *> scenes;
    for (int row = 0; row < 3; ++row)
        scenes << sceneAt(*window, row);

    struct Step
    {
        const char *button;
        int row;
    };
    const Step steps[] = {{"First Note", 0}, {"Next", 1}, {"Next", 2}, {"Previous", 1}, {"Last Note", 2}};
    for (const Step &step : steps) {
        click(*window, step.button);
        QCOMPARE(window->mapper()->currentIndex(), step.row);
        QCOMPARE(window->view()->scene(), scenes.at(step.row));
        QCOMPARE(button(*window, "Previous")->isEnabled(), step.row > 0);
        QCOMPARE(button(*window, "Next")->isEnabled(), step.row < 2);
    }
}

void TestWdgNotesPages::firstLastWithoutPages()
{
    WdgNotes window(QString(), 1);
    click(window, "First Note");
    click(window, "Last Note");
    QCOMPARE(window.mapper()->currentIndex(), -1);
    QVERIFY(!window.view()->scene());
    QVERIFY(!button(window, "Previous")->isEnabled());
    QVERIFY(!button(window, "Next")->isEnabled());
    QVERIFY((*dialogs)->asked.isEmpty());
}

void TestWdgNotesPages::undoStackClearedWhenPagesGo_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("delete page") << "delete";
    QTest::newRow("clear all") << "clear";
    QTest::newRow("load") << "load";
}

void TestWdgNotesPages::undoStackClearedWhenPagesGo()
{
    QFETCH(QString, operation);
    const QString other = pagePath("other.nts");
    {
        auto source = windowWithPages(1, other);
    }

    auto window = windowWithPages(2);
    window->resize(900, 700);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    clickAction(*window, "addRectangleAction");
    drag(window->view(), QPointF(30, 30), QPointF(90, 90));
    QCOMPARE(window->undoHistory()->count(), 1);

    if (operation == QLatin1String("delete")) {
        (*dialogs)->answers.enqueue(QMessageBox::Yes);
        click(*window, "Delete this Note");
    } else if (operation == QLatin1String("clear")) {
        (*dialogs)->answers.enqueue(QMessageBox::Yes);
        (*dialogs)->fileNames.enqueue(pagePath("saved.nts"));
        click(*window, "Clear all Notes");
    } else {
        (*dialogs)->answers.enqueue(QMessageBox::No); // keep the pages, append the file's
        (*dialogs)->fileNames.enqueue(other);
        click(*window, "Load existing Notes");
        QCOMPARE(window->model()->rowCount(), 3);
    }

    QCOMPARE(window->undoHistory()->count(), 0);
    QVERIFY(!action(*window, "undoAction")->isEnabled());
    window->undoHistory()->undo();
    window->undoHistory()->redo();
}

void TestWdgNotesPages::destructionSavesInEditMode()
{
    const QString file = pagePath("edit.nts");
    {
        auto window = windowWithPages(2, file);
        QCOMPARE(window->windowTitle(), QString("Add Notes edit"));
        QVERIFY(!QFile::exists(file));
        // A title still being typed is kept too.
        auto *title = window->findChild<QLineEdit *>("titleEdit");
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        title->setFocus();
        QVERIFY(title->hasFocus());
        title->setText(QStringLiteral("Via check"));
    }
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QCOMPARE(bytes.left(12), QByteArray::fromHex("000000070000000000000002"));

    WdgNotes viewer(file, 1);
    QCOMPARE(viewer.windowTitle(), QString("View Veritrace Notes edit"));
    QCOMPARE(viewer.model()->rowCount(), 2);
    QCOMPARE(viewer.model()->item(0, Page::TitleColumn)->text(), QString("Note-0"));
    QCOMPARE(viewer.model()->item(1, Page::TitleColumn)->text(), QString("Via check"));
    QCOMPARE(viewer.mapper()->currentIndex(), 0);
    QCOMPARE(itemsOf<NotesRectangleItem>(viewer.view()->scene()).size(), 1);
}

void TestWdgNotesPages::destructionSavesNothingInViewer()
{
    const QString file = pagePath("view.nts");
    {
        auto window = windowWithPages(1, file);
    }
    QFile original(file);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();
    const QDateTime modified = QFileInfo(file).lastModified();
    {
        WdgNotes viewer(file, 1);
        QCOMPARE(viewer.model()->rowCount(), 1);
        viewer.model()->item(0, Page::TitleColumn)->setText(QStringLiteral("changed"));
    }
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), before);
    QCOMPARE(QFileInfo(file).lastModified(), modified);

    const QString absent = pagePath("absent.nts");
    {
        WdgNotes viewer(absent, 1);
        QCOMPARE(viewer.windowTitle(), QString("View Veritrace Notes absent"));
    }
    QVERIFY(!QFile::exists(absent));
}

void TestWdgNotesPages::missingFileAtConstruction_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << "board.nts"
                           << "Add Notes board";
    QTest::newRow("two extensions") << "board.v2.nts"
                                    << "Add Notes board";
}

void TestWdgNotesPages::missingFileAtConstruction()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    const QString file = pagePath(name);
    {
        WdgNotes window(file, 0);
        QCOMPARE(window.model()->rowCount(), 0);
        QCOMPARE(window.windowTitle(), title);
        QVERIFY(!window.view()->scene());
    }
    // No pages: nothing to write.
    QVERIFY(!QFile::exists(file));
}

void TestWdgNotesPages::loadExistingNotesRemembersDirectory()
{
    const QString file = pagePath("sub/remembered.nts");
    QVERIFY(QDir(tempDir->path()).mkpath("sub"));
    {
        auto window = windowWithPages(2, file);
    }
    WdgNotes window(QString(), 0);
    (*dialogs)->fileNames.enqueue(file);
    click(window, "Load existing Notes");
    const ScriptedDialogs::Asked open = (*dialogs)->asked.last();
    QCOMPARE(open.kind, QString("open"));
    QCOMPARE(open.title, QString("Open Veritrace Notes file"));
    QCOMPARE(open.filter, QString("Notes (*nts)"));
    QCOMPARE(open.text, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));

    QCOMPARE(window.model()->rowCount(), 2);
    QCOMPARE(window.windowTitle(), QString("Add Notes remembered"));
    QCOMPARE(QSettings().value("notespath").toString(), QFileInfo(file).absolutePath());
    QCOMPARE(window.view()->scene(), sceneAt(window, 0));

    // Next time the dialog starts from the remembered directory when no file is current.
    WdgNotes second(QString(), 1);
    (*dialogs)->fileNames.enqueue(QString());
    click(second, "Load existing Notes");
    QCOMPARE((*dialogs)->asked.last().text, QFileInfo(file).absolutePath());
}

void TestWdgNotesPages::cancelledOpenKeepsFileName()
{
    const QString file = pagePath("kept.nts");
    {
        auto window = windowWithPages(1, file);
        (*dialogs)->answers.enqueue(QMessageBox::No);
        (*dialogs)->fileNames.enqueue(QString());
        click(*window, "Load existing Notes");
        QCOMPARE((*dialogs)->asked.last().text, file);
        QCOMPARE(window->currentNotesFileName(), file);
    }
    // The pages still shown went to their file when the window closed.
    QVERIFY(QFile::exists(file));
}

void TestWdgNotesPages::damagedFileIsReported()
{
    const QString file = pagePath("whole.nts");
    {
        auto window = windowWithPages(3, file);
    }
    QFile whole(file);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QByteArray bytes = whole.readAll();
    whole.close();
    QVERIFY(bytes.size() > 40);

    // Find the longest cut that still reads the first page completely but not the second.
    const QString damaged = pagePath("damaged.nts");
    int cut = -1;
    for (int length = bytes.size() - 1; length > 12; --length) {
        QStandardItemModel model;
        QBuffer buffer;
        buffer.setData(bytes.left(length));
        buffer.open(QIODevice::ReadOnly);
        const NotesFile::ReadResult r = NotesFile::readNotes(&buffer, model, &WdgNotes::createPageScene);
        for (int row = 0; row < model.rowCount(); ++row)
            delete qvariant_cast<QGraphicsScene *>(model.item(row, Page::SceneColumn)->data(Page::SceneRole));
        if (r.pagesRead == 1) {
            cut = length;
            break;
        }
    }
    QVERIFY(cut > 0);
    QFile out(damaged);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes.left(cut));
    out.close();

    (*dialogs)->answers.enqueue(QMessageBox::Ok);
    WdgNotes viewer(damaged, 1);
    QCOMPARE(viewer.model()->rowCount(), 1);
    const ScriptedDialogs::Asked warning = (*dialogs)->asked.last();
    QCOMPARE(warning.title, QString("WARNING"));
    QVERIFY2(warning.text.contains(QStringLiteral("1 page")), qPrintable(warning.text));
    QCOMPARE(viewer.view()->scene(), sceneAt(viewer, 0));

    // A whole file reads without a word.
    const int asked = (*dialogs)->asked.size();
    WdgNotes intact(file, 1);
    QCOMPARE(intact.model()->rowCount(), 3);
    QCOMPARE((*dialogs)->asked.size(), asked);
}

void TestWdgNotesPages::saveNotesAsFailureIsReported()
{
    auto window = windowWithPages(1);
    const QString target = pagePath("no-such-dir/notes.nts");
    (*dialogs)->fileNames.enqueue(target);
    (*dialogs)->answers.enqueue(QMessageBox::Ok);
    click(*window, "Save Notes as...");
    QCOMPARE((*dialogs)->asked.last().title, QString("WARNING"));
    QVERIFY((*dialogs)->asked.last().text.contains(target) ||
            (*dialogs)->asked.last().text.contains(QDir::toNativeSeparators(target)));
    QVERIFY(!QFile::exists(target));

    const QString good = pagePath("good.nts");
    (*dialogs)->fileNames.enqueue(good);
    const int asked = (*dialogs)->asked.size();
    click(*window, "Save Notes as...");
    QCOMPARE((*dialogs)->asked.size(), asked + 1);
    QVERIFY(QFile::exists(good));
    QCOMPARE(window->currentNotesFileName(), good);
    window.reset();
}

QTEST_MAIN(TestWdgNotesPages)
#include "tst_wdgnotespages.moc"
