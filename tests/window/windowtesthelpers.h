#pragma once

// Helpers for driving the notes window through real events: button clicks, tool choices and
// mouse gestures on the graphics view's viewport.

#include "common/scripteddialogs.h"
#include "window/wdgnotes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGraphicsPixmapItem>
#include <QGraphicsView>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace WindowTest {

inline QAbstractButton *button(const WdgNotes &window, const QString &text)
{
    const QList<QAbstractButton *> all = window.findChildren<QAbstractButton *>();
    for (QAbstractButton *b : all) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

inline void click(const WdgNotes &window, const QString &text)
{
    QAbstractButton *b = button(window, text);
    QVERIFY2(b, qPrintable(text));
    QTest::mouseClick(b, Qt::LeftButton);
}

// The toolbar button that shows an action; clicking it is what a user does.
inline QToolButton *toolButton(const WdgNotes &window, QAction *action)
{
    const QList<QToolBar *> bars = window.findChildren<QToolBar *>();
    for (QToolBar *bar : bars) {
        if (auto *tb = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
            return tb;
    }
    return nullptr;
}

inline QAction *action(const WdgNotes &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

inline void clickAction(const WdgNotes &window, const char *name)
{
    QAction *a = action(window, name);
    QVERIFY2(a, name);
    QToolButton *tb = toolButton(window, a);
    QVERIFY2(tb, name);
    QTest::mouseClick(tb, Qt::LeftButton);
}

inline void mouse(QGraphicsView *view, QEvent::Type type, const QPointF &scenePos, Qt::MouseButton button,
                  Qt::MouseButtons buttons)
{
    const QPoint pos = view->mapFromScene(scenePos);
    QMouseEvent event(type, pos, view->viewport()->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &event);
}

inline void press(QGraphicsView *view, const QPointF &p, Qt::MouseButton b = Qt::LeftButton)
{
    mouse(view, QEvent::MouseButtonPress, p, b, b);
}

inline void moveTo(QGraphicsView *view, const QPointF &p, Qt::MouseButtons held = Qt::LeftButton)
{
    mouse(view, QEvent::MouseMove, p, Qt::NoButton, held);
}

inline void release(QGraphicsView *view, const QPointF &p, Qt::MouseButton b = Qt::LeftButton)
{
    mouse(view, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}

inline void drag(QGraphicsView *view, const QPointF &from, const QPointF &to)
{
    press(view, from);
    const QPointF step = (to - from) / 4.0;
    for (int i = 1; i <= 4; ++i)
        moveTo(view, from + step * i);
    release(view, to);
}

inline void clickAt(QGraphicsView *view, const QPointF &p, Qt::MouseButton b = Qt::LeftButton)
{
    press(view, p, b);
    release(view, p, b);
}

// An edit-mode window without a file, shown at a size that holds all its tools, over an empty
// clipboard. Callers wait for it to be exposed before sending events.
inline std::unique_ptr<WdgNotes> showEditWindow()
{
    QGuiApplication::clipboard()->clear();
    auto window = std::make_unique<WdgNotes>(QString(), 0);
    window->resize(1000, 700);
    window->show();
    return window;
}

// Adds a page through "New Note": Yes to the question, then the clipboard entry of the picture menu.
inline void addPage(WdgNotes &window, ScriptedDialogs &dialogs)
{
    dialogs.answers.enqueue(QMessageBox::Yes);
    dialogs.menuChoices.enqueue(QStringLiteral("Copy from Clipboard."));
    click(window, QStringLiteral("New Note"));
}

inline QImage testPicture(const QColor &color = Qt::darkCyan, const QSize &size = QSize(400, 300))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// A point of the shown page at a fraction of the visible viewport.
inline QPointF visiblePoint(QGraphicsView *view, double fx, double fy)
{
    const QSize size = view->viewport()->size();
    return view->mapToScene(QPoint(int(size.width() * fx), int(size.height() * fy)));
}

template <typename T> QList<T *> itemsOf(QGraphicsScene *scene);

// Adds a page as users have it: an opaque board picture larger than the view, under everything
// drawn on it. Answers the picture item.
inline QGraphicsPixmapItem *addPicturePage(WdgNotes &window, ScriptedDialogs &dialogs,
                                           const QColor &color = Qt::darkCyan)
{
    QGuiApplication::clipboard()->setImage(testPicture(color, QSize(1600, 1200)));
    addPage(window, dialogs);
    const QList<QGraphicsPixmapItem *> pictures = itemsOf<QGraphicsPixmapItem>(window.view()->scene());
    return pictures.isEmpty() ? nullptr : pictures.last();
}

template <typename T> QList<T *> itemsOf(QGraphicsScene *scene)
{
    QList<T *> found;
    if (!scene)
        return found;
    const QList<QGraphicsItem *> all = scene->items(Qt::AscendingOrder);
    for (QGraphicsItem *item : all) {
        if (item->type() == T::Type)
            found << static_cast<T *>(item);
    }
    return found;
}

} // namespace WindowTest
