#pragma once

#include "scene/helditem.h"

#include <QUndoCommand>

// Takes the first selected item of a scene out of it. While done the command holds the item
// outside the scene and frees it if it is destroyed then.
class WdgDeleteCommand : public QUndoCommand
{
public:
    explicit WdgDeleteCommand(QGraphicsScene *scene, QUndoCommand *parent = nullptr);

    void undo() override;
    void redo() override;

    QGraphicsItem *item() const { return held.item(); }

private:
    HeldItem held;
};
