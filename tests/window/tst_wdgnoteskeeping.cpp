// Notes that must not be lost: damaged files, failed saves, two editors on one file, files changed
// on disk, recovery copies after a crash.

#include "windowtesthelpers.h"

#include "io/notesguard.h"
#include "io/pagemodel.h"
#include "window/noteskeeper.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

using namespace WindowTest;

class TestWdgNotesKeeping : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void damagedFileIsNeverOverwritten_data();
    void damagedFileIsNeverOverwritten();
    void failedSaveKeepsTarget_data();
    void failedSaveKeepsTarget();
    void pagesWithNowhereToGoAreRecovered_data();
    void pagesWithNowhereToGoAreRecovered();
    void secondEditorSeesTheLock_data();
    void secondEditorSeesTheLock();
    void saveAsOntoHeldFileIsRefused();
    void changedOnDisk_data();
    void changedOnDisk();
    void autosaveWritesAndSaveRemoves();
    void crashLeavesRecoveryCopy_data();
    void crashLeavesRecoveryCopy();

private:
    QString path(const QString &name) const { return tempDir->filePath(name); }
    ScriptedDialogs &scripted() { return **dialogs; }
    // An edit-mode window with `pages` pages, each with an opaque picture.
    std::unique_ptr<WdgNotes> editorWithPages(int pages, const QString &file = QString());
    // Writes a notes file of `pages` pages.
    void writeFile(const QString &file, int pages);
    static int pagesIn(const QString &file);
    static QByteArray bytesOf(const QString &file);
    // Runs `work` in a child process that ends without any of its destructors: a crash.
    static void inCrashingChild(const std::function<void()> &work);

    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
    std::unique_ptr<QTemporaryDir> tempDir;
};

void TestWdgNotesKeeping::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Lorvane"));
    // A name of its own: test executables run side by side, and this one clears its settings and
    // recovery folder before every case.
    QCoreApplication::setApplicationName(QStringLiteral("Quillmark-keeping-test"));
}

void TestWdgNotesKeeping::init()
{
    QDir(NotesGuard::recoveryFolder()).removeRecursively();
    QSettings().clear();
    dialogs = std::make_unique<ScriptedDialogs::Guard>();
    tempDir = std::make_unique<QTemporaryDir>();
    QVERIFY(tempDir->isValid());
    QGuiApplication::clipboard()->setImage(testPicture(Qt::darkGreen));
}

void TestWdgNotesKeeping::cleanup()
{
    QVERIFY2(scripted().unexpected.isEmpty(), qPrintable(scripted().unexpected.join(", ")));
    dialogs.reset();
    tempDir.reset();
}

std::unique_ptr<WdgNotes> TestWdgNotesKeeping::editorWithPages(int pages, const QString &file)
{
    auto window = std::make_unique<WdgNotes>(file, 0);
    for (int i = 0; i < pages; ++i)
        addPage(*window, scripted());
    return window;
}

void TestWdgNotesKeeping::writeFile(const QString &file, int pages)
{
    auto window = editorWithPages(pages);
    QVERIFY(window->saveNotes(file));
}

int TestWdgNotesKeeping::pagesIn(const QString &file)
{
    QStandardItemModel model;
    const NotesFile::ReadResult r = NotesFile::loadNotesFile(file, model, &WdgNotes::createPageScene);
    for (int row = 0; row < model.rowCount(); ++row)
        delete qvariant_cast<QGraphicsScene *>(model.item(row, Page::SceneColumn)->data(Page::SceneRole));
    return r.opened && !r.damaged ? r.pagesRead : -1;
}

QByteArray TestWdgNotesKeeping::bytesOf(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestWdgNotesKeeping::inCrashingChild(const std::function<void()> &work)
{
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

void TestWdgNotesKeeping::damagedFileIsNeverOverwritten_data()
{
    QTest::addColumn<bool>("nameTaken");
    QTest::newRow("beside name free") << false;
    QTest::newRow("beside name taken") << true;
}

void TestWdgNotesKeeping::damagedFileIsNeverOverwritten()
{
    QFETCH(bool, nameTaken);
    const QString file = path("review.nts");
    writeFile(file, 3);
    QByteArray damaged = bytesOf(file);
    damaged.chop(damaged.size() / 4);
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(damaged);
    out.close();
    const QString taken = path("review.recovered.nts");
    if (nameTaken) {
        QFile other(taken);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("someone's file");
    }
    const QString expected = nameTaken ? path("review.recovered-2.nts") : taken;

    scripted().answers.enqueue(QMessageBox::Ok);
    int pagesRead = 0;
    {
        WdgNotes window(file, 0);
        pagesRead = window.model()->rowCount();
        QVERIFY(pagesRead >= 1 && pagesRead < 3);
        QVERIFY2(scripted().asked.last().text.contains(QDir::toNativeSeparators(expected)),
                 qPrintable(scripted().asked.last().text));
    }
    QCOMPARE(bytesOf(file), damaged);
    QCOMPARE(pagesIn(expected), pagesRead);
    if (nameTaken)
        QCOMPARE(bytesOf(taken), QByteArray("someone's file"));
}

void TestWdgNotesKeeping::failedSaveKeepsTarget_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("save as") << "Save Notes as...";
    QTest::newRow("clear all, yes") << "Clear all Notes";
}

void TestWdgNotesKeeping::failedSaveKeepsTarget()
{
    QFETCH(QString, button);
    const QString file = path("kept.nts");
    const QString bad = path("no-such-dir/elsewhere.nts");
    {
        auto window = editorWithPages(2, file);
        if (button == QLatin1String("Clear all Notes"))
            scripted().answers.enqueue(QMessageBox::Yes);
        scripted().fileNames.enqueue(bad);
        scripted().answers.enqueue(QMessageBox::Ok); // the failure is reported
        click(*window, button);
        QCOMPARE(scripted().asked.last().title, QString("WARNING"));
        QCOMPARE(window->currentNotesFileName(), file);
        QCOMPARE(window->model()->rowCount(), 2);
    }
    // The close-save went where the pages belong.
    QCOMPARE(pagesIn(file), 2);
}

void TestWdgNotesKeeping::pagesWithNowhereToGoAreRecovered_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::newRow("no file name") << false;
    QTest::newRow("close-save fails") << true;
}

void TestWdgNotesKeeping::pagesWithNowhereToGoAreRecovered()
{
    QFETCH(bool, withFile);
    QVERIFY(QDir(tempDir->path()).mkpath("gone"));
    const QString file = withFile ? path("gone/notes.nts") : QString();
    QString recovery;
    {
        auto window = editorWithPages(2, file);
        recovery = window->notesKeeper()->recoveryFile();
        // The folder vanishes under the window (a network drive going away).
        QVERIFY(QDir(path("gone")).removeRecursively());
    }
    QVERIFY(recovery.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    QCOMPARE(pagesIn(recovery), 2);
}

void TestWdgNotesKeeping::secondEditorSeesTheLock_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("not opened") << int(QMessageBox::No);
    QTest::newRow("view-only") << int(QMessageBox::Yes);
}

void TestWdgNotesKeeping::secondEditorSeesTheLock()
{
    QFETCH(int, answer);
    const QString file = path("shared.nts");
    writeFile(file, 2);
    const QByteArray before = bytesOf(file);

    WdgNotes first(file, 0);
    QCOMPARE(first.model()->rowCount(), 2);
    scripted().answers.enqueue(QMessageBox::StandardButton(answer));
    {
        WdgNotes second(file, 0);
        const QString text = scripted().asked.last().text;
        QVERIFY2(text.contains(QStringLiteral("process %1 on").arg(QCoreApplication::applicationPid())),
                 qPrintable(text));
        QCOMPARE(second.isViewOnly(), answer == QMessageBox::Yes);
        QCOMPARE(second.model()->rowCount(), answer == QMessageBox::Yes ? 2 : 0);
        QVERIFY(second.currentNotesFileName().isEmpty() == (answer == QMessageBox::No));
    }
    // The second window wrote nothing and left the first one's lock alone.
    QCOMPARE(bytesOf(file), before);
    QVERIFY(QFile::exists(NotesGuard::NotesLock::lockFileFor(file)));
}

void TestWdgNotesKeeping::saveAsOntoHeldFileIsRefused()
{
    const QString held = path("held.nts");
    const QString mine = path("mine.nts");
    writeFile(held, 1);
    const QByteArray before = bytesOf(held);
    WdgNotes holder(held, 0);
    {
        auto window = editorWithPages(3, mine);
        scripted().fileNames.enqueue(held);
        scripted().answers.enqueue(QMessageBox::Ok);
        click(*window, "Save Notes as...");
        QVERIFY(scripted().asked.last().text.contains(QStringLiteral("being edited")));
        QCOMPARE(window->currentNotesFileName(), mine);
    }
    QCOMPARE(bytesOf(held), before);
    QCOMPARE(pagesIn(mine), 3);
}

void TestWdgNotesKeeping::changedOnDisk_data()
{
    QTest::addColumn<int>("answer"); // NoButton: the window is closed instead of saving
    QTest::addColumn<int>("filePages");
    QTest::addColumn<int>("otherPages");
    QTest::newRow("overwrite") << int(QMessageBox::Yes) << 2 << -1;
    QTest::newRow("another name") << int(QMessageBox::Save) << 1 << 2;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << 1 << -1;
    QTest::newRow("quiet save on close") << int(QMessageBox::NoButton) << 1 << 2;
}

void TestWdgNotesKeeping::changedOnDisk()
{
    QFETCH(int, answer);
    QFETCH(int, filePages);
    QFETCH(int, otherPages);
    const QString file = path("review.nts");
    const QString other = answer == QMessageBox::NoButton ? path("review.recovered.nts") : path("other.nts");
    writeFile(file, 2);
    {
        WdgNotes window(file, 0);
        // Another reviewer saves a one-page version of the file meanwhile.
        QTest::qWait(20);
        inCrashingChild([&] {
            WdgNotes intruder(QString(), 0);
            addPage(intruder, scripted());
            NotesFile::saveNotesFile(file, *intruder.model());
            intruder.clearAllNotes();
        });
        if (answer != QMessageBox::NoButton) {
            scripted().fileNames.enqueue(file);
            scripted().answers.enqueue(QMessageBox::StandardButton(answer));
            if (answer == QMessageBox::Save)
                scripted().fileNames.enqueue(other);
            const int before = scripted().asked.size();
            click(window, "Save Notes as...");
            QVERIFY(scripted().asked.at(before + 1).text.contains(QStringLiteral("changed on disk")));
            QCOMPARE(window.currentNotesFileName(), answer == QMessageBox::Save ? other : file);
            // Whatever was answered, closing later must not undo the choice.
            window.clearAllNotes();
        }
    }
    QCOMPARE(pagesIn(file), filePages);
    QCOMPARE(pagesIn(other), otherPages);
}

void TestWdgNotesKeeping::autosaveWritesAndSaveRemoves()
{
    const QString file = path("busy.nts");
    auto window = editorWithPages(1, file);
    QVERIFY(window->saveNotes(QString()));
    const QString copy = window->notesKeeper()->recoveryFile();
    window->notesKeeper()->setAutosaveInterval(20);
    QTest::qWait(100);
    QVERIFY2(!QFile::exists(copy), "nothing unsaved, nothing copied");

    addPage(*window, scripted());
    QTRY_VERIFY(QFile::exists(copy));
    QTRY_COMPARE(pagesIn(copy), 2);
    QCOMPARE(pagesIn(file), 1);

    QVERIFY(window->saveNotes(QString()));
    QVERIFY(!QFile::exists(copy));
}

void TestWdgNotesKeeping::crashLeavesRecoveryCopy_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("pagesShown");
    QTest::addColumn<bool>("copyKeptBeside");
    QTest::newRow("restore") << int(QMessageBox::Yes) << 3 << false;
    QTest::newRow("keep both") << int(QMessageBox::No) << 1 << true;
    QTest::newRow("discard") << int(QMessageBox::Discard) << 1 << false;
}

void TestWdgNotesKeeping::crashLeavesRecoveryCopy()
{
    QFETCH(int, answer);
    QFETCH(int, pagesShown);
    QFETCH(bool, copyKeptBeside);
    const QString file = path("crash.nts");
    writeFile(file, 1);
    const QString copy = NotesGuard::recoveryFileFor(file);

    // An editor draws two more pages, its autosave runs, then the process dies holding the lock.
    inCrashingChild([&] {
        auto *window = new WdgNotes(file, 0);
        addPage(*window, scripted());
        addPage(*window, scripted());
        window->notesKeeper()->writeRecoveryCopy(true);
    });
    QCOMPARE(pagesIn(copy), 3);
    QVERIFY(QFile::exists(NotesGuard::NotesLock::lockFileFor(file)));

    // The dead editor's lock is taken over without a word; the copy is offered.
    scripted().answers.enqueue(QMessageBox::StandardButton(answer));
    const int before = scripted().asked.size();
    {
        WdgNotes window(file, 0);
        QCOMPARE(scripted().asked.size(), before + 1);
        QCOMPARE(window.model()->rowCount(), pagesShown);
        QCOMPARE(QFile::exists(copy), answer == QMessageBox::Yes);
        QCOMPARE(pagesIn(path("crash.recovered.nts")), copyKeptBeside ? 3 : -1);
        QLockFile probe(NotesGuard::NotesLock::lockFileFor(file));
        QVERIFY(!probe.tryLock(0));
    }
    // Restored pages are saved on close and the copy goes with that save.
    QCOMPARE(pagesIn(file), pagesShown);
    QVERIFY(!QFile::exists(copy));
}

QTEST_MAIN(TestWdgNotesKeeping)
#include "tst_wdgnoteskeeping.moc"
