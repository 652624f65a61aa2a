#include "scene/wdgdeletecommand.h"

namespace {
QGraphicsItem *firstSelected(QGraphicsScene *scene)
{
    if (!scene)
        return nullptr;
    const QList<QGraphicsItem *> selected = scene->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    selected.first()->setSelected(false);
    return selected.first();
}
} // namespace

WdgDeleteCommand::WdgDeleteCommand(QGraphicsScene *scene, QUndoCommand *parent)
    : QUndoCommand(parent)
    , held(firstSelected(scene), scene)
{
}

void WdgDeleteCommand::undo()
{
    if (!held.putBack()) {
        setObsolete(true);
        return;
    }
    held.scene()->update();
}

void WdgDeleteCommand::redo()
{
    if (!held.takeOut())
        setObsolete(true);
}
