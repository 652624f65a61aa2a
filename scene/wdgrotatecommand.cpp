#include "scene/wdgrotatecommand.h"

WdgRotateCommand::WdgRotateCommand(QGraphicsItem *item, double rotation, QUndoCommand *parent)
    : QUndoCommand(parent)
    , tracked(item, item ? item->scene() : nullptr)
    , m_rotation(rotation)
{
}

void WdgRotateCommand::undo()
{
    QGraphicsItem *item = tracked.get();
    if (!item) {
        setObsolete(true);
        return;
    }
    // The command toggles: undo gives the opposite of what redo set.
    item->setRotation(m_rotation < 0 ? 0.0 : -90.0);
    if (QGraphicsScene *scene = item->scene())
        scene->update();
}

void WdgRotateCommand::redo()
{
    QGraphicsItem *item = tracked.get();
    if (!item) {
        setObsolete(true);
        return;
    }
    item->setRotation(m_rotation < 0 ? -90.0 : 0.0);
    if (QGraphicsScene *scene = item->scene())
        scene->update();
}
