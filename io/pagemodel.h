#pragma once

// Layout of one note page: one row of the window's QStandardItemModel.
// The notes file, the exports and the window all read and write pages through these numbers.

#include <Qt>

namespace Page {

enum Column : int {
    TitleColumn = 0,   // item text: page title
    SceneColumn = 1,   // data in the roles below
    DateColumn = 2,    // item text: "dd.MM.yyyy hh:mm"
    CommentColumn = 3, // item text: comment HTML
    ColumnCount = 4,
};

enum Role : int {
    SceneRole = 257,    // Qt::UserRole + 1: NotesScene*, read back as QGraphicsScene*
    ViewRectRole = 258, // Qt::UserRole + 2: QRectF host view rectangle
    LayerMapRole = 259, // Qt::UserRole + 3: QVariantMap, keyed layer settings
};

static_assert(SceneRole == Qt::UserRole + 1, "role numbers are fixed");

inline constexpr const char *DateFormat = "dd.MM.yyyy hh:mm";

} // namespace Page
