#pragma once

#include "scene/trackeditem.h"

// An item that an undo command takes out of its scene and puts back. While the item is out,
// the command holds it and frees it when the command is destroyed.
class HeldItem
{
public:
    HeldItem(QGraphicsItem *item, QGraphicsScene *scene);
    ~HeldItem();
    HeldItem(const HeldItem &) = delete;
    HeldItem &operator=(const HeldItem &) = delete;

    // Put the item into, or take it out of, the scene it was recorded with. Both answer false,
    // and do nothing, when the item or that scene no longer exists.
    bool putBack();
    bool takeOut();

    QGraphicsItem *item() const { return tracked.get(); }
    QGraphicsScene *scene() const { return tracked.scene(); }

private:
    TrackedItem tracked;
    bool owned = false;
};
