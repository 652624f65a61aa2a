#pragma once

#include <QGraphicsObject>
#include <QGraphicsScene>
#include <QPointer>

// How an undo command refers to its item. Commands can outlive what they point at: a scene
// deletes a text item left empty, and a page's scene goes with its items. Text items and
// scenes are objects, so their deletion is observed; an item whose scene is gone is taken
// as gone too, unless a command holds it outside the scene.
class TrackedItem
{
public:
    TrackedItem() = default;
    TrackedItem(QGraphicsItem *item, QGraphicsScene *scene);

    // The item while it may be used: it exists and the scene it belongs to still exists.
    QGraphicsItem *get() const;
    // True while the item itself exists, whatever became of its scene.
    bool exists() const;
    // The raw pointer, for identity comparisons only.
    QGraphicsItem *pointer() const { return item; }
    // The scene recorded at construction; nullptr when it was deleted or there was none.
    QGraphicsScene *scene() const { return guardScene.data(); }

private:
    QGraphicsItem *item = nullptr;
    QPointer<QGraphicsObject> guardObject;
    QPointer<QGraphicsScene> guardScene;
    bool isObject = false;
    bool hadScene = false;
};
