#include "scene/notestextitem.h"

#include "scene/dialogs.h"
#include "scene/notestextdocument.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneContextMenuEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

NotesTextItem::NotesTextItem(QGraphicsItem *parent)
    : QGraphicsTextItem(parent)
{
    setFlag(QGraphicsItem::ItemIsMovable, true);
    setFlag(QGraphicsItem::ItemIsSelectable, true);
}

void NotesTextItem::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    if (event->reason() != QGraphicsSceneContextMenuEvent::Mouse) {
        event->ignore();
        return;
    }
    event->accept();

    QTextDocument *doc = document();
    QMenu menu;
    QAction *undoAction = doc->isUndoAvailable() ? menu.addAction(tr("Undo")) : nullptr;
    QAction *redoAction = doc->isRedoAvailable() ? menu.addAction(tr("Redo")) : nullptr;
    QAction *pasteAction = menu.addAction(tr("Paste"));
    QAction *verticalAction = menu.addAction(tr("Set Text Vertical"));
    QAction *horizontalAction = menu.addAction(tr("Set Text Horizontal"));

    QAction *chosen = Dialogs::current().popupMenu(&menu, QCursor::pos());
    if (!chosen)
        return;
    if (chosen == undoAction) {
        QTextCursor cursor = textCursor();
        doc->undo(&cursor);
        setTextCursor(cursor);
    } else if (chosen == redoAction) {
        QTextCursor cursor = textCursor();
        doc->redo(&cursor);
        setTextCursor(cursor);
    } else if (chosen == pasteAction) {
        paste();
    } else if (chosen == verticalAction) {
        emit rotateText(this, -90.0);
        setRotation(-90.0);
    } else if (chosen == horizontalAction) {
        emit rotateText(this, 0.0);
        setRotation(0.0);
    }
}

void NotesTextItem::paste()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return;
    if (mime->hasHtml()) {
        // The pasted document belongs to this item; the one it replaces is freed here if
        // it was ours (the item's own first document is freed by the toolkit on replacing).
        // Pasted HTML (a web page, a mail) may name local files as pictures: the same document as
        // for HTML from a file, which loads none.
        auto *pasted = new NotesTextDocument(this);
        pasted->setDefaultFont(font());
        pasted->setNotesHtml(mime->html());
        QTextDocument *previous = document();
        const bool previousIsOurs = previous && previous->parent() == this;
        setDocument(pasted);
        if (previousIsOurs)
            delete previous;
    } else if (mime->hasText()) {
        setPlainText(mime->text());
    }
}

void NotesTextItem::focusOutEvent(QFocusEvent *event)
{
    setTextInteractionFlags(Qt::NoTextInteraction);
    emit lostFocus(this);
    QGraphicsTextItem::focusOutEvent(event);
}

void NotesTextItem::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event)
{
    if (textInteractionFlags() == Qt::NoTextInteraction) {
        setTextInteractionFlags(Qt::TextEditorInteraction);
        // The scene hands focus out before the item becomes focusable here; without it the
        // caret would only appear on a further click.
        setFocus(Qt::MouseFocusReason);
    }
    QGraphicsTextItem::mouseDoubleClickEvent(event);
}

QVariant NotesTextItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    switch (change) {
    case QGraphicsItem::ItemSelectedHasChanged:
        emit selectedChange(this);
        break;
    case QGraphicsItem::ItemSceneChange:
        // The scene clears the focus of an item it is removing; the scene's reaction to
        // that focus loss must not remove the item a second time.
        leavingScene = scene() && value.value<QGraphicsScene *>() != scene();
        break;
    case QGraphicsItem::ItemSceneHasChanged:
        leavingScene = false;
        break;
    default:
        break;
    }
    return value;
}
