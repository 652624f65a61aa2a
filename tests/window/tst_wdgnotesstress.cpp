// Long random sequences of what a user does in the edit-mode window, through real events on pages
// that carry an opaque picture. Deterministic from a seed; after every operation the window's
// invariants are checked, and at the end a save and a reload must give the pages the window holds.
// Undo and redo touching a deleted item is left to the sanitizer build, which runs this test.
//
//     QUILL_STRESS_SEED=<n>  QUILL_STRESS_OPS=<count>  [QUILL_STRESS_TRACE=1]  tst_wdgnotesstress
//
// A failure names its seed and operation; the seed and count replay it exactly.

#include "windowtesthelpers.h"

#include "common/pagesdescription.h"
#include "io/notesfile.h"
#include "io/pagemodel.h"
#include "window/noteskeeper.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDataWidgetMapper>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUndoStack>

#include <climits>
#include <cstdio>
#include <random>

using namespace WindowTest;

namespace {

// Defaults keep one run to about a minute in the sanitizer build.
constexpr quint32 DefaultSeed = 20261210;
constexpr int DefaultOperations = 1500;

quint32 envNumber(const char *name, quint32 fallback)
{
    bool ok = false;
    const quint32 value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

const char *const Tools[] = {"addArrowAction", "addCircleAction", "addRectangleAction", "addPolyLineAction",
                             "addFreeLineAction", "addTextAction", "selectMoveAction"};

// Frees the scenes of a model read back from a file.
class ReadPages : public QStandardItemModel
{
public:
    ~ReadPages() override
    {
        for (int row = 0; row < rowCount(); ++row)
            delete qvariant_cast<QGraphicsScene *>(item(row, Page::SceneColumn)->data(Page::SceneRole));
    }
};

} // namespace

class TestWdgNotesStress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomOperations();

private:
    ScriptedDialogs &scripted() { return **dialogs; }
    QGraphicsView *view() const { return window->view(); }

    int pick(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(random)); }
    bool chance(int percent) { return pick(100) < percent; }
    QPointF somewhere() { return visiblePoint(view(), 0.05 + 0.9 * pick(1000) / 1000.0, 0.05 + 0.9 * pick(1000) / 1000.0); }
    QString word()
    {
        static const char *const words[] = {"via", "R12", "short", "check pad", "x", "<b>", "&amp;", "2 mm"};
        return QString::fromUtf8(words[pick(int(std::size(words)))]);
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        view()->setFocus();
        QTest::keyClick(view(), Qt::Key(k), mods);
    }
    void chooseTool(const char *name) { clickAction(*window, name); }
    void rightPressMenu(const QPointF &p, const QString &choice)
    {
        scripted().menuChoices.enqueue(choice);
        press(view(), p, Qt::RightButton);
        release(view(), p, Qt::RightButton);
    }

    // The operations; each returns its name for the trace and failure messages.
    QString drawShape();
    QString interruptedGesture();
    QString typeText();
    QString rotateText();
    QString select();
    QString removeSelection();
    QString undoRedo();
    QString newPage();
    QString deletePage();
    QString clearPages();
    QString navigate();
    QString changeStyle();
    QString copyPaste();
    QString save();
    QString load();
    QString exportFiles();
    QString editFields();

    QString operation();
    // Empty when all holds, else what does not.
    QString brokenInvariant();

    std::mt19937 random;
    QTemporaryDir dir;
    QString notesPath;
    int saves = 0;
    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
    std::unique_ptr<WdgNotes> window;
};

void TestWdgNotesStress::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(dir.isValid());
    notesPath = dir.filePath(QStringLiteral("stress.nts"));
}

QString TestWdgNotesStress::drawShape()
{
    const int tool = pick(5);
    chooseTool(Tools[tool]);
    const QPointF a = somewhere();
    if (tool == 3) {
        // Polyline: clicks, the cursor moving on, then Space; four points or more ask whether closed.
        const int clicks = 1 + pick(5);
        clickAt(view(), a);
        for (int i = 1; i < clicks; ++i) {
            const QPointF p = somewhere();
            moveTo(view(), p, Qt::NoButton);
            clickAt(view(), p);
        }
        moveTo(view(), somewhere(), Qt::NoButton);
        scripted().answers.enqueue(chance(50) ? QMessageBox::Yes : QMessageBox::No);
        key(Qt::Key_Space);
        return QStringLiteral("polyline of %1 clicks").arg(clicks);
    }
    const QPointF b = chance(10) ? a : somewhere(); // sometimes a mere click
    press(view(), a);
    const int steps = 1 + pick(8);
    for (int i = 1; i <= steps; ++i)
        moveTo(view(), chance(30) ? somewhere() : a + (b - a) * (double(i) / steps));
    release(view(), b);
    return QStringLiteral("draw with %1").arg(QLatin1String(Tools[tool]));
}

QString TestWdgNotesStress::interruptedGesture()
{
    const int tool = pick(5);
    chooseTool(Tools[tool]);
    const QPointF a = somewhere();
    press(view(), a);
    if (tool == 3) {
        release(view(), a);
        clickAt(view(), somewhere());
    }
    moveTo(view(), somewhere(), tool == 3 ? Qt::NoButton : Qt::LeftButton);
    QString how;
    switch (pick(4)) {
    case 0:
        how = QStringLiteral("right button");
        press(view(), somewhere(), Qt::RightButton);
        release(view(), somewhere(), Qt::RightButton);
        break;
    case 1:
        how = QStringLiteral("Escape");
        key(Qt::Key_Escape);
        key(Qt::Key_Space);
        break;
    case 2:
        how = QStringLiteral("page switch");
        window->mapper()->toPrevious();
        window->mapper()->toNext();
        break;
    default:
        how = QStringLiteral("other tool");
        chooseTool(Tools[pick(int(std::size(Tools)))]);
        break;
    }
    // The button comes up somewhere, or never reaches the view.
    if (chance(50))
        release(view(), somewhere());
    moveTo(view(), somewhere(), Qt::NoButton);
    return QStringLiteral("%1 interrupted by %2").arg(QLatin1String(Tools[tool]), how);
}

QString TestWdgNotesStress::typeText()
{
    chooseTool("addTextAction");
    clickAt(view(), somewhere());
    QTest::keyClicks(view(), word());
    if (chance(30))
        QTest::keyClick(view(), Qt::Key_Backspace);
    // Clicking elsewhere ends the editing (an empty text goes away).
    if (chance(70))
        clickAt(view(), somewhere());
    return QStringLiteral("type text");
}

QString TestWdgNotesStress::rotateText()
{
    const QList<NotesTextItem *> texts = itemsOf<NotesTextItem>(view()->scene());
    if (texts.isEmpty())
        return typeText();
    NotesTextItem *text = texts.at(pick(int(texts.size())));
    const QPoint at = view()->mapFromScene(text->sceneBoundingRect().center());
    // The item's own menu, as the right button on it opens it.
    scripted().menuChoices.enqueue(chance(50) ? QStringLiteral("Set Text Vertical")
                                              : QStringLiteral("Set Text Horizontal"));
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view()->viewport(), &event);
    return QStringLiteral("rotate text");
}

QString TestWdgNotesStress::select()
{
    chooseTool("selectMoveAction");
    if (chance(50)) {
        clickAt(view(), somewhere());
        return QStringLiteral("select by click");
    }
    // A drag from an item moves it (a picture too); from nowhere it is a rubber band.
    drag(view(), somewhere(), somewhere());
    return QStringLiteral("select by drag");
}

QString TestWdgNotesStress::removeSelection()
{
    if (chance(50)) {
        key(chance(50) ? Qt::Key_Delete : Qt::Key_Backspace);
        return QStringLiteral("remove by key");
    }
    clickAction(*window, "removeAction");
    return QStringLiteral("remove by button");
}

QString TestWdgNotesStress::undoRedo()
{
    const int depth = 1 + pick(chance(20) ? 30 : 4);
    const bool undo = chance(60);
    for (int i = 0; i < depth; ++i) {
        if (chance(50))
            key(Qt::Key_Z, undo ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        else
            clickAction(*window, undo ? "undoAction" : "redoAction");
    }
    return QStringLiteral("%1 x%2").arg(undo ? QStringLiteral("undo") : QStringLiteral("redo")).arg(depth);
}

QString TestWdgNotesStress::newPage()
{
    const QColor colours[] = {Qt::darkCyan, Qt::darkBlue, Qt::darkGreen, Qt::darkMagenta, Qt::gray};
    const QSize size(800 + pick(1200), 600 + pick(900));
    QGuiApplication::clipboard()->setImage(testPicture(colours[pick(5)], size));
    addPage(*window, scripted());
    return QStringLiteral("new page %1x%2").arg(size.width()).arg(size.height());
}

QString TestWdgNotesStress::deletePage()
{
    const bool yes = chance(80);
    if (window->mapper()->currentIndex() >= 0)
        scripted().answers.enqueue(yes ? QMessageBox::Yes : QMessageBox::No);
    click(*window, QStringLiteral("Delete this Note"));
    return yes ? QStringLiteral("delete page") : QStringLiteral("delete page, answered No");
}

QString TestWdgNotesStress::clearPages()
{
    if (window->model()->rowCount() == 0) {
        click(*window, QStringLiteral("Clear all Notes"));
        return QStringLiteral("clear without pages");
    }
    switch (pick(3)) {
    case 0:
        scripted().answers.enqueue(QMessageBox::No);
        click(*window, QStringLiteral("Clear all Notes"));
        return QStringLiteral("clear, not saved");
    case 1:
        scripted().answers.enqueue(QMessageBox::Cancel);
        click(*window, QStringLiteral("Clear all Notes"));
        return QStringLiteral("clear, cancelled");
    default:
        scripted().answers.enqueue(QMessageBox::Yes);
        scripted().fileNames.enqueue(notesPath);
        click(*window, QStringLiteral("Clear all Notes"));
        return QStringLiteral("clear, saved first");
    }
}

QString TestWdgNotesStress::navigate()
{
    static const char *const buttons[] = {"Previous", "Next", "First Note", "Last Note"};
    const char *name = buttons[pick(4)];
    QAbstractButton *b = button(*window, QLatin1String(name));
    if (b && b->isEnabled())
        QTest::mouseClick(b, Qt::LeftButton);
    return QStringLiteral("navigate: %1").arg(QLatin1String(name));
}

QString TestWdgNotesStress::changeStyle()
{
    switch (pick(6)) {
    case 0:
    case 1: {
        // A colour, width or line style from its toolbar menu.
        static const char *const menus[] = {"figureColorAction", "textColorAction", "lineWidthAction",
                                            "lineStyleAction"};
        const char *name = menus[pick(4)];
        QAction *a = action(*window, name);
        const QList<QAction *> entries = a && a->menu() ? a->menu()->actions() : QList<QAction *>();
        if (!entries.isEmpty())
            entries.at(pick(int(entries.size())))->trigger();
        return QStringLiteral("style from %1").arg(QLatin1String(name));
    }
    case 2: {
        static const char *const toggles[] = {"boldAction", "italicAction", "underlineAction"};
        clickAction(*window, toggles[pick(3)]);
        return QStringLiteral("bold/italic/underline");
    }
    case 3: {
        auto *sizes = window->findChild<QComboBox *>(QStringLiteral("fontSizeCombo"));
        if (sizes && sizes->count() > 0)
            sizes->setCurrentIndex(pick(sizes->count()));
        return QStringLiteral("font size");
    }
    case 4: {
        auto *fonts = window->findChild<QFontComboBox *>(QStringLiteral("fontCombo"));
        if (fonts && fonts->count() > 0)
            fonts->setCurrentIndex(pick(qMin(fonts->count(), 8)));
        return QStringLiteral("font");
    }
    default:
        key(Qt::Key_L); // the tool lock
        return QStringLiteral("tool lock");
    }
}

QString TestWdgNotesStress::copyPaste()
{
    if (!view()->scene())
        return newPage();
    chooseTool("selectMoveAction");
    switch (pick(3)) {
    case 0:
        rightPressMenu(somewhere(), QStringLiteral("Copy all to Clip Board"));
        return QStringLiteral("copy all");
    case 1:
        rightPressMenu(somewhere(), QStringLiteral("Copy Frame to Clip Board"));
        drag(view(), somewhere(), somewhere());
        return QStringLiteral("copy frame");
    default:
        if (chance(30))
            QGuiApplication::clipboard()->setImage(testPicture(Qt::darkYellow, QSize(300 + pick(600), 200 + pick(400))));
        rightPressMenu(somewhere(), QStringLiteral("Copy Pixmap from Clip Board"));
        return QStringLiteral("paste picture");
    }
}

QString TestWdgNotesStress::save()
{
    if (chance(50)) {
        if (!window->saveNotes(notesPath))
            return QStringLiteral("save FAILED");
        ++saves;
        return QStringLiteral("save");
    }
    scripted().fileNames.enqueue(notesPath);
    click(*window, QStringLiteral("Save Notes as..."));
    ++saves;
    return QStringLiteral("save as");
}

QString TestWdgNotesStress::load()
{
    if (!QFile::exists(notesPath))
        return save();
    QString how = QStringLiteral("load");
    const int rows = window->model()->rowCount();
    if (rows > 0) {
        // No keeps the pages and appends the file's; Yes saves them first and clears.
        if (rows <= 4 && chance(30)) {
            scripted().answers.enqueue(QMessageBox::No);
            how = QStringLiteral("load, appended");
        } else {
            scripted().answers.enqueue(QMessageBox::Yes);
            scripted().fileNames.enqueue(notesPath);
            ++saves;
            how = QStringLiteral("load, saved first");
        }
    }
    scripted().fileNames.enqueue(notesPath);
    click(*window, QStringLiteral("Load existing Notes"));
    return how;
}

QString TestWdgNotesStress::exportFiles()
{
    switch (pick(4)) {
    case 0:
    case 1:
        scripted().fileNames.enqueue(dir.filePath(chance(50) ? QStringLiteral("review.urf")
                                                             : QStringLiteral("review.rst")));
        click(*window, QStringLiteral("Save URF-Data"));
        return QStringLiteral("export result file");
    case 2: {
        const QString images = dir.filePath(QStringLiteral("images"));
        QDir().mkpath(images);
        scripted().fileNames.enqueue(images);
        click(*window, QStringLiteral("Save Images"));
        return QStringLiteral("save images");
    }
    default:
        scripted().fileNames.enqueue(dir.filePath(QStringLiteral("notes.pdf")));
        scripted().pageSetupAnswers.enqueue(true);
        scripted().answers.enqueue(chance(50) ? QMessageBox::Yes : QMessageBox::No);
        clickAction(*window, "exportPdfAction");
        return QStringLiteral("export PDF");
    }
}

QString TestWdgNotesStress::editFields()
{
    auto *title = window->findChild<QLineEdit *>(QStringLiteral("titleEdit"));
    title->setFocus();
    QTest::keyClicks(title, word());
    view()->setFocus(); // leaving the editor hands the text to the page
    return QStringLiteral("edit title");
}

QString TestWdgNotesStress::operation()
{
    // Weights: drawing and undo most, files least (they are the slowest).
    const int r = pick(100);
    if (window->model()->rowCount() == 0 && r < 60)
        return newPage();
    if (r < 22)
        return drawShape();
    if (r < 30)
        return interruptedGesture();
    if (r < 37)
        return typeText();
    if (r < 40)
        return rotateText();
    if (r < 48)
        return select();
    if (r < 53)
        return removeSelection();
    if (r < 65)
        return undoRedo();
    if (r < 71)
        return window->model()->rowCount() < 8 ? newPage() : deletePage(); // a handful of pages, as reviews have
    if (r < 74)
        return deletePage();
    if (r < 75)
        return clearPages();
    if (r < 82)
        return navigate();
    if (r < 88)
        return changeStyle();
    if (r < 92)
        return copyPaste();
    if (r < 95)
        return save();
    if (r < 97)
        return load();
    if (r < 98)
        return exportFiles();
    return editFields();
}

QString TestWdgNotesStress::brokenInvariant()
{
    const QStandardItemModel *model = window->model();
    const int rows = model->rowCount();
    const int current = window->mapper()->currentIndex();
    QGraphicsScene *shown = view()->scene();
    if (window->mapper()->model() != model)
        return QStringLiteral("the mapper works on another model");
    if (!scripted().unexpected.isEmpty())
        return QStringLiteral("unscripted dialog: ") + scripted().unexpected.join(QStringLiteral(", "));
    QList<QGraphicsScene *> scenes;
    for (int row = 0; row < rows; ++row) {
        const QStandardItem *item = model->item(row, Page::SceneColumn);
        auto *scene = item ? qvariant_cast<QGraphicsScene *>(item->data(Page::SceneRole)) : nullptr;
        if (!scene)
            return QStringLiteral("page %1 has no scene").arg(row);
        if (scenes.contains(scene))
            return QStringLiteral("page %1 shares its scene").arg(row);
        scenes << scene;
        for (QGraphicsItem *graphic : scene->items()) {
            if (graphic->scene() != scene)
                return QStringLiteral("an item of page %1 names another scene").arg(row);
        }
    }
    if (rows == 0) {
        if (shown)
            return QStringLiteral("a scene is shown without pages");
        if (current != -1)
            return QStringLiteral("the current page is %1 without pages").arg(current);
        return {};
    }
    if (current < 0 || current >= rows)
        return QStringLiteral("the current page %1 is not one of %2").arg(current).arg(rows);
    if (shown && !scenes.contains(shown))
        return QStringLiteral("the shown scene belongs to no page");
    if (shown != scenes.at(current))
        return QStringLiteral("the shown scene is not the current page's");
    return {};
}

void TestWdgNotesStress::randomOperations()
{
    const quint32 seed = envNumber("QUILL_STRESS_SEED", DefaultSeed);
    const int count = int(envNumber("QUILL_STRESS_OPS", DefaultOperations));
    const bool trace = qEnvironmentVariableIsSet("QUILL_STRESS_TRACE");
    // Printed first, so that also a sanitizer's abort leaves the seed in the log.
    std::fprintf(stderr, "stress: QUILL_STRESS_SEED=%u QUILL_STRESS_OPS=%d\n", seed, count);
    random.seed(seed);

    dialogs = std::make_unique<ScriptedDialogs::Guard>();
    window = showEditWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    // No recovery copy may appear halfway and turn a load into a question.
    window->notesKeeper()->setAutosaveInterval(INT_MAX);

    QElapsedTimer timer;
    timer.start();
    for (int op = 0; op < count; ++op) {
        const QString name = operation();
        // Answers a step did not need (a polyline too short to ask) are not carried over.
        scripted().answers.clear();
        scripted().fileNames.clear();
        scripted().menuChoices.clear();
        scripted().pageSetupAnswers.clear();
        if (trace)
            std::fprintf(stderr, "stress: %d %s (%d pages)\n", op, qPrintable(name), window->model()->rowCount());
        const QString broken = brokenInvariant();
        if (!broken.isEmpty()) {
            QFAIL(qPrintable(QStringLiteral("seed %1, operation %2 (%3): %4").arg(seed).arg(op).arg(name, broken)));
        }
    }

    // What the window holds is what a save and a reload give.
    const QString finalPath = dir.filePath(QStringLiteral("final.nts"));
    QVERIFY2(window->saveNotes(finalPath), qPrintable(QStringLiteral("seed %1: final save failed").arg(seed)));
    ReadPages reloaded;
    const NotesFile::ReadResult read =
        NotesFile::loadNotesFile(finalPath, reloaded, [] { return new NotesScene; });
    QVERIFY2(read.opened && !read.damaged, qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(read.message)));
    const QString held = PagesDescription::pages(*window->model());
    const QString back = PagesDescription::pages(reloaded);
    if (held != back) {
        std::fprintf(stderr, "--- window\n%s\n--- reloaded\n%s\n", qPrintable(held), qPrintable(back));
        QFAIL(qPrintable(QStringLiteral("seed %1: the reload differs from the window's pages").arg(seed)));
    }
    std::fprintf(stderr, "stress: %d operations, %d pages at the end, %d saves, %lld ms\n", count,
                 window->model()->rowCount(), saves, qint64(timer.elapsed()));
    QVERIFY(scripted().unexpected.isEmpty());

    window->clearAllNotes();
    window.reset();
    dialogs.reset();
}

QTEST_MAIN(TestWdgNotesStress)
#include "tst_wdgnotesstress.moc"
