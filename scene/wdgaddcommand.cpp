#include "scene/wdgaddcommand.h"

WdgAddCommand::WdgAddCommand(QGraphicsItem *item, QUndoCommand *parent)
    : QUndoCommand(parent)
    , tracked(item, item ? item->scene() : nullptr)
{
}

WdgAddCommand::~WdgAddCommand()
{
    if (ownsItem && tracked.exists() && !tracked.pointer()->scene())
        delete tracked.pointer();
}

void WdgAddCommand::undo()
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
    scene->update();
}

void WdgAddCommand::redo()
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
