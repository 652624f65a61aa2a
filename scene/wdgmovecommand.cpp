#include "scene/wdgmovecommand.h"

WdgMoveCommand::WdgMoveCommand(QGraphicsItem *item, const QPointF &oldPos, QUndoCommand *parent)
    : QUndoCommand(parent)
    , tracked(item, item ? item->scene() : nullptr)
    , oldPos(oldPos)
    , newPos(item ? item->pos() : oldPos)
{
}

void WdgMoveCommand::undo()
{
    QGraphicsItem *item = tracked.get();
    if (!item) {
        setObsolete(true);
        return;
    }
    item->setPos(oldPos);
    if (QGraphicsScene *scene = item->scene())
        scene->update();
}

void WdgMoveCommand::redo()
{
    QGraphicsItem *item = tracked.get();
    if (!item) {
        setObsolete(true);
        return;
    }
    item->setPos(newPos);
}

bool WdgMoveCommand::mergeWith(const QUndoCommand *command)
{
    if (command->id() != Id)
        return false;
    const auto *later = static_cast<const WdgMoveCommand *>(command);
    if (later->tracked.pointer() != tracked.pointer() || !tracked.get())
        return false;
    newPos = later->newPos;
    // A drag back to where the first one started leaves nothing to undo.
    if (newPos == oldPos)
        setObsolete(true);
    return true;
}
