#include "scene/helditem.h"

HeldItem::HeldItem(QGraphicsItem *item, QGraphicsScene *scene)
    : tracked(item, scene)
{
}

HeldItem::~HeldItem()
{
    if (owned && tracked.exists() && !tracked.pointer()->scene())
        delete tracked.pointer();
}

bool HeldItem::putBack()
{
    QGraphicsItem *item = tracked.get();
    QGraphicsScene *scene = tracked.scene();
    if (!item || !scene)
        return false;
    if (item->scene() != scene) {
        scene->addItem(item);
        owned = false;
    }
    return true;
}

bool HeldItem::takeOut()
{
    QGraphicsItem *item = tracked.get();
    QGraphicsScene *scene = tracked.scene();
    if (!item || !scene)
        return false;
    if (item->scene() == scene) {
        scene->removeItem(item);
        owned = true;
    }
    return true;
}
