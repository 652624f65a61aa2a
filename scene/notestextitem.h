#pragma once

#include "scene/notesconstants.h"

#include <QGraphicsTextItem>

// The editable rich-text annotation. It reports focus loss and selection to its scene and a
// chosen text direction to the window, which records it for undo.
class NotesTextItem : public QGraphicsTextItem
{
    Q_OBJECT

public:
    enum { Type = Notes::TextType };

    explicit NotesTextItem(QGraphicsItem *parent = nullptr);

    int type() const override { return Type; }

    // True while the item is being taken out of its scene (its focus is cleared then).
    bool isLeavingScene() const { return leavingScene; }

signals:
    void lostFocus(NotesTextItem *item);
    void selectedChange(QGraphicsItem *item);
    void rotateText(QGraphicsItem *item, double rotation);

protected:
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void paste();

    bool leavingScene = false;
};
