#pragma once

#include "scene/trackeditem.h"

#include <QUndoCommand>

// Turns a text item vertical (a rotation below 0) or horizontal; undo turns it the other way.
class WdgRotateCommand : public QUndoCommand
{
public:
    WdgRotateCommand(QGraphicsItem *item, double rotation, QUndoCommand *parent = nullptr);

    void undo() override;
    void redo() override;

    QGraphicsItem *item() const { return tracked.get(); }
    double rotation() const { return m_rotation; }

private:
    TrackedItem tracked;
    double m_rotation;
};
