#include "scene/notesscene.h"

#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/noteslineitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notestextitem.h"

#include <QGraphicsSceneMouseEvent>

NotesScene::NotesScene(QObject *parent)
    : QGraphicsScene(parent)
{
}

NotesScene::~NotesScene() = default;

void NotesScene::setLineColor(const QColor &color)
{
    m_lineColor = color;
}
void NotesScene::setTextColor(const QColor &color)
{
    m_textColor = color;
}
void NotesScene::setFont(const QFont &font)
{
    m_font = font;
}
void NotesScene::setLineWidth(int width)
{
    m_lineWidth = width;
}
void NotesScene::setLineStyle(Qt::PenStyle style)
{
    m_lineStyle = style;
}

bool NotesScene::hasSelectedItemOfType(int type) const
{
    const QList<QGraphicsItem *> selected = selectedItems();
    for (QGraphicsItem *item : selected) {
        if (item->type() == type)
            return true;
    }
    return false;
}

void NotesScene::setMode(Mode_t mode)
{
    m_mode = mode;
}
void NotesScene::editorLostFocus(NotesTextItem *) {}
void NotesScene::spaceBarPressed() {}

void NotesScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene::mousePressEvent(event);
}
void NotesScene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene::mouseMoveEvent(event);
}
void NotesScene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene::mouseReleaseEvent(event);
}

void NotesScene::showPageMenu(const QPoint &) {}
void NotesScene::placeText(const QPointF &) {}
void NotesScene::dropGesture() {}
void NotesScene::discard(QGraphicsItem *) {}
