#include "examples/host/boardview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {
constexpr double WheelStep = 1.25;
constexpr double MarginMm = 5.0;
} // namespace

BoardView::BoardView(const SyntheticBoard &board, QWidget *parent)
    : QGraphicsView(parent)
    , board(board)
{
    auto *scene = new QGraphicsScene(this);
    scene->setSceneRect(board.extent().adjusted(-MarginMm, -MarginMm, MarginMm, MarginMm));
    setScene(scene);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setBackgroundBrush(QColor(24, 32, 24));
}

void BoardView::setLayers(const QList<DsvLayer> &shown)
{
    layers = shown;
    viewport()->update();
}

QRectF BoardView::visibleRect() const
{
    return mapToScene(viewport()->rect()).boundingRect();
}

void BoardView::zoomTo(const QRectF &rect)
{
    if (rect.isEmpty())
        return;
    showingWholeBoard = false;
    fitInView(rect, Qt::KeepAspectRatio);
}

void BoardView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    if (showingWholeBoard)
        fitInView(board.extent(), Qt::KeepAspectRatio);
}

void BoardView::mousePressEvent(QMouseEvent *event)
{
    showingWholeBoard = false;
    QGraphicsView::mousePressEvent(event);
}

void BoardView::drawBackground(QPainter *painter, const QRectF &rect)
{
    QGraphicsView::drawBackground(painter, rect);
    // One picture per paint at the device's resolution: sharp at every zoom.
    const QSize size = painter->transform().mapRect(rect).toAlignedRect().size();
    if (size.isEmpty() || size.width() > 8192 || size.height() > 8192)
        return;
    painter->drawImage(rect, board.render(rect, size, layers));
}

void BoardView::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    const double factor = std::pow(WheelStep, steps);
    const double scale = transform().m11() * factor;
    // From the whole board to a few pads.
    if (steps == 0.0 || scale < 0.5 || scale > 400.0)
        return;
    showingWholeBoard = false;
    this->scale(factor, factor);
}

void BoardView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        emit spacePressed();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}
