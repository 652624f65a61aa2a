#pragma once

#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/notesconstants.h"
#include "scene/noteslineitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QColor>
#include <QFont>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QPen>
#include <QPointF>

class QGraphicsLineItem;
class QGraphicsPolygonItem;

// The drawing surface of one note page. It turns mouse gestures into annotation items and
// reports them through signals; it never touches the undo stack, the clipboard or the view.
class NotesScene : public QGraphicsScene
{
    Q_OBJECT

public:
    explicit NotesScene(QObject *parent = nullptr);
    ~NotesScene() override;

    Mode_t mode() const { return m_mode; }

    // Style of new items; colour and font also go to the first selected arrow or text item.
    void setLineColor(const QColor &color);
    void setTextColor(const QColor &color);
    void setFont(const QFont &font);
    void setLineWidth(int width);
    void setLineStyle(Qt::PenStyle style);

    QColor lineColor() const { return m_lineColor; }
    int lineWidth() const { return m_lineWidth; }
    Qt::PenStyle lineStyle() const { return m_lineStyle; }
    QColor textColor() const { return m_textColor; }
    QFont font() const { return m_font; }

    // True when a selected item has this type number.
    bool hasSelectedItemOfType(int type) const;

    // True while "Copy Frame to Clip Board" waits for the next release.
    bool isFrameCopyPending() const { return frameCopyPending; }

    // Takes the style of new items without restyling any item of the page.
    void adoptStyle(const NotesScene &other);

    // Ends a gesture in progress, as a mode change does: a drag's preview and guide line go, a
    // pending frame copy is dropped. With `abandonPolyLine` an unfinished polyline goes too.
    // True when there was something to end.
    bool cancelGesture(bool abandonPolyLine);
    // True while a drag or a polyline is being drawn.
    bool isGestureInProgress() const;

public slots:
    // A change of mode drops an unfinished drag gesture (its guide line and preview); a
    // polyline being clicked stays and is still finished by the space bar.
    void setMode(Mode_t mode);
    void editorLostFocus(NotesTextItem *item);
    void spaceBarPressed();

signals:
    void textInserted(QGraphicsTextItem *item);
    void itemSelected(QGraphicsItem *item);
    void arrowInserted(NotesArrow *item);
    void circleInserted(NotesCircleItem *item);
    void rectangleInserted(NotesRectangleItem *item);
    void polyLineInserted(NotesPolyLineItem *item);
    void freehandLineInserted(NotesLineItem *item);
    void copyToClipBoard();
    void copyAllToClipBoard();
    void setRubberBandSelection(QGraphicsView::DragMode mode);
    void copyFromClipBoard(QPointF pos);
    void itemMoved(QGraphicsItem *movedItem, QPointF movedFromPosition);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    void showPageMenu(const QPoint &screenPos);
    void placeText(const QPointF &pos);
    void dropGesture();
    void abandonPolyLine();
    // Previews follow the cursor; they are never selected, moved or hit by a press.
    static void makePreview(QGraphicsItem *item);
    template <class Item> void startFramedShape(Item *&preview, const QPointF &p);
    template <class Item> Item *finishFramedShape(Item *&preview);
    template <class Item, class Change> void changeFirstSelected(Change change);
    void discard(QGraphicsItem *item);

    Mode_t m_mode = SelectMove;
    QColor m_lineColor = Qt::black;
    int m_lineWidth = 3;
    Qt::PenStyle m_lineStyle = Qt::SolidLine;
    QColor m_textColor = Qt::black;
    QFont m_font;

    bool frameCopyPending = false;
    QPointF lastPressPos;
    QGraphicsItem *pressedItem = nullptr;
    QPointF pressedItemStartPos;
    // A left press in Select/Move may move pressedItem; only then does its release record a move.
    bool moveGesture = false;
    QGraphicsLineItem *guideLine = nullptr;
    NotesCircleItem *circlePreview = nullptr;
    NotesRectangleItem *rectanglePreview = nullptr;
    NotesLineItem *freehandPreview = nullptr;
    QGraphicsPolygonItem *polyLinePreview = nullptr;
};
