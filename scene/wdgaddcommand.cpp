#include "scene/wdgaddcommand.h"

WdgAddCommand::WdgAddCommand(QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , held(item, item ? item->scene() : nullptr)
{
}

void WdgAddCommand::undo()
{
    if (!held.takeOut()) {
        setObsolete(true);
        return;
    }
    held.scene()->update();
}

void WdgAddCommand::redo()
{
    if (!held.putBack()) {
        setObsolete(true);
        return;
    }
    held.scene()->update();
}
