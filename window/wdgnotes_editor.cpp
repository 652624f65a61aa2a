// The notes window as a program of its own: files dropped on it, zoom, the page number, the
// modified marker and the question before unsaved changes are closed away.

#include "window/wdgnotes.h"

#include "io/pagemodel.h"
#include "scene/dialogs.h"
#include "window/noteskeeper.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDataWidgetMapper>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double MinZoom = 0.05;
constexpr double MaxZoom = 32.0;
constexpr double ZoomStep = 1.25;
const QString NotesSuffix = QStringLiteral("nts");

// Filters events for the window without giving it another virtual to override, and watches the
// text items of the page shown for typing, which the undo history does not record.
class EditorEvents : public QObject
{
public:
    using Filter = std::function<bool(QObject *, QEvent *)>;

    EditorEvents(WdgNotes *window, Filter filter)
        : QObject(window)
        , window(window)
        , filter(std::move(filter))
    {
    }

    void watchText(QGraphicsTextItem *item)
    {
        NotesKeeper *keeper = window->notesKeeper();
        if (keeper && item)
            connect(item->document(), &QTextDocument::contentsChanged, keeper, &NotesKeeper::markChanged,
                    Qt::UniqueConnection);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override { return filter(watched, event); }

private:
    WdgNotes *window;
    Filter filter;
};

QStringList imageSuffixes()
{
    QStringList suffixes;
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QByteArray &format : formats)
        suffixes << QString::fromLatin1(format).toLower();
    return suffixes;
}

bool isNotesFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(NotesSuffix, Qt::CaseInsensitive) == 0;
}

} // namespace

void WdgNotes::createEditorControls()
{
    auto makeZoomAction = [this](const QString &text, const QString &iconText,
                                 const QList<QKeySequence> &keys, const char *name) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setIconText(iconText);
        action->setShortcuts(keys);
        action->setToolTip(QStringLiteral("%1 (%2)").arg(text, keys.constFirst().toString(QKeySequence::NativeText)));
        // Like undo and redo: wherever the focus is inside the window.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        return action;
    };
    // Ctrl+= is where Ctrl++ is on keyboards that need Shift for the plus sign.
    zoomInAction = makeZoomAction(tr("Zoom In"), QStringLiteral("+"),
                                  {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                                  "zoomInAction");
    zoomOutAction = makeZoomAction(tr("Zoom Out"), QStringLiteral("\u2212"), {QKeySequence(QKeySequence::ZoomOut)},
                                   "zoomOutAction");
    fitPageAction =
        makeZoomAction(tr("Fit Page"), tr("Fit"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, "fitPageAction");
    const auto viewCentre = [this] { return notesView->viewport()->rect().center(); };
    connect(zoomInAction, &QAction::triggered, this, [this, viewCentre] { zoomBy(ZoomStep, viewCentre()); });
    connect(zoomOutAction, &QAction::triggered, this,
            [this, viewCentre] { zoomBy(1.0 / ZoomStep, viewCentre()); });
    connect(fitPageAction, &QAction::triggered, this, &WdgNotes::fitPage);

    // A strip in the corner of the page, like the tool lock: the window's layout stays as hosts know it.
    statusRow = new QFrame(notesView);
    statusRow->setObjectName(QStringLiteral("statusRow"));
    statusRow->setAutoFillBackground(true);
    statusRow->setStyleSheet(QStringLiteral("#statusRow { background: #f4f4f4; border: 1px solid gray; }"));
    auto *row = new QHBoxLayout(statusRow);
    row->setContentsMargins(4, 0, 0, 0);
    row->setSpacing(2);
    pageLabel = new QLabel(statusRow);
    pageLabel->setObjectName(QStringLiteral("pageLabel"));
    zoomLabel = new QLabel(statusRow);
    zoomLabel->setObjectName(QStringLiteral("zoomLabel"));
    zoomLabel->setMinimumWidth(zoomLabel->fontMetrics().horizontalAdvance(QStringLiteral("3200 %")));
    zoomLabel->setAlignment(Qt::AlignCenter);
    row->addWidget(pageLabel);
    row->addSpacing(8);
    for (QAction *action : {zoomOutAction, fitPageAction, zoomInAction}) {
        auto *button = new QToolButton(statusRow);
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        row->addWidget(button);
        if (action == zoomOutAction)
            row->addWidget(zoomLabel);
    }

    editorEvents = new EditorEvents(this, [this](QObject *watched, QEvent *event) {
        const QEvent::Type type = event->type();
        // The viewport is resized once the scroll bars have their place.
        if (type == QEvent::Resize && watched == notesView->viewport()) {
            placeStatusRow();
            return false;
        }
        if (type == QEvent::Wheel && watched == notesView->viewport()) {
            auto *wheel = static_cast<QWheelEvent *>(event);
            if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0)
                return false;
            zoomBy(std::pow(ZoomStep, wheel->angleDelta().y() / 120.0), wheel->position().toPoint());
            return true;
        }
        if (!standalone || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
            return false;
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList files = droppableFiles(drop->mimeData());
        if (files.isEmpty())
            return false; // text dragged into an editor, say
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop)
            dropFiles(files);
        return true;
    });
    notesView->viewport()->installEventFilter(editorEvents);
    installEventFilter(editorEvents);

    const auto pagesChanged = [this] {
        if (!readingPages)
            updatePageLabel();
    };
    connect(noteModel, &QStandardItemModel::rowsInserted, this, pagesChanged);
    connect(noteModel, &QStandardItemModel::rowsRemoved, this, pagesChanged);
    connect(noteModel, &QStandardItemModel::modelReset, this, pagesChanged);
    connect(noteMapper, &QDataWidgetMapper::currentIndexChanged, this, [this](int row) {
        watchTextItems(pageScene(row));
        updatePageLabel();
    });
    updatePageLabel();
}

void WdgNotes::setStandalone(bool on)
{
    standalone = on;
    setAcceptDrops(on);
    notesView->viewport()->setAcceptDrops(on);
    if (!on || viewOnly)
        return;
    // The toolkit shows "[*]" as the modified marker; every title this window sets gets one.
    const auto markTitle = [this](const QString &title) {
        if (standalone && !viewOnly && !title.contains(QLatin1String("[*]")))
            setWindowTitle(title + QLatin1String("[*]"));
    };
    connect(this, &QWidget::windowTitleChanged, this, markTitle);
    markTitle(windowTitle().isEmpty() ? tr("Quillmark - new notes") : windowTitle());
    if (keeper)
        connect(keeper, &NotesKeeper::unsavedChangesChanged, this, &WdgNotes::updateModifiedMarker);
    updateModifiedMarker();
}

void WdgNotes::updateModifiedMarker()
{
    if (standalone)
        setWindowModified(!viewOnly && keeper && keeper->hasUnsavedChanges());
}

void WdgNotes::watchTextItems(QGraphicsScene *scene)
{
    auto *scenes = qobject_cast<NotesScene *>(scene);
    auto *events = static_cast<EditorEvents *>(editorEvents);
    if (!scenes || !keeper)
        return;
    connect(scenes, &NotesScene::textInserted, events, &EditorEvents::watchText, Qt::UniqueConnection);
    const QList<QGraphicsItem *> items = scene->items();
    for (QGraphicsItem *item : items) {
        if (item->type() == NotesTextItem::Type)
            events->watchText(static_cast<NotesTextItem *>(item));
    }
}

void WdgNotes::updatePageLabel()
{
    const int rows = noteModel->rowCount();
    const int current = noteMapper->currentIndex();
    if (rows == 0)
        pageLabel->setText(tr("No notes"));
    else if (current >= 0 && current < rows)
        pageLabel->setText(tr("Note %1 of %2").arg(current + 1).arg(rows));
    else
        pageLabel->setText(tr("%1 notes").arg(rows));
    zoomLabel->setText(QStringLiteral("%1 %").arg(qRound(zoomFactor() * 100)));
    placeStatusRow();
}

void WdgNotes::placeStatusRow()
{
    statusRow->adjustSize();
    const QRect page = notesView->viewport()->geometry();
    statusRow->move(page.left(), page.bottom() + 1 - statusRow->height());
    statusRow->raise();
}

double WdgNotes::zoomFactor() const
{
    return notesView->transform().m11();
}

void WdgNotes::zoomBy(double factor, const QPoint &viewportAnchor)
{
    setZoom(zoomFactor() * factor, viewportAnchor);
}

void WdgNotes::setZoom(double factor, const QPoint &viewportAnchor)
{
    factor = std::clamp(factor, MinZoom, MaxZoom);
    // The point under the anchor stays where it is, as users expect of a wheel zoom.
    const QPointF anchored = notesView->mapToScene(viewportAnchor);
    notesView->setTransform(QTransform::fromScale(factor, factor));
    const QPoint moved = notesView->mapFromScene(anchored) - viewportAnchor;
    notesView->horizontalScrollBar()->setValue(notesView->horizontalScrollBar()->value() + moved.x());
    notesView->verticalScrollBar()->setValue(notesView->verticalScrollBar()->value() + moved.y());
    updatePageLabel();
}

void WdgNotes::fitPage()
{
    QGraphicsScene *scene = notesView->scene();
    if (!scene || scene->sceneRect().isEmpty()) {
        notesView->resetTransform();
    } else {
        // A fitted page needs no scroll bars, so it is fitted to the view without them (the
        // toolkit's fitInView measures the viewport as it is, scroll bars and all).
        const QRectF page = scene->sceneRect();
        const QSize room = notesView->maximumViewportSize() - QSize(4, 4);
        const double factor = std::clamp(std::min(room.width() / page.width(), room.height() / page.height()),
                                         MinZoom, MaxZoom);
        notesView->setTransform(QTransform::fromScale(factor, factor));
        notesView->centerOn(page.center());
    }
    updatePageLabel();
}

QStringList WdgNotes::droppableFiles(const QMimeData *data) const
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    const QStringList images = viewOnly ? QStringList() : imageSuffixes();
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (isNotesFile(path) || images.contains(QFileInfo(path).suffix().toLower()))
            files << path;
    }
    return files;
}

void WdgNotes::dropFiles(const QStringList &files)
{
    QStringList notes;
    QStringList images;
    for (const QString &file : files)
        (isNotesFile(file) ? notes : images) << file;
    if (notes.size() > 1) {
        Dialogs::current().warning(this, tr("WARNING"), tr("Only one notes file can be opened at a time."),
                                   QMessageBox::Ok);
        return;
    }
    if (!notes.isEmpty() && !openNotesFile(notes.constFirst()))
        return;
    if (images.isEmpty() || viewOnly)
        return;
    const QStringList unread = addImagePages(images);
    if (!unread.isEmpty()) {
        QStringList shown;
        for (const QString &file : unread)
            shown << QDir::toNativeSeparators(file);
        Dialogs::current().warning(this, tr("WARNING"),
                                   tr("These files could not be read as pictures:\n%1").arg(shown.join('\n')),
                                   QMessageBox::Ok);
    }
}

bool WdgNotes::openNotesFile(const QString &path)
{
    if (noteModel->rowCount() > 0 && !cleanNotes())
        return false;
    loadNotesFrom(QFileInfo(path).absoluteFilePath());
    return true;
}

QStringList WdgNotes::addImagePages(const QStringList &files)
{
    if (viewOnly)
        return files;
    QStringList unread;
    int firstRow = -1;
    for (const QString &file : files) {
        // The reader's allocation limit keeps a hostile header from asking for gigabytes.
        QImageReader reader(file);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (image.isNull()) {
            unread << file;
            continue;
        }
        const int row = appendPage(QFileInfo(file).completeBaseName());
        noteMapper->setCurrentIndex(row);
        addPicture(image);
        if (firstRow < 0)
            firstRow = row;
    }
    if (firstRow >= 0) {
        noteMapper->setCurrentIndex(firstRow);
        updateButtons(firstRow);
        drawScene(firstRow);
    }
    return unread;
}

bool WdgNotes::addPastedPicture(const QImage &image)
{
    const int row = noteMapper->currentIndex();
    if (viewOnly || image.isNull() || !noteModel->item(row, Page::SceneColumn))
        return false;
    addPicture(image);
    updateButtons(row);
    drawScene(row);
    // A window hidden so the user could prepare the picture comes back with it.
    if (isHidden() && hideWindowCheck->isChecked())
        showNormal();
    return true;
}

void WdgNotes::closeEvent(QCloseEvent *event)
{
    if (!standalone || viewOnly || !keeper) {
        QWidget::closeEvent(event);
        return;
    }
    submitPendingEdits();
    const bool nothingToSave = noteModel->rowCount() == 0 && notesFileName.isEmpty();
    if (!keeper->hasUnsavedChanges() || nothingToSave) {
        QWidget::closeEvent(event);
        return;
    }
    const QMessageBox::StandardButton answer = Dialogs::current().question(
        this, tr("QUESTION"), tr("The notes have unsaved changes.\nSave them before closing?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) {
        const bool saved = notesFileName.isEmpty() ? askAndSaveNotes() : saveNotesReporting(QString());
        if (!saved) {
            event->ignore();
            return;
        }
    } else if (answer == QMessageBox::Discard) {
        // Without pages the destructor writes nothing and drops the recovery copy.
        clearAllNotes();
    } else {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
