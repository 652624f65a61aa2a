#pragma once

#include "io/dsvlayer.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

// A small invented two-layer board for the sample notes: a QFP controller with its fan-out, a
// regulator with its capacitors, passives, a crystal, two connectors, test points, vias, a ground
// pour on the bottom layer, silkscreen and a chamfered outline. It carries a few deliberate
// layout faults so that the sample review has something real to point at.
//
// Board coordinates are millimetres with y pointing down and the origin at the board's top-left
// corner, which is also how the host's view rectangles of the sample pages are expressed.
class SyntheticBoard
{
public:
    SyntheticBoard();

    // Bounding rectangle of the board outline.
    QRectF extent() const { return outline.boundingRect(); }

    // Draws the part of the board inside view into an image of the given size, as the host would
    // show it: every element class in the colour and visibility of its layer's settings. Layers
    // are matched by name ("Wiring1", "Wiring2", "SilkTop", "Outline"); a missing layer is not drawn.
    QImage render(const QRectF &view, const QSize &size, const QList<DsvLayer> &layers) const;

    // The layer settings of a typical review session, in the host's order.
    static QList<DsvLayer> reviewLayers();

    // Where a board point lands in a picture of view drawn at size (the mapping render uses).
    static QPointF toPicture(const QRectF &view, const QSize &size, const QPointF &boardPoint);

    // Named places on the board (component centres, the faults, ...); a null point for an unknown name.
    QPointF landmark(const QString &name) const { return landmarks.value(name); }

private:
    enum Side { Top = 1, Bottom = 2, Through = 3 };

    struct Track
    {
        Side side;
        QPolygonF points;
        double width;
    };
    struct Pad
    {
        Side side;
        QRectF rect; // the copper; a round pad is the ellipse in it
        bool round;
        double drill; // 0 for surface pads
        bool testPoint;
    };
    struct Via
    {
        QPointF centre;
        double diameter;
        double drill;
        bool ground; // joined to the bottom pour, so it gets no keep-out
    };
    struct SilkText
    {
        QPointF centre;
        QString text;
        double height;
        double rotation;
    };

    void addOutline();
    void addMountingHoles();
    void addController();
    void addConnectors();
    void addRegulator();
    void addPassives();
    void addGroundStitching();

    void addTrack(Side side, const QPolygonF &points, double width);
    void addPad(Side side, const QPointF &centre, const QSizeF &size, bool round = false, double drill = 0.0);
    void addVia(const QPointF &centre, double diameter = 0.6, double drill = 0.3);
    void addSilkBox(const QRectF &box);
    void addSilkText(const QPointF &centre, const QString &text, double height = 1.0, double rotation = 0.0);
    void addChip(const QString &refdes, const QPointF &centre, bool vertical);

    // Clearance of a point from every copper feature of a side (for the stitching vias).
    double clearance(const QPointF &p, Side side) const;

    QPolygonF outline;
    QList<Track> tracks;
    QList<Pad> pads;
    QList<Via> vias;
    QList<QPolygonF> silkLines; // open polylines
    QList<SilkText> silkTexts;
    QPolygonF bottomPour;
    QMap<QString, QPointF> landmarks;
};
