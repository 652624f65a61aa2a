#pragma once

// A NotesScene shown in a QGraphicsView, driven by real mouse events on the viewport the way
// a user drives it. Scene coordinates are mapped to viewport pixels; the fixed scene
// rectangle keeps the mapping a plain offset.

#include "scene/notesscene.h"

#include <QGraphicsView>
#include <QtTest>

class SceneView
{
public:
    SceneView()
    {
        scene.setSceneRect(0, 0, 400, 300);
        view.setScene(&scene);
        view.setMouseTracking(true);
        view.setDragMode(QGraphicsView::RubberBandDrag);
        view.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        view.resize(460, 360);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
    }

    QPoint at(const QPointF &scenePos) const { return view.mapFromScene(scenePos); }
    // Where a viewport pixel lands in the scene (for comparisons with what the scene saw).
    QPointF scenePoint(const QPointF &scenePos) const { return view.mapToScene(at(scenePos)); }

    void press(const QPointF &p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(view.viewport(), button, Qt::NoModifier, at(p));
    }
    void move(const QPointF &p) { QTest::mouseMove(view.viewport(), at(p)); }
    void release(const QPointF &p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(view.viewport(), button, Qt::NoModifier, at(p));
    }
    void click(const QPointF &p, Qt::MouseButton button = Qt::LeftButton)
    {
        press(p, button);
        release(p, button);
    }
    // A right click that opens a menu: the open menu takes the button's release, so the
    // view never sees it.
    void menuClick(const QPointF &p)
    {
        press(p, Qt::RightButton);
        QTest::mouseRelease(&menuStandIn, Qt::RightButton);
    }
    void drag(const QPointF &from, const QPointF &to, int steps = 4)
    {
        press(from);
        for (int i = 1; i <= steps; ++i)
            move(from + (to - from) * (double(i) / steps));
        release(to);
    }

    NotesScene scene;
    QGraphicsView view;
    QWidget menuStandIn;
};
