#pragma once

// The JSON form of loaded notes pages printed by "quillmark-tool dump". Every value is read back
// from the page model and the items the notes file reader built, so the dump shows exactly what
// the viewer would show.

#include "io/dsvlayer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>

class QColor;
class QFont;
class QGraphicsScene;
class QPainterPath;
class QPointF;
class QRectF;
class QStandardItemModel;

namespace NotesJson {

// "#aarrggbb".
QString colorName(const QColor &color);

// All 40 fields of the record under their own names.
QJsonObject layerToJson(const DsvLayer &layer);
QJsonArray layersToJson(const QList<DsvLayer> &layers);

QJsonArray pointToJson(const QPointF &point);
QJsonArray rectToJson(const QRectF &rect);
// [[element type, x, y], ...] with the toolkit's element type numbers.
QJsonArray pathToJson(const QPainterPath &path);
QJsonObject fontToJson(const QFont &font);

// One page: title, date, comment, view rectangle, layer map and the items of each kind in the
// order the reader added them (file order).
QJsonObject pageToJson(const QStandardItemModel &model, int row);

// The whole document: {"format":[major,minor],"damaged":b,"pages":[...]}.
QJsonObject notesToJson(const QStandardItemModel &model, qint32 major, qint32 minor, bool damaged);

} // namespace NotesJson
