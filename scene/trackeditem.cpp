#include "scene/trackeditem.h"

TrackedItem::TrackedItem(QGraphicsItem *item, QGraphicsScene *scene)
    : item(item)
    , guardScene(scene)
    , hadScene(scene != nullptr)
{
    if (item) {
        if (QGraphicsObject *object = item->toGraphicsObject()) {
            guardObject = object;
            isObject = true;
        }
    }
}

bool TrackedItem::exists() const
{
    return item && (!isObject || !guardObject.isNull());
}

QGraphicsItem *TrackedItem::get() const
{
    if (!exists() || (hadScene && guardScene.isNull()))
        return nullptr;
    return item;
}
