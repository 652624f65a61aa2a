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
    , tracked(firstSelected(scene), scene)
{
}

WdgDeleteCommand::~WdgDeleteCommand()
{
    if (ownsItem && tracked.exists() && !tracked.pointer()->scene())
        delete tracked.pointer();
}

void WdgDeleteCommand::undo()
{
    QGraphicsItem *item = tracked.get();
    QGraphicsScene *scene = tracked.scene();
    if (!item || !scene) {
        setObsolete(true);
        return;
    }
    if (item->scene() != scene) {
        scene->addItem(item);
        ownsItem = false;
    }
    scene->update();
}

void WdgDeleteCommand::redo()
{
    QGraphicsItem *item = tracked.get();
    QGraphicsScene *scene = tracked.scene();
    if (!item || !scene) {
        setObsolete(true);
        return;
    }
    if (item->scene() == scene) {
        scene->removeItem(item);
        ownsItem = true;
    }
}
