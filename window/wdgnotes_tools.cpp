// Toolbar actions, the drawing tools and the undo history of the notes window.

#include "window/wdgnotes.h"

#include "scene/notesconstants.h"
#include "scene/wdgaddcommand.h"
#include "scene/wdgdeletecommand.h"
#include "scene/wdgmovecommand.h"
#include "scene/wdgrotatecommand.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QComboBox>
#include <QFontComboBox>
#include <QGraphicsTextItem>
#include <QKeyEvent>
#include <QToolBar>
#include <QUndoStack>

void WdgNotes::createActions()
{
    exportPdfAction = new QAction(QIcon(QStringLiteral(":/Images/Images/file_pdf.png")), QString(), this);
    exportPdfAction->setObjectName(QStringLiteral("exportPdfAction"));
    exportPdfAction->setToolTip(tr("Export Notes to PDF"));
    connect(exportPdfAction, &QAction::triggered, this, &WdgNotes::onExportToPdf);

    // This one path has no slash after the colon; it is used as it stands.
    shrinkAction = new QAction(QIcon(QStringLiteral(":Images/Images/repaint.png")), tr("Shrink"), this);
    shrinkAction->setObjectName(QStringLiteral("shrinkAction"));
    connect(shrinkAction, &QAction::triggered, this, &WdgNotes::shrinkToItems);

    removeAction = new QAction(QIcon(QStringLiteral(":/Images/Images/remove.png")), tr("Remove"), this);
    removeAction->setObjectName(QStringLiteral("removeAction"));
    connect(removeAction, &QAction::triggered, this, &WdgNotes::removeSelectedItems);

    undoAction = undoStack->createUndoAction(this, tr("Undo"));
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setIcon(QIcon(QStringLiteral(":/Images/Images/Undo.png")));
    undoAction->setToolTip(tr("Undo"));

    redoAction = undoStack->createRedoAction(this, tr("Redo"));
    redoAction->setObjectName(QStringLiteral("redoAction"));
    redoAction->setIcon(QIcon(QStringLiteral(":/Images/Images/Redo.png")));
    redoAction->setToolTip(tr("Redo"));
}

void WdgNotes::createToolActions()
{
    pointerGroup = new QActionGroup(this);
    pointerGroup->setObjectName(QStringLiteral("pointerGroup"));
    pointerGroup->setExclusive(true);

    auto makeTool = [this](const QString &toolTip, const QString &icon, Mode_t mode, const char *name) {
        auto *action = new QAction(QIcon(icon), QString(), this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(toolTip);
        action->setCheckable(true);
        action->setData(int(mode));
        pointerGroup->addAction(action);
        return action;
    };

    selectMoveAction = makeTool(tr("Select/Move"), QStringLiteral(":/Images/Images/pointer.png"), SelectMove,
                                "selectMoveAction");
    addArrowAction =
        makeTool(tr("Add Arrow"), QStringLiteral(":/Images/Images/Arrow.png"), InsertArrow, "addArrowAction");
    addTextAction = makeTool(tr("Add Text"), QStringLiteral(":/Images/Images/textpointer.png"), InsertText,
                             "addTextAction");
    addCircleAction = makeTool(tr("Add Circle"), QStringLiteral(":/Images/Images/Circle.png"), InsertCircle,
                               "addCircleAction");
    addRectangleAction = makeTool(tr("Add Rectangle"), QStringLiteral(":/Images/Images/Roundedrectangle.png"),
                                  InsertRectangle, "addRectangleAction");
    addPolyLineAction = makeTool(tr("Add Poly Line"), QStringLiteral(":/Images/Images/Line.png"),
                                 InsertPolyLine, "addPolyLineAction");
    addFreeLineAction = makeTool(tr("Add Free Line"), QStringLiteral(":/Images/Images/Curve.png"),
                                 InsertFreehandLine, "addFreeLineAction");
    selectMoveAction->setChecked(true);

    connect(pointerGroup, &QActionGroup::triggered, this, &WdgNotes::pointerGroupClicked);

}

void WdgNotes::createKeys()
{
    // Shortcuts of actions work only where an associated widget has the focus: the window.
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction->setShortcut(QKeySequence::Redo);
    for (QAction *action : {undoAction, redoAction}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    // The tool lock that the L key toggles is shown in a corner of the page while it is on.
    toolLockLabel = new QLabel(tr("Tool locked (L)"), notesView);
    toolLockLabel->setObjectName(QStringLiteral("toolLockLabel"));
    toolLockLabel->setStyleSheet(QStringLiteral("background: #ffffe0; border: 1px solid gray; padding: 2px;"));
    toolLockLabel->move(6, 6);
    toolLockLabel->adjustSize();
    toolLockLabel->hide();
    // The page mapper's delegate filters the view's keys and takes Escape; a filter installed
    // after it is asked first.
    notesView->installEventFilter(this);
}

bool WdgNotes::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != notesView || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    NotesScene *scene = currentScene();
    if (!scene)
        return QWidget::eventFilter(watched, event);
    // Text being typed keeps its keys.
    const auto *text = dynamic_cast<const QGraphicsTextItem *>(scene->focusItem());
    if (text && (text->textInteractionFlags() & Qt::TextEditable))
        return QWidget::eventFilter(watched, event);

    if (key->key() == Qt::Key_Escape && scene->isGestureInProgress()) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // delivered as a key press, to this filter
            return true;
        }
        scene->cancelGesture(true);
        return true;
    }
    if ((key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) && !viewOnly &&
        key->modifiers() == Qt::NoModifier) {
        if (event->type() == QEvent::KeyPress)
            removeAction->trigger();
        else
            event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void WdgNotes::fillToolbars()
{
    mainToolbar->addAction(exportPdfAction);
    mainToolbar->addAction(shrinkAction);
    mainToolbar->addAction(removeAction);
    mainToolbar->addWidget(fontCombo);
    mainToolbar->addWidget(fontSizeCombo);
    mainToolbar->addAction(boldAction);
    mainToolbar->addAction(italicAction);
    mainToolbar->addAction(underlineAction);
    mainToolbar->addAction(textColorAction);
    mainToolbar->addAction(figureColorAction);
    mainToolbar->addAction(lineWidthAction);
    mainToolbar->addAction(lineStyleAction);
    mainToolbar->addAction(undoAction);
    mainToolbar->addAction(redoAction);

    for (QAction *tool : pointerGroup->actions())
        pointerToolbar->addAction(tool);

}

void WdgNotes::pointerGroupClicked(QAction *action)
{
    if (NotesScene *scene = currentScene(); scene && action)
        scene->setMode(static_cast<Mode_t>(action->data().toInt()));
}

void WdgNotes::onDrawArrow(bool on)
{
    if (NotesScene *scene = currentScene())
        scene->setMode(on ? InsertArrow : SelectMove);
}

void WdgNotes::removeSelectedItems()
{
    NotesScene *scene = currentScene();
    if (!scene || scene->selectedItems().isEmpty())
        return;
    undoStack->push(new WdgDeleteCommand(scene));
}

void WdgNotes::syncSceneModeWithTool()
{
    if (NotesScene *scene = currentScene()) {
        if (QAction *checked = pointerGroup->checkedAction())
            scene->setMode(static_cast<Mode_t>(checked->data().toInt()));
    }
}

void WdgNotes::shapeInserted(QGraphicsItem *item)
{
    if (!toolLock)
        selectMoveAction->setChecked(true);
    syncSceneModeWithTool();
    // An abandoned polyline arrives as a null item: nothing was drawn, nothing to undo.
    if (item && item->scene())
        undoStack->push(new WdgAddCommand(item));
}

void WdgNotes::arrowInserted(NotesArrow *item)
{
    shapeInserted(item);
}

void WdgNotes::circleInserted(NotesCircleItem *item)
{
    shapeInserted(item);
}

void WdgNotes::rectangleInserted(NotesRectangleItem *item)
{
    shapeInserted(item);
}

void WdgNotes::polyLineInserted(NotesPolyLineItem *item)
{
    shapeInserted(item);
}

void WdgNotes::freehandLineInserted(NotesLineItem *item)
{
    shapeInserted(item);
}

void WdgNotes::textInserted(QGraphicsTextItem *item)
{
    if (item) {
        item->setSelected(true);
        item->setFocus(Qt::OtherFocusReason);
        if (auto *textItem = dynamic_cast<NotesTextItem *>(item))
            connect(textItem, &NotesTextItem::rotateText, this, &WdgNotes::rotateText, Qt::UniqueConnection);
    }
    // Text is typed right after placing it, so the tool never stays on "Add Text".
    selectMoveAction->setChecked(true);
    syncSceneModeWithTool();
}

void WdgNotes::itemMoved(QGraphicsItem *movedItem, QPointF oldPosition)
{
    if (movedItem)
        undoStack->push(new WdgMoveCommand(movedItem, oldPosition));
}

void WdgNotes::rotateText(QGraphicsItem *item, double angle)
{
    if (item)
        undoStack->push(new WdgRotateCommand(item, angle));
}

void WdgNotes::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        emit spaceBarPressed();
        break;
    case Qt::Key_L:
        toolLock = !toolLock;
        toolLockLabel->setVisible(toolLock);
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}
