#pragma once

#include "scene/trackeditem.h"

#include <QPointF>
#include <QUndoCommand>

// Records a drag of one item. Consecutive drags of the same item merge into one step.
class WdgMoveCommand : public QUndoCommand
{
public:
    enum { Id = 1234 };

    WdgMoveCommand(QGraphicsItem *item, const QPointF &oldPos, QUndoCommand *parent = nullptr);

    void undo() override;
    void redo() override;
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand *command) override;

    QGraphicsItem *item() const { return tracked.get(); }
    QPointF oldPosition() const { return oldPos; }
    QPointF newPosition() const { return newPos; }

private:
    TrackedItem tracked;
    QPointF oldPos;
    QPointF newPos;
};
