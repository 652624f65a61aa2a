// Notes files, result-file export, PDF export and the image set.

#include "window/wdgnotes.h"

#include "io/notesfile.h"
#include "io/notesguard.h"
#include "io/notesrender.h"
#include "io/pagemodel.h"
#include "scene/dialogs.h"
#include "urf/notesexport.h"
#include "window/appversion.h"
#include "window/noteskeeper.h"

#include <QDataWidgetMapper>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QSettings>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTextEdit>
#include <QUndoStack>

#include <algorithm>
#include <memory>

namespace {

const QString NotesPathKey = QStringLiteral("notespath");

} // namespace

void WdgNotes::submitPendingEdits()
{
    // Edits reach the model when their editor loses focus; one still being typed is taken as well.
    if (titleEdit->hasFocus() || commentEdit->hasFocus())
        noteMapper->submit();
}

NotesFile::SaveResult WdgNotes::writeNotes(const QString &path, bool showProgress)
{
    const QString target = path.isEmpty() ? notesFileName : path;
    if (target.isEmpty())
        return {}; // no file chosen yet: nothing to write to
    submitPendingEdits();
    if (keeper && keeper->lock(target) == NotesGuard::NotesLock::State::HeldByOther)
        return {false, tr("It is being edited by %1.").arg(keeper->lockOwner())};
    // A save the user waits for shows how far it is; it is not cancelled half-way (the previous
    // file would stay, but so would the question of what was saved).
    std::unique_ptr<Progress> progress;
    if (showProgress) {
        progress = Dialogs::current().progress(
            {this, tr("Save Notes"), tr("Saving the notes..."), noteModel->rowCount(), false});
    }
    NotesFile::WriteProgress written;
    if (progress)
        written = [&progress](int done, int) { progress->advance(done); };
    // The file is replaced only once the new one is complete.
    const NotesFile::SaveResult result =
        NotesFile::saveNotesFile(target, *noteModel, fileVersionMajor, fileVersionMinor, written);
    progress.reset();
    // The target moves only with a complete write: after a failed "Save as" the window keeps
    // saving where its pages are known to be.
    if (result.ok) {
        notesFileName = target;
        if (keeper)
            keeper->saved(target);
    }
    return result;
}

bool WdgNotes::saveNotes(const QString &path)
{
    return writeNotes(path).ok;
}

bool WdgNotes::saveNotesReporting(const QString &path)
{
    const QString target = path.isEmpty() ? notesFileName : path;
    bool otherName = false;
    if (!confirmOverwriteChanged(target, &otherName))
        return otherName && askAndSaveNotes();
    const NotesFile::SaveResult result = writeNotes(target, true);
    if (!result.ok) {
        Dialogs::current().warning(this, tr("WARNING"),
                                   tr("The notes could not be saved to\n%1\n%2")
                                       .arg(QDir::toNativeSeparators(target), result.errorString),
                                   QMessageBox::Ok);
    }
    return result.ok;
}

bool WdgNotes::askAndSaveNotes()
{
    const QString fileName =
        Dialogs::current().saveFileName(this, tr("Save Notes as..."), notesFileName, tr("Notes (*.nts)"));
    if (fileName.isEmpty())
        return false;
    return saveNotesReporting(fileName);
}

void WdgNotes::saveNotesAs()
{
    askAndSaveNotes();
}

void WdgNotes::setTitleFromFile()
{
    const QString baseName = QFileInfo(notesFileName).baseName();
    setWindowTitle(viewOnly ? tr("View Veritrace Notes %1").arg(baseName) : tr("Add Notes %1").arg(baseName));
}

void WdgNotes::loadNotes()
{
    if (notesFileName.isEmpty())
        return;
    if (!lockBeforeLoading()) {
        setTitleFromFile();
        return;
    }
    bool restored = false;
    const QString source = offerRecovery(&restored);

    // Loading replaces what the history refers to.
    undoStack->clear();

    NotesFile::ReadOptions options;
    options.currentIndex = noteMapper->currentIndex();
    options.textItemCreated = [this](NotesTextItem *item) {
        connect(item, &NotesTextItem::rotateText, this, &WdgNotes::rotateText, Qt::UniqueConnection);
    };
    // Reading shows how far it is, in thousandths of the file.
    std::unique_ptr<Progress> progress = Dialogs::current().progress(
        {this, tr("Load existing Notes"), tr("Reading the notes..."), 1000, false});
    options.progress = [&progress](qint64 done, qint64 total) {
        if (total > 0)
            progress->advance(int(done * 1000 / total));
    };
    // The page label follows the model row by row; for a file it is set once, after the read.
    readingPages = true;
    const NotesFile::ReadResult result =
        NotesFile::loadNotesFile(source, *noteModel, &WdgNotes::createPageScene, options);
    readingPages = false;
    progress.reset();
    updatePageLabel();
    if (result.opened)
        noteMapper->toFirst();
    setTitleFromFile();
    if (keeper) {
        keeper->loaded(notesFileName, result.damaged && !restored);
        // Restored pages are still to be saved; the copy stays until they are.
        if (restored)
            keeper->markChanged();
    }

    if (result.damaged) {
        QString text = tr("The notes file\n%1\nis damaged. %n page(s) could be read.", nullptr, result.pagesRead)
                           .arg(QDir::toNativeSeparators(source));
        if (!result.message.isEmpty())
            text += QStringLiteral("\n") + result.message;
        // What the window writes when it closes must not replace what could not be read.
        if (keeper && !restored)
            text += tr("\nYour work will be kept beside it in\n%1")
                        .arg(QDir::toNativeSeparators(NotesGuard::besideName(notesFileName)));
        Dialogs::current().warning(this, tr("WARNING"), text, QMessageBox::Ok);
    }
}

void WdgNotes::loadExistingNotes()
{
    if (noteModel->rowCount() > 0 && !cleanNotes())
        return;

    QString startDir = notesFileName;
    if (startDir.isEmpty())
        startDir = QSettings().value(NotesPathKey).toString();
    if (startDir.isEmpty())
        startDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);

    const QString fileName =
        Dialogs::current().openFileName(this, tr("Open Veritrace Notes file"), startDir, tr("Notes (*nts)"));
    // A cancelled dialog keeps the current file: pages still shown belong to it and are saved there.
    if (fileName.isEmpty())
        return;
    loadNotesFrom(fileName);
}

void WdgNotes::loadNotesFrom(const QString &fileName)
{
    notesFileName = fileName;
    QSettings().setValue(NotesPathKey, QFileInfo(fileName).absolutePath());
    loadNotes();
}

void WdgNotes::onSaveUrf()
{
    const QString fileName = Dialogs::current().saveFileName(this, NotesExport::dialogCaption(),
                                                             NotesExport::defaultFileName(notesFileName),
                                                             NotesExport::dialogFilter());
    if (fileName.isEmpty())
        return;
    submitPendingEdits();
    std::unique_ptr<Progress> progress = Dialogs::current().progress(
        {this, tr("Save URF-Data"), tr("Writing the review result..."), noteModel->rowCount() + 1, true});
    const NotesExport::Outcome outcome = NotesExport::exportNotes(
        noteModel, fileName, {AppVersion::Major, AppVersion::Minor, AppVersion::Patch}, progress.get());
    progress.reset();
    // The user asked for this file; a write that did not happen is worth a word.
    if (outcome == NotesExport::Outcome::Failed) {
        Dialogs::current().warning(
            this, tr("WARNING"),
            tr("The review result could not be written to\n%1").arg(QDir::toNativeSeparators(fileName)),
            QMessageBox::Ok);
    }
}

void WdgNotes::toSaveImages()
{
    const QString dir =
        Dialogs::current().existingDirectory(this, tr("Open Directory to save images."), notesFileName,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!dir.isEmpty()) {
        QGraphicsScene *shown = notesView->scene();
        const QList<NotesRender::PageContent> pages = NotesRender::allPages(*noteModel);
        std::unique_ptr<Progress> progress = Dialogs::current().progress(
            {this, tr("Save Images"), tr("Saving the note pages as images..."), int(pages.size()), true});
        // Each page as the view shows it: its current size, zoom and scroll position.
        const NotesRender::ImageSetResult result = NotesRender::writeImageSet(
            dir, pages,
            [this](int, const NotesRender::PageContent &page) {
                notesView->setScene(page.scene);
                return notesView->grab().toImage();
            },
            progress.get());
        progress.reset();
        // Back to the page that was shown, so that the first page takes over its style.
        notesView->setScene(shown);
        if (result.outcome == NotesRender::Outcome::Failed) {
            Dialogs::current().warning(
                this, tr("WARNING"),
                tr("%n file(s) could not be written to\n%1", nullptr, result.failed).arg(QDir::toNativeSeparators(dir)),
                QMessageBox::Ok);
        }
    }
    noteMapper->toFirst();
}

void WdgNotes::onExportToPdf()
{
    const QString fileName = Dialogs::current().saveFileName(
        this, tr("Export to PDF"), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        tr("PDF (*.pdf)"));
    if (fileName.isEmpty())
        return;

    QPrinter printer(QPrinter::HighResolution);
    if (!Dialogs::current().pageSetup(&printer, this))
        return;
    const bool allPages = Dialogs::current().question(this, tr("QUESTION"), tr("All Note Pages?"),
                                                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::No;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);

    QGraphicsScene *shown = notesView->scene();
    if (!allPages && !shown)
        return;

    QList<NotesRender::PageContent> pages;
    if (allPages)
        pages = NotesRender::allPages(*noteModel);
    else // the fields as they stand, even when not yet stored in the model
        pages.append({titleEdit->text(), dateEdit->text(), QString(), shown});

    NotesRender::PdfOptions options;
    // Through the view, so that its zoom applies: the source is the scene rectangle in viewport
    // coordinates.
    options.sceneRenderer = [this](QPainter &painter, const QRectF &target, QGraphicsScene *scene) {
        notesView->setScene(scene);
        const QRect source = notesView->mapFromScene(scene->sceneRect()).boundingRect();
        notesView->render(&painter, target, source, Qt::KeepAspectRatio);
    };
    std::unique_ptr<Progress> progress = Dialogs::current().progress(
        {this, tr("Export to PDF"), tr("Writing the note pages..."), int(pages.size()), true});
    const NotesRender::PdfResult result =
        NotesRender::writePdf(fileName, printer.pageLayout(), printer.resolution(), pages, options, progress.get());
    progress.reset();
    // The current page is shown again.
    notesView->setScene(shown);
    if (result.outcome == NotesRender::Outcome::Failed) {
        Dialogs::current().warning(this, tr("WARNING"),
                                   tr("Failed to open file\n%1\nIs it writable?").arg(fileName),
                                   QMessageBox::Ok);
    }
}
