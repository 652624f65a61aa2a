#pragma once

#include "scene/helditem.h"

#include <QUndoCommand>

// Adds a drawn item to its page. The item is already in its scene when the command is made.
// While undone the command holds the item outside the scene and frees it if it is destroyed then.
class WdgAddCommand : public QUndoCommand
{
public:
    explicit WdgAddCommand(QGraphicsItem *item, QUndoCommand *parent = nullptr);

    void undo() override;
    void redo() override;

    QGraphicsItem *item() const { return held.item(); }

private:
    HeldItem held;
};
