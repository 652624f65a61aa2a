#pragma once

#include "examples/generator/syntheticboard.h"
#include "io/dsvlayer.h"

#include <QGraphicsView>
#include <QList>
#include <QRectF>

// The host's board: drawn for the part in view at screen resolution, panned by dragging and
// zoomed with the wheel. Scene coordinates are board millimetres.
class BoardView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit BoardView(const SyntheticBoard &board, QWidget *parent = nullptr);

    // The layers drawn, with their colours; a layer not in the list is not drawn.
    void setLayers(const QList<DsvLayer> &layers);
    // The board rectangle the viewport shows.
    QRectF visibleRect() const;
    // Shows rect as large as the viewport allows.
    void zoomTo(const QRectF &rect);

signals:
    void spacePressed();

protected:
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    const SyntheticBoard &board;
    QList<DsvLayer> layers;
    // The whole board stays fitted to the view until the user pans or zooms.
    bool showingWholeBoard = true;
};
