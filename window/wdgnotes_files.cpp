// Notes files, result-file export, PDF export and the image set.

#include "window/wdgnotes.h"

#include "io/notesfile.h"
#include "io/notesguard.h"
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

namespace {

const QString NotesPathKey = QStringLiteral("notespath");

QString textAt(const QStandardItemModel *model, int row, int column)
{
    const QStandardItem *item = model->item(row, column);
    return item ? item->text() : QString();
}

// Writes text as Latin-1, one '?' for each character it cannot hold (also for one outside the
// basic plane, which QString keeps as two units); a file that cannot be opened is skipped.
void writeLatin1(const QString &path, const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        bytes.append(c <= 0xFF ? char(c) : '?');
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

} // namespace

void WdgNotes::submitPendingEdits()
{
    // Edits reach the model when their editor loses focus; one still being typed is taken as well.
    if (titleEdit->hasFocus() || commentEdit->hasFocus())
        noteMapper->submit();
}

NotesFile::SaveResult WdgNotes::writeNotes(const QString &path)
{
    const QString target = path.isEmpty() ? notesFileName : path;
    if (target.isEmpty())
        return {}; // no file chosen yet: nothing to write to
    submitPendingEdits();
    if (keeper && keeper->lock(target) == NotesGuard::NotesLock::State::HeldByOther)
        return {false, tr("It is being edited by %1.").arg(keeper->lockOwner())};
    // The file is replaced only once the new one is complete.
    const NotesFile::SaveResult result =
        NotesFile::saveNotesFile(target, *noteModel, fileVersionMajor, fileVersionMinor);
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
    const NotesFile::SaveResult result = writeNotes(target);
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
    // The page label follows the model row by row; for a file it is set once, after the read.
    readingPages = true;
    const NotesFile::ReadResult result =
        NotesFile::loadNotesFile(source, *noteModel, &WdgNotes::createPageScene, options);
    readingPages = false;
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
    // The user asked for this file; a write that did not happen is worth a word.
    if (!NotesExport::exportNotes(noteModel, fileName,
                                  {AppVersion::Major, AppVersion::Minor, AppVersion::Patch})) {
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
        for (int row = 0; row < noteModel->rowCount(); ++row) {
            const QString number = QString::number(row + 1);
            QGraphicsScene *scene = pageScene(row);
            notesView->setScene(scene);
            if (scene) {
                notesView->grab().toImage().save(QStringLiteral("%1/image_%2.png").arg(dir, number), "PNG");
            }
            const QString title = textAt(noteModel, row, Page::TitleColumn);
            const QString date = textAt(noteModel, row, Page::DateColumn);
            const QString comment = textAt(noteModel, row, Page::CommentColumn);
            if (!title.isEmpty())
                writeLatin1(QStringLiteral("%1/title_%2.txt").arg(dir, number), title);
            if (!date.isEmpty())
                writeLatin1(QStringLiteral("%1/date_%2.txt").arg(dir, number), date);
            if (!comment.isEmpty())
                writeLatin1(QStringLiteral("%1/comment_%2.html").arg(dir, number), comment);
        }
        // Back to the page that was shown, so that the first page takes over its style.
        notesView->setScene(shown);
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

    QPainter painter;
    if (!painter.begin(&printer)) {
        Dialogs::current().warning(this, tr("WARNING"),
                                   tr("Failed to open file\n%1\nIs it writable?").arg(fileName),
                                   QMessageBox::Ok);
        return;
    }

    // Printable area in device pixels; the header band is as high as one and a half header lines.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int width = page.width();
    const int height = page.height();
    painter.setFont(QFont(QStringLiteral("Times"), 20, QFont::Bold));
    const QFontMetrics metrics(painter.font(), &printer);
    const int baseline = metrics.ascent();
    const int headerHeight = metrics.height() * 3 / 2;

    auto printPage = [&](const QString &title, const QString &date, QGraphicsScene *scene) {
        painter.setFont(QFont(QStringLiteral("Times"), 20, QFont::Bold));
        if (!title.isEmpty())
            painter.drawText(QPoint(0, baseline), title);
        if (!date.isEmpty())
            painter.drawText(QPoint(width / 2, baseline), date);
        const QRect source = notesView->mapFromScene(scene->sceneRect()).boundingRect();
        const QRect target(0, headerHeight, width, std::max(0, height - headerHeight));
        notesView->render(&painter, target, source, Qt::KeepAspectRatio);
    };

    if (!allPages) {
        printPage(titleEdit->text(), dateEdit->text(), shown);
    } else {
        for (int row = 0; row < noteModel->rowCount(); ++row) {
            QGraphicsScene *scene = pageScene(row);
            notesView->setScene(scene);
            if (!scene)
                continue;
            if (row > 0)
                printer.newPage();
            printPage(textAt(noteModel, row, Page::TitleColumn), textAt(noteModel, row, Page::DateColumn),
                      scene);
        }
        // The current page is shown again.
        notesView->setScene(shown);
    }
    painter.end();
}
