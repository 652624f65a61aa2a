// Note pages: adding, deleting, clearing, showing and navigating.

#include "window/wdgnotes.h"

#include "io/clock.h"
#include "io/pagemodel.h"
#include "scene/dialogs.h"
#include "scene/notesconstants.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QDataWidgetMapper>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QUndoStack>

QGraphicsScene *WdgNotes::sceneOfItem(const QStandardItem *sceneItem)
{
    return sceneItem ? qvariant_cast<QGraphicsScene *>(sceneItem->data(Page::SceneRole)) : nullptr;
}

QGraphicsScene *WdgNotes::pageScene(int row) const
{
    return sceneOfItem(noteModel->item(row, Page::SceneColumn));
}

NotesScene *WdgNotes::createPageScene()
{
    return new NotesScene(nullptr);
}

void WdgNotes::addNewNote()
{
    if (Dialogs::current().question(this, tr("QUESTION"), tr("Add new node?"),
                                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;

    const int newRow = appendPage(tr("Note-%1").arg(noteMapper->currentIndex() + 1));
    noteMapper->setCurrentIndex(newRow);

    // Gets the window out of the way so the user can set up the host's view for the picture.
    if (hideWindowCheck->isChecked())
        hide();

    QMenu menu(this);
    QAction *fromHost = menu.addAction(tr("Copy in Veritrace."));
    menu.addAction(tr("Copy from Clipboard."));
    QAction *chosen = Dialogs::current().popupMenu(&menu, QCursor::pos());
    if (chosen && chosen == fromHost) {
        emit createImage();
        return;
    }

    // Without an image on the clipboard the page stays empty; a window hidden for the picture
    // comes back, or nothing would ever show it again.
    if (!addClipboardPicture()) {
        if (isHidden() && hideWindowCheck->isChecked())
            showNormal();
        return;
    }

    if (hideWindowCheck->isChecked()) {
        hideWindowCheck->setChecked(false);
        showNormal();
    }
    const int row = noteMapper->currentIndex();
    updateButtons(row);
    drawScene(row);
}

int WdgNotes::appendPage(const QString &title)
{
    const int newRow = noteModel->rowCount();
    auto *titleItem = new QStandardItem(title);
    auto *sceneItem = new QStandardItem;
    sceneItem->setData(QVariant::fromValue(createPageScene()), Page::SceneRole);
    auto *dateItem = new QStandardItem(Clock::now().toString(QLatin1String(Page::DateFormat)));
    auto *commentItem = new QStandardItem(QString());
    noteModel->appendRow({titleItem, sceneItem, dateItem, commentItem});
    return newRow;
}

void WdgNotes::deleteNote()
{
    const int row = noteMapper->currentIndex();
    if (row < 0)
        return;
    if (Dialogs::current().warning(this, tr("WARNING"), tr("You want remove this note?"),
                                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;

    // Commands on the stack may point at the page's items and scene.
    undoStack->clear();
    const QList<QStandardItem *> taken = noteModel->takeRow(row);

    // The deleted page stays in the view until the next one is shown, so that the style chosen
    // on it carries over like on any other page switch.
    const int rows = noteModel->rowCount();
    if (rows == 0) {
        detachView();
        clearEditors();
        updateButtons(-1);
    } else if (row >= rows) {
        noteMapper->toFirst();
    } else {
        noteMapper->setCurrentIndex(row);
    }

    for (QStandardItem *item : taken) {
        if (QGraphicsScene *scene = sceneOfItem(item)) {
            if (scene == notesView->scene())
                detachView();
            deletePageScene(scene);
        }
        delete item;
    }
}

bool WdgNotes::cleanNotes()
{
    if (noteModel->rowCount() == 0)
        return true;

    if (!viewOnly) {
        const QMessageBox::StandardButton answer =
            Dialogs::current().warning(this, tr("WARNING"), tr("You want save notes?"),
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::No)
            return true;
        if (answer != QMessageBox::Yes)
            return false;
        // The user asked to keep the notes: without a file that holds them nothing is cleared.
        if (!askAndSaveNotes())
            return false;
    }

    clearAllNotes();
    return true;
}

void WdgNotes::clearAllNotes()
{
    // Commands on the stack point at items and scenes that are about to go.
    undoStack->clear();
    detachView();
    for (int row = 0; row < noteModel->rowCount(); ++row)
        deletePageScene(pageScene(row));
    noteModel->clear();
    clearEditors();
    updateButtons(-1);
}

void WdgNotes::deletePageScene(QGraphicsScene *scene)
{
    if (!scene)
        return;
    // A text item losing focus while it is taken out would ask the scene to delete it later,
    // after the scene itself is gone.
    const QList<QGraphicsItem *> items = scene->items();
    for (QGraphicsItem *item : items) {
        if (QGraphicsObject *object = item->toGraphicsObject())
            object->blockSignals(true);
    }
    // The scene deletes every item it holds (children with their parents) and its own gesture state.
    delete scene;
}

void WdgNotes::dropSceneConnections()
{
    for (const QMetaObject::Connection &connection : std::as_const(sceneConnections))
        disconnect(connection);
    sceneConnections.clear();
}

void WdgNotes::detachView()
{
    dropSceneConnections();
    notesView->setScene(nullptr);
}

void WdgNotes::clearEditors()
{
    titleEdit->clear();
    dateEdit->clear();
    commentEdit->clear();
}

void WdgNotes::drawScene(int row)
{
    QStandardItem *sceneItem = noteModel->item(row, Page::SceneColumn);
    if (sceneItem) {
        NotesScene *previous = currentScene();
        dropSceneConnections();

        auto *scene = qobject_cast<NotesScene *>(sceneOfItem(sceneItem));

        // The style the user chose follows him to the next page; the line style and mode do not.
        // Only new items take it: the annotations of the page shown keep theirs.
        if (previous && scene && previous != scene)
            scene->adoptStyle(*previous);
        // A gesture cannot go on on a page that is no longer shown.
        if (previous && previous != scene)
            previous->cancelGesture(false);

        notesView->setScene(scene);

        if (scene) {
            sceneConnections
                << connect(scene, &NotesScene::itemMoved, this, &WdgNotes::itemMoved)
                << connect(scene, &NotesScene::textInserted, this, &WdgNotes::textInserted)
                << connect(scene, &NotesScene::itemSelected, this, &WdgNotes::itemSelected)
                << connect(scene, &NotesScene::arrowInserted, this, &WdgNotes::arrowInserted)
                << connect(scene, &NotesScene::circleInserted, this, &WdgNotes::circleInserted)
                << connect(scene, &NotesScene::rectangleInserted, this, &WdgNotes::rectangleInserted)
                << connect(scene, &NotesScene::copyToClipBoard, this, &WdgNotes::copyToClipBoard)
                << connect(scene, &NotesScene::copyAllToClipBoard, this, &WdgNotes::copyAllToClipBoard)
                << connect(scene, &NotesScene::setRubberBandSelection, this,
                           &WdgNotes::setRubberBandSelection)
                << connect(scene, &NotesScene::freehandLineInserted, this, &WdgNotes::freehandLineInserted)
                << connect(scene, &NotesScene::polyLineInserted, this, &WdgNotes::polyLineInserted)
                << connect(this, &WdgNotes::spaceBarPressed, scene, &NotesScene::spaceBarPressed)
                << connect(scene, &NotesScene::copyFromClipBoard, this, &WdgNotes::copyFromClipBoard);
            const QList<QGraphicsItem *> items = scene->items();
            for (QGraphicsItem *item : items) {
                if (item->type() != Notes::TextType)
                    continue;
                // Between an item and its own scene: made once, kept while the page is not shown.
                if (auto *text = dynamic_cast<NotesTextItem *>(item)) {
                    connect(text, &NotesTextItem::lostFocus, scene, &NotesScene::editorLostFocus,
                            Qt::UniqueConnection);
                    connect(text, &NotesTextItem::selectedChange, scene, &NotesScene::itemSelected,
                            Qt::UniqueConnection);
                }
            }
        }

        const QVariant rect = sceneItem->data(Page::ViewRectRole);
        const QVariantMap layerMap = sceneItem->data(Page::LayerMapRole).toMap();
        // A pasted picture's page has a null rectangle: there is no host view to go back to.
        if (rect.isValid() && !rect.toRectF().isNull() && !layerMap.isEmpty()) {
            const QList<DsvLayer> layers = layerListFromMap(layerMap);
            if (sendView)
                emit showNotePos(rect.toRectF(), layers);
        }
    }
    updateButtons(row);
}

void WdgNotes::updateButtons(int row)
{
    previousButton->setEnabled(row > 0);
    nextButton->setEnabled(row < noteModel->rowCount() - 1);
}
