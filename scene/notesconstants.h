#pragma once

// Numbers that end up in notes files or that other layers compare against.
// They are written out so that nobody renumbers them by accident.

#include <QGraphicsItem>

namespace Notes {

// Item type numbers returned by type(); stored in notes files.
enum ItemType : int {
    CircleType = 65636,    // QGraphicsItem::UserType + 100
    PolyLineType = 65736,  // + 200
    RectangleType = 65836, // + 300
    LineType = 65936,      // + 400 (freehand line)
    ArrowType = 66036,     // + 500
    TextType = 66136,      // + 600
    PictureType = 7,       // QGraphicsPixmapItem::Type
};

static_assert(int(PictureType) == int(QGraphicsPixmapItem::Type), "pictures are plain pixmap items");

} // namespace Notes

// Pictures always lie under the annotations, whenever they were added; not stored in files
// (the file writes pictures first, so reading them back gives the same stacking).
constexpr double PictureZ = -1.0;

// Item data keys carried by picture items.
constexpr int PictureHasLayersKey = 259; // bool
constexpr int PictureLayersKey = 260;    // QVariantMap, keyed layer settings

// The scene's drawing mode; tool actions carry these numbers as their data.
enum Mode_t : int {
    InsertArrow = 0,
    InsertText = 1,
    SelectMove = 2,
    InsertCircle = 3,
    InsertRectangle = 4,
    InsertPolyLine = 5,
    InsertFreehandLine = 6,
};
