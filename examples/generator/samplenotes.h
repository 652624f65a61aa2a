#pragma once

// The sample notes file: a short design review of the synthetic board, written down as plain
// data (what each page holds) and turned into pages of the program's own scene items. The test
// of quillmark-tool compares its dump of examples/sample.nts against this description.

#include "io/dsvlayer.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

class QStandardItemModel;

namespace Sample {

struct Picture
{
    QPointF pos;
    QImage image;
    bool hasLayers = false;
    QList<DsvLayer> layers; // the host's settings; only meaningful with hasLayers
};

struct Text
{
    QString html; // the content as the reviewer formatted it
    QFont font;
    QColor color;
    QPointF pos;
    double rotation = 0.0;
};

struct Arrow
{
    QLineF line; // head at the start point
    QColor color;
    QPointF pos;
};

// A circle, rectangle, freehand line or polyline.
struct Shape
{
    QRectF rect;       // circles and rectangles
    QPainterPath path; // freehand lines and polylines
    QColor color;
    int width = 3;
    Qt::PenStyle style = Qt::SolidLine;
    QPointF pos;
};

struct Page
{
    QString title;
    QString date; // "dd.MM.yyyy hh:mm", fixed so that the file does not change between runs
    QString comment;
    QRectF viewRect; // host view in board millimetres; null for pasted screenshots
    QList<Picture> pictures;
    QList<Text> texts;
    QList<Arrow> arrows;
    QList<Shape> circles;
    QList<Shape> rectangles;
    QList<Shape> freehandLines;
    QList<Shape> polylines;
};

// The pages of the sample review, every list in the order it is stored in the file.
QList<Page> pages();

// Appends one row per page to a page model, with a NotesScene holding the pictures and items.
// The rows own their scenes; deleteScenes frees them.
void addPages(QStandardItemModel &model, const QList<Page> &pages);
void deleteScenes(QStandardItemModel &model);

} // namespace Sample
