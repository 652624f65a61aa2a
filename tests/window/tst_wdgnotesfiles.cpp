// Exports of the notes window: the review result file, the PDF document and the image set.

#include "windowtesthelpers.h"

#include "io/pagemodel.h"
#include "scene/notesrectangleitem.h"

#include <QDataWidgetMapper>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTemporaryDir>

using namespace WindowTest;

class TestWdgNotesFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void urfExport_data();
    void urfExport();
    void urfExportCancelled();
    void pdfExport_data();
    void pdfExport();
    void pdfCurrentPageWithoutScene();
    void pdfPageSetupCancelled();
    void pdfUnwritable();
    void imageSet();
    void imageSetCancelled();
    void imageSetUnwritable_data();
    void imageSetUnwritable();
    void exportsCancelledWriteNothing_data();
    void exportsCancelledWriteNothing();
    void urfExportCancelledWritesNothing();

private:
    // Three pages; the second is untitled, only the second has a host view.
    void makeThreePages();
    QString path(const QString &name) const { return tempDir->filePath(name); }
    static QByteArray readAll(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static int pdfPageCount(const QByteArray &pdf)
    {
        return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
    }

    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<WdgNotes> window;
};

void TestWdgNotesFiles::init()
{
    dialogs = std::make_unique<ScriptedDialogs::Guard>();
    tempDir = std::make_unique<QTemporaryDir>();
    window = showEditWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestWdgNotesFiles::cleanup()
{
    QVERIFY2((*dialogs)->unexpected.isEmpty(), qPrintable((*dialogs)->unexpected.join(", ")));
    window.reset();
    dialogs.reset();
    tempDir.reset();
}

void TestWdgNotesFiles::makeThreePages()
{
    QGuiApplication::clipboard()->setImage(testPicture(Qt::darkBlue, QSize(300, 200)));
    for (int i = 0; i < 3; ++i)
        addPage(*window, **dialogs);
    QStandardItemModel *model = window->model();
    model->item(0, Page::TitleColumn)->setText(QStringLiteral("Via check"));
    model->item(1, Page::TitleColumn)->setText(QString());
    model->item(2, Page::TitleColumn)->setText(QStringLiteral("Résumé Ω 😀!"));
    model->item(0, Page::CommentColumn)->setText(QStringLiteral("<p>short</p>"));
    QStandardItem *second = model->item(1, Page::SceneColumn);
    second->setData(QRectF(10, 20, 100, 50), Page::ViewRectRole);
    // Only the second page refers to a host view.
    model->item(0, Page::SceneColumn)->setData(QVariant(), Page::ViewRectRole);
    model->item(2, Page::SceneColumn)->setData(QVariant(), Page::ViewRectRole);
    window->mapper()->toFirst();
}

void TestWdgNotesFiles::urfExport_data()
{
    QTest::addColumn<QString>("notesFile");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("urf") << "board.nts"
                         << "board_notes.urf"
                         << "out.urf"
                         << "version,5.000";
    QTest::newRow("rst") << "a.nts.nts"
                         << "a_notes.urf_notes.urf"
                         << "out.rst"
                         << "version,4.000";
    QTest::newRow("upper-case RST is URF") << "board.nts"
                                           << "board_notes.urf"
                                           << "out.RST"
                                           << "version,5.000";
}

void TestWdgNotesFiles::urfExport()
{
    QFETCH(QString, notesFile);
    QFETCH(QString, proposed);
    QFETCH(QString, chosen);
    QFETCH(QString, firstLine);

    window = std::make_unique<WdgNotes>(path(notesFile), 0);
    makeThreePages();
    (*dialogs)->fileNames.enqueue(path(chosen));
    click(*window, "Save URF-Data");

    const ScriptedDialogs::Asked save = (*dialogs)->asked.last();
    QCOMPARE(save.kind, QString("save"));
    QCOMPARE(save.title, QString("Save URF-File"));
    QCOMPARE(save.text, path(proposed));
    QCOMPARE(save.filter, QString("BD-URF (*.urf);; DF-RST (*.rst)"));

    const QString text = QString::fromLatin1(readAll(path(chosen)));
    QVERIFY2(text.startsWith(firstLine), qPrintable(text.left(40)));
    // One result: the only page with a view, untitled, exported as "Note 2".
    QCOMPARE(text.count(QStringLiteral("result,E,")), 1);
    QVERIFY(text.contains(QStringLiteral("result,E,\"Note 2\"")));
    QVERIFY(text.contains(QStringLiteral("param,\"Note 2\",\"60.000\",\"45.000\"")));
    QCOMPARE(window->model()->item(1, Page::TitleColumn)->text(), QString("Note 2"));
    window.reset(); // would save board.nts on destruction; harmless in the temporary directory
}

void TestWdgNotesFiles::urfExportCancelled()
{
    makeThreePages();
    (*dialogs)->fileNames.enqueue(QString());
    click(*window, "Save URF-Data");
    QCOMPARE((*dialogs)->asked.last().text, QString());
    QVERIFY(QDir(tempDir->path()).entryList(QDir::Files).isEmpty());
    QCOMPARE(window->model()->item(1, Page::TitleColumn)->text(), QString());
}

void TestWdgNotesFiles::pdfExport_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("pages");
    QTest::newRow("all pages") << int(QMessageBox::Yes) << 3;
    QTest::newRow("current page") << int(QMessageBox::No) << 1;
}

void TestWdgNotesFiles::pdfExport()
{
    QFETCH(int, answer);
    QFETCH(int, pages);
    makeThreePages();
    QGraphicsScene *shown = window->view()->scene();
    const QString file = path("notes.pdf");
    (*dialogs)->fileNames.enqueue(file);
    (*dialogs)->pageSetupAnswers.enqueue(true);
    (*dialogs)->answers.enqueue(static_cast<QMessageBox::StandardButton>(answer));

    clickAction(*window, "exportPdfAction");

    const QList<ScriptedDialogs::Asked> &asked = (*dialogs)->asked;
    QCOMPARE(asked.at(asked.size() - 3).title, QString("Export to PDF"));
    QCOMPARE(asked.at(asked.size() - 3).filter, QString("PDF (*.pdf)"));
    QCOMPARE(asked.at(asked.size() - 2).kind, QString("pageSetup"));
    QCOMPARE(asked.last().title, QString("QUESTION"));
    QCOMPARE(asked.last().text, QString("All Note Pages?"));

    const QByteArray pdf = readAll(file);
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(pdfPageCount(pdf), pages);
    // The current page is shown again afterwards.
    QCOMPARE(window->view()->scene(), shown);
    QCOMPARE(window->mapper()->currentIndex(), 0);
}

void TestWdgNotesFiles::pdfCurrentPageWithoutScene()
{
    const QString file = path("none.pdf");
    (*dialogs)->fileNames.enqueue(file);
    (*dialogs)->pageSetupAnswers.enqueue(true);
    (*dialogs)->answers.enqueue(QMessageBox::No);
    window->onExportToPdf();
    QVERIFY(!QFile::exists(file));
}

void TestWdgNotesFiles::pdfPageSetupCancelled()
{
    makeThreePages();
    const QString file = path("cancelled.pdf");
    (*dialogs)->fileNames.enqueue(file);
    (*dialogs)->pageSetupAnswers.enqueue(false);
    const int asked = (*dialogs)->asked.size();
    window->onExportToPdf();
    QCOMPARE((*dialogs)->asked.size(), asked + 2);
    QVERIFY(!QFile::exists(file));
}

void TestWdgNotesFiles::pdfUnwritable()
{
    makeThreePages();
    const QString file = path("missing/notes.pdf");
    (*dialogs)->fileNames.enqueue(file);
    (*dialogs)->pageSetupAnswers.enqueue(true);
    (*dialogs)->answers.enqueue(QMessageBox::Yes);
    (*dialogs)->answers.enqueue(QMessageBox::Ok);
    window->onExportToPdf();
    QCOMPARE((*dialogs)->asked.last().title, QString("WARNING"));
    QCOMPARE((*dialogs)->asked.last().text, QString("Failed to open file\n%1\nIs it writable?").arg(file));
}

void TestWdgNotesFiles::imageSet()
{
    makeThreePages();
    window->mapper()->setCurrentIndex(2);
    const QString dir = tempDir->path();
    (*dialogs)->fileNames.enqueue(dir);
    click(*window, "Save Images");
    QCOMPARE((*dialogs)->asked.last().kind, QString("directory"));
    QCOMPARE((*dialogs)->asked.last().title, QString("Open Directory to save images."));

    QStringList files = QDir(dir).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files, QStringList({"comment_1.html", "date_1.txt", "date_2.txt", "date_3.txt", "image_1.png",
                                 "image_2.png", "image_3.png", "title_1.txt", "title_3.txt"}));
    QCOMPARE(readAll(path("title_1.txt")), QByteArray("Via check"));
    QCOMPARE(readAll(path("title_3.txt")), QByteArray("R\xe9sum\xe9 ? ?!"));
    QCOMPARE(readAll(path("comment_1.html")), QByteArray("<p>short</p>"));
    QCOMPARE((*dialogs)->progressSteps, QList<int>({1, 2, 3}));
    QCOMPARE(readAll(path("date_2.txt")), window->model()->item(1, Page::DateColumn)->text().toLatin1());

    QImage image(path("image_2.png"));
    QCOMPARE(image.size(), window->view()->size());
    // The export ends on the first page.
    QCOMPARE(window->mapper()->currentIndex(), 0);
    QCOMPARE(
        window->view()->scene(),
        qvariant_cast<QGraphicsScene *>(window->model()->item(0, Page::SceneColumn)->data(Page::SceneRole)));
}

void TestWdgNotesFiles::imageSetCancelled()
{
    makeThreePages();
    window->mapper()->setCurrentIndex(1);
    (*dialogs)->fileNames.enqueue(QString());
    click(*window, "Save Images");
    QVERIFY(QDir(tempDir->path()).entryList(QDir::Files).isEmpty());
    QCOMPARE(window->mapper()->currentIndex(), 0);
}

void TestWdgNotesFiles::imageSetUnwritable_data()
{
    QTest::addColumn<QString>("subfolder");
    QTest::addColumn<QStringList>("blocked"); // names taken by folders: not even root can write there
    QTest::addColumn<int>("failed");
    // Three pages: three images, three dates, two titles, one comment.
    QTest::newRow("folder gone") << QStringLiteral("gone") << QStringList() << 9;
    QTest::newRow("two names taken") << QString() << QStringList{"image_3.png", "date_1.txt"} << 2;
}

void TestWdgNotesFiles::imageSetUnwritable()
{
    QFETCH(QString, subfolder);
    QFETCH(QStringList, blocked);
    QFETCH(int, failed);
    makeThreePages();
    for (const QString &name : blocked)
        QVERIFY(QDir(tempDir->path()).mkdir(name));
    const QString dir = subfolder.isEmpty() ? tempDir->path() : path(subfolder);
    (*dialogs)->fileNames.enqueue(dir);
    (*dialogs)->answers.enqueue(QMessageBox::Ok);
    const int askedBefore = (*dialogs)->asked.size();
    click(*window, "Save Images");
    // One warning after the export, naming the count.
    const ScriptedDialogs::Asked warning = (*dialogs)->asked.last();
    QCOMPARE(warning.title, QString("WARNING"));
    QCOMPARE(warning.text, QString("%1 file(s) could not be written to\n%2").arg(failed).arg(dir));
    QCOMPARE((*dialogs)->asked.size(), askedBefore + 2); // the folder, then the one warning
    QCOMPARE(QDir(tempDir->path()).entryList(QDir::Files).size(), subfolder.isEmpty() ? 9 - failed : 0);
}

void TestWdgNotesFiles::exportsCancelledWriteNothing_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::newRow("PDF") << true;
    QTest::newRow("image set") << false;
}

// Cancelled while the pages are gathered: no file is written.
void TestWdgNotesFiles::urfExportCancelledWritesNothing()
{
    makeThreePages();
    (*dialogs)->cancelProgressAfter = 2;
    (*dialogs)->fileNames.enqueue(path("out.urf"));
    click(*window, "Save URF-Data");
    QCOMPARE((*dialogs)->progressAsked.size(), 1);
    QCOMPARE((*dialogs)->progressAsked.first().total, 4);
    QCOMPARE((*dialogs)->progressSteps, QList<int>({0, 1, 2}));
    QVERIFY(QDir(tempDir->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QCOMPARE((*dialogs)->asked.last().kind, QString("save"));
}

void TestWdgNotesFiles::exportsCancelledWriteNothing()
{
    QFETCH(bool, pdf);
    makeThreePages();
    // The user presses Cancel once the second page is done.
    (*dialogs)->cancelProgressAfter = 2;
    if (pdf) {
        (*dialogs)->fileNames.enqueue(path("notes.pdf"));
        (*dialogs)->pageSetupAnswers.enqueue(true);
        (*dialogs)->answers.enqueue(QMessageBox::Yes);
        clickAction(*window, "exportPdfAction");
    } else {
        (*dialogs)->fileNames.enqueue(tempDir->path());
        click(*window, "Save Images");
    }
    QCOMPARE((*dialogs)->progressAsked.size(), 1);
    QCOMPARE((*dialogs)->progressAsked.first().total, 3);
    QVERIFY((*dialogs)->progressAsked.first().cancellable);
    QCOMPARE((*dialogs)->progressSteps, QList<int>({1, 2}));
    QCOMPARE(QDir(tempDir->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    // No warning for a cancel.
    QVERIFY((*dialogs)->asked.last().title != QString("WARNING"));
}

QTEST_MAIN(TestWdgNotesFiles)
#include "tst_wdgnotesfiles.moc"
