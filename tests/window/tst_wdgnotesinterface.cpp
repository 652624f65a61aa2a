// The host-facing interface of the notes window (signals and slots in meta-object order),
// its widget states in both modes, and the contents of both toolbars.

#include "window/wdgnotes.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaMethod>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QtTest>

class TestWdgNotesInterface : public QObject
{
    Q_OBJECT

private slots:
    void metaObjectOrder_data();
    void metaObjectOrder();
    void metaObjectHasNoOtherMethods();

    void buttons_data();
    void buttons();
    void splitterFrames();
    void editorsAndTitle_data();
    void editorsAndTitle();
    void viewOnlyActions_data();
    void viewOnlyActions();
    void toolbarsHiddenOnlyInViewer();

    void mainToolbarOrder();
    void toolActions_data();
    void toolActions();
    void undoRedoActionsFollowStack();
    void viewSetup();
    void fontSizeEntries();
};

using Names = QList<QByteArray>;

void TestWdgNotesInterface::metaObjectOrder_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<Names>("types");
    QTest::addColumn<Names>("names");
    QTest::addColumn<QByteArray>("returnType");

    const int S = QMetaMethod::Signal;
    const int L = QMetaMethod::Slot;
    int i = 0;
    auto row = [&](int kind, const char *name, Names types, Names names, const char *ret = "void") {
        QTest::addRow("%d %s", i, name) << i << kind << QByteArray(name) << types << names << QByteArray(ret);
        ++i;
    };
    row(S, "createImage", {}, {});
    row(S, "showNotePos", {"QRectF", "QList<DsvLayer>"}, {"", ""});
    row(S, "spaceBarPressed", {}, {});
    row(L, "updateButtons", {"int"}, {"row"});
    row(L, "createdImage", {"QPixmap*", "QList<DsvLayer>", "QRectF"}, {"", "", ""});
    row(L, "addNewNote", {}, {});
    row(L, "deleteNote", {}, {});
    row(L, "onSaveUrf", {}, {});
    row(L, "toSaveImages", {}, {});
    row(L, "onDrawArrow", {"bool"}, {""});
    row(L, "removeSelectedItems", {}, {});
    row(L, "arrowColorChanged", {"QAction*"}, {"act"});
    row(L, "fontColorChanged", {"QAction*"}, {"act"});
    row(L, "createColorActionIcon", {"QString", "QColor"}, {"imageFile", "color"}, "QIcon");
    row(L, "createLinewidthActionIcon", {"QString", "int"}, {"imageFile", "width"}, "QIcon");
    row(L, "createLinestyleActionIcon", {"QString", "Qt::PenStyle"}, {"imageFile", ""}, "QIcon");
    row(L, "createColorIcon", {"QColor"}, {"color"}, "QIcon");
    row(L, "pointerGroupClicked", {"QAction*"}, {""});
    row(L, "currentFontChanged", {"QFont"}, {""});
    row(L, "fontSizeChanged", {"int"}, {"index"});
    row(L, "textColorChanged", {}, {});
    row(L, "lineWidthChanged", {}, {});
    row(L, "lineStyleChanged", {}, {});
    row(L, "handleFontChanged", {}, {});
    row(L, "itemSelected", {"QGraphicsItem*"}, {""});
    row(L, "textInserted", {"QGraphicsTextItem*"}, {""});
    row(L, "arrowInserted", {"NotesArrow*"}, {""});
    row(L, "circleInserted", {"NotesCircleItem*"}, {""});
    row(L, "rectangleInserted", {"NotesRectangleItem*"}, {""});
    row(L, "polyLineInserted", {"NotesPolyLineItem*"}, {""});
    row(L, "freehandLineInserted", {"NotesLineItem*"}, {""});
    row(L, "drawScene", {"int"}, {""});
    row(L, "loadExistingNotes", {}, {});
    row(L, "saveNotesAs", {}, {});
    row(L, "cleanNotes", {}, {}, "bool");
    row(L, "copyToClipBoard", {}, {});
    row(L, "copyAllToClipBoard", {}, {});
    row(L, "rubberBandChanged", {"QRect", "QPointF", "QPointF"}, {"", "", ""});
    row(L, "setRubberBandSelection", {"QGraphicsView::DragMode"}, {""});
    row(L, "shrinkToItems", {}, {});
    row(L, "setSendView", {"bool"}, {""});
    row(L, "copyFromClipBoard", {"QPointF"}, {"pos"});
    row(L, "onExportToPdf", {}, {});
    row(L, "itemMoved", {"QGraphicsItem*", "QPointF"}, {"movedItem", "oldPosition"});
    row(L, "rotateText", {"QGraphicsItem*", "double"}, {"", ""});
    row(L, "dina4Rect", {}, {}, "QRectF");
}

void TestWdgNotesInterface::metaObjectOrder()
{
    QFETCH(int, index);
    QFETCH(int, kind);
    QFETCH(QByteArray, name);
    QFETCH(Names, types);
    QFETCH(Names, names);
    QFETCH(QByteArray, returnType);

    const QMetaObject &mo = WdgNotes::staticMetaObject;
    QVERIFY(mo.methodOffset() + index < mo.methodCount());
    const QMetaMethod method = mo.method(mo.methodOffset() + index);
    QCOMPARE(method.name(), name);
    QCOMPARE(int(method.methodType()), kind);
    QCOMPARE(method.access(), QMetaMethod::Public);
    QCOMPARE(method.parameterTypes(), types);
    // Parameters the class leaves unnamed have no name in the meta-object either.
    QCOMPARE(method.parameterNames(), names);
    QCOMPARE(QByteArray(method.typeName()), returnType);
}

void TestWdgNotesInterface::metaObjectHasNoOtherMethods()
{
    const QMetaObject &mo = WdgNotes::staticMetaObject;
    QCOMPARE(mo.methodCount() - mo.methodOffset(), 46);
    QCOMPARE(QByteArray(mo.superClass()->className()), QByteArray("QWidget"));
    // Every parameter type is known to the meta-type system, so queued use by a host works.
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        const QMetaMethod method = mo.method(i);
        for (int p = 0; p < method.parameterCount(); ++p)
            QVERIFY2(method.parameterMetaType(p).isValid(), method.methodSignature().constData());
    }
}

void TestWdgNotesInterface::buttons_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("viewerEnabled");
    QTest::addColumn<bool>("editEnabled");
    QTest::addColumn<int>("position"); // in the button column, top to bottom

    QTest::newRow("load") << "Load existing Notes" << true << true << 0;
    QTest::newRow("save") << "Save Notes as..." << false << true << 1;
    QTest::newRow("previous") << "Previous" << false << false << 2;
    QTest::newRow("next") << "Next" << false << false << 3;
    QTest::newRow("new") << "New Note" << false << true << 4;
    QTest::newRow("delete") << "Delete this Note" << false << true << 5;
    QTest::newRow("clear") << "Clear all Notes" << false << true << 6;
    QTest::newRow("first") << "First Note" << true << true << 7;
    QTest::newRow("last") << "Last Note" << true << true << 8;
    QTest::newRow("urf") << "Save URF-Data" << true << true << 9;
    QTest::newRow("images") << "Save Images" << true << true << 10;
    QTest::newRow("hide") << "Hide Window" << false << true << 11;
    QTest::newRow("send") << "Send View Parameter" << false << true << 12;
}

void TestWdgNotesInterface::buttons()
{
    QFETCH(QString, text);
    QFETCH(bool, viewerEnabled);
    QFETCH(bool, editEnabled);
    QFETCH(int, position);

    for (int viewOnly : {1, 0}) {
        WdgNotes window(QString(), viewOnly);
        QAbstractButton *found = nullptr;
        const QList<QAbstractButton *> all = window.findChildren<QAbstractButton *>();
        for (QAbstractButton *button : all) {
            if (button->text() == text)
                found = button;
        }
        QVERIFY2(found, qPrintable(text));
        QCOMPARE(found->isEnabled(), viewOnly ? viewerEnabled : editEnabled);
        if (auto *check = qobject_cast<QCheckBox *>(found))
            QVERIFY(!check->isChecked());

        // The window's layout: the splitter, then the button column in the order of the table.
        auto *windowLayout = qobject_cast<QHBoxLayout *>(window.layout());
        QVERIFY(windowLayout);
        QCOMPARE(windowLayout->count(), 2);
        auto *column = qobject_cast<QVBoxLayout *>(windowLayout->itemAt(1)->layout());
        QVERIFY(column);
        QCOMPARE(column->count(), 13);
        QCOMPARE(column->indexOf(found), position);
    }
}

void TestWdgNotesInterface::splitterFrames()
{
    WdgNotes window(QString(), 0);
    auto *splitter = qobject_cast<QSplitter *>(window.layout()->itemAt(0)->widget());
    QVERIFY(splitter);
    QCOMPARE(splitter->orientation(), Qt::Horizontal);
    QCOMPARE(splitter->count(), 2);

    // Left: the title row above the drawing column.
    auto *left = qobject_cast<QVBoxLayout *>(splitter->widget(0)->layout());
    QVERIFY(left);
    QCOMPARE(left->count(), 2);
    auto *titleRow = qobject_cast<QHBoxLayout *>(left->itemAt(0)->layout());
    QVERIFY(titleRow);
    QCOMPARE(titleRow->count(), 2);
    auto *label = qobject_cast<QLabel *>(titleRow->itemAt(0)->widget());
    QVERIFY(label);
    QCOMPARE(label->text(), QString("Title"));
    QCOMPARE(titleRow->itemAt(1)->widget(), window.findChild<QLineEdit *>("titleEdit"));
    auto *drawing = qobject_cast<QVBoxLayout *>(left->itemAt(1)->layout());
    QVERIFY(drawing);
    QCOMPARE(drawing->count(), 3);
    QCOMPARE(drawing->itemAt(0)->widget(), window.findChild<QToolBar *>("mainToolbar"));
    QCOMPARE(drawing->itemAt(1)->widget(), window.findChild<QToolBar *>("pointerToolbar"));
    QCOMPARE(drawing->itemAt(2)->widget(), window.view());

    // Right: date above comment.
    auto *right = qobject_cast<QVBoxLayout *>(splitter->widget(1)->layout());
    QVERIFY(right);
    QCOMPARE(right->count(), 2);
    QCOMPARE(right->itemAt(0)->widget(), window.findChild<QLineEdit *>("dateEdit"));
    QCOMPARE(right->itemAt(1)->widget(), window.findChild<QTextEdit *>("commentEdit"));
}

void TestWdgNotesInterface::editorsAndTitle_data()
{
    QTest::addColumn<int>("viewOnly");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("title");
    QTest::newRow("viewer") << 1 << true << "Quillmark Version 7.0.0";
    QTest::newRow("edit") << 0 << false << "";
}

void TestWdgNotesInterface::editorsAndTitle()
{
    QFETCH(int, viewOnly);
    QFETCH(bool, readOnly);
    QFETCH(QString, title);

    WdgNotes window(QString(), viewOnly);
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(window.findChild<QLineEdit *>("titleEdit")->isReadOnly(), readOnly);
    QCOMPARE(window.findChild<QTextEdit *>("commentEdit")->isReadOnly(), readOnly);
    QVERIFY(window.findChild<QLineEdit *>("dateEdit")->isReadOnly());
    QCOMPARE(window.isViewOnly(), bool(viewOnly));
    QCOMPARE(window.model()->rowCount(), 0);
    QVERIFY(!window.view()->scene());
}

void TestWdgNotesInterface::viewOnlyActions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("viewerEnabled");
    const char *disabled[] = {"removeAction",    "boldAction",        "italicAction",    "underlineAction",
                              "textColorAction", "figureColorAction", "lineWidthAction", "lineStyleAction"};
    for (const char *name : disabled)
        QTest::newRow(name) << QString::fromLatin1(name) << false;
    QTest::newRow("exportPdfAction") << "exportPdfAction" << true;
    QTest::newRow("shrinkAction") << "shrinkAction" << true;
}

void TestWdgNotesInterface::viewOnlyActions()
{
    QFETCH(QString, name);
    QFETCH(bool, viewerEnabled);
    WdgNotes viewer(QString(), 1);
    WdgNotes editor(QString(), 0);
    QAction *inViewer = viewer.findChild<QAction *>(name);
    QAction *inEditor = editor.findChild<QAction *>(name);
    QVERIFY(inViewer && inEditor);
    QCOMPARE(inViewer->isEnabled(), viewerEnabled);
    QVERIFY(inEditor->isEnabled());
}

void TestWdgNotesInterface::toolbarsHiddenOnlyInViewer()
{
    WdgNotes viewer(QString(), 1);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    auto *main = viewer.findChild<QToolBar *>("mainToolbar");
    auto *tools = viewer.findChild<QToolBar *>("pointerToolbar");
    QVERIFY(main->isHidden());
    QVERIFY(tools->isHidden());
    QVERIFY(!tools->isEnabled());
    QVERIFY(!viewer.findChild<QFontComboBox *>("fontCombo")->isEnabled());
    QVERIFY(!viewer.findChild<QComboBox *>("fontSizeCombo")->isEnabled());
    // The stack's own actions: disabled in the viewer even when there would be something to undo.
    QVERIFY(!viewer.findChild<QAction *>("undoAction")->isEnabled());
    QVERIFY(!viewer.findChild<QAction *>("redoAction")->isEnabled());

    WdgNotes editor(QString(), 0);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QVERIFY(editor.findChild<QToolBar *>("mainToolbar")->isVisible());
    QVERIFY(editor.findChild<QToolBar *>("pointerToolbar")->isVisible());
    QVERIFY(editor.findChild<QToolBar *>("pointerToolbar")->isEnabled());
    QCOMPARE(editor.findChild<QToolBar *>("mainToolbar")->windowTitle(), QString("NotesToolbar"));
    QCOMPARE(editor.findChild<QToolBar *>("pointerToolbar")->windowTitle(), QString("Pointer Type"));
}

void TestWdgNotesInterface::mainToolbarOrder()
{
    WdgNotes window(QString(), 0);
    auto *toolbar = window.findChild<QToolBar *>("mainToolbar");
    QCOMPARE(toolbar->iconSize(), QSize(24, 24));

    struct Expected
    {
        const char *text;
        const char *toolTip;
        bool checkable;
        bool hasMenu;
    };
    // nullptr text marks the two font boxes, which sit on the toolbar as widgets.
    const Expected expected[] = {
        {"", "Export Notes to PDF", false, false},
        {"Shrink", "Shrink", false, false},
        {"Remove", "Remove", false, false},
        {nullptr, nullptr, false, false},
        {nullptr, nullptr, false, false},
        {"Bold", "Bold", true, false},
        {"Italic", "Italic", true, false},
        {"Underline", "Underline", true, false},
        {"", "TextColor", false, true},
        {"", "Figure Color", false, true},
        {"", "LineWidth", false, true},
        {"", "LineStyle", false, true},
        {"Undo", "Undo", false, false},
        {"Redo", "Redo", false, false},
    };
    const QList<QAction *> actions = toolbar->actions();
    QCOMPARE(actions.size(), int(std::size(expected)));
    for (int i = 0; i < actions.size(); ++i) {
        QAction *action = actions.at(i);
        const Expected &e = expected[i];
        if (!e.text) {
            QWidget *widget = toolbar->widgetForAction(action);
            QVERIFY(widget);
            QCOMPARE(bool(qobject_cast<QFontComboBox *>(widget)), i == 3);
            QVERIFY(qobject_cast<QComboBox *>(widget));
            continue;
        }
        QCOMPARE(action->text(), QString::fromLatin1(e.text));
        QCOMPARE(action->toolTip(), QString::fromLatin1(e.toolTip));
        QCOMPARE(action->isCheckable(), e.checkable);
        QCOMPARE(action->menu() != nullptr, e.hasMenu);
        QVERIFY2(!action->icon().isNull(), e.toolTip);
    }
}

void TestWdgNotesInterface::toolActions_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("checked");
    QTest::newRow("select") << 0 << "Select/Move" << 2 << true;
    QTest::newRow("arrow") << 1 << "Add Arrow" << 0 << false;
    QTest::newRow("text") << 2 << "Add Text" << 1 << false;
    QTest::newRow("circle") << 3 << "Add Circle" << 3 << false;
    QTest::newRow("rectangle") << 4 << "Add Rectangle" << 4 << false;
    QTest::newRow("polyline") << 5 << "Add Poly Line" << 5 << false;
    QTest::newRow("freehand") << 6 << "Add Free Line" << 6 << false;
}

void TestWdgNotesInterface::toolActions()
{
    QFETCH(int, position);
    QFETCH(QString, toolTip);
    QFETCH(int, mode);
    QFETCH(bool, checked);

    WdgNotes window(QString(), 0);
    auto *toolbar = window.findChild<QToolBar *>("pointerToolbar");
    auto *group = window.findChild<QActionGroup *>("pointerGroup");
    QCOMPARE(toolbar->actions().size(), 7);
    QCOMPARE(group->actions().size(), 7);
    QVERIFY(group->isExclusive());
    QAction *action = toolbar->actions().at(position);
    QCOMPARE(group->actions().at(position), action);
    QVERIFY(action->text().isEmpty());
    QCOMPARE(action->toolTip(), toolTip);
    QCOMPARE(action->data().metaType(), QMetaType::fromType<int>());
    QCOMPARE(action->data().toInt(), mode);
    QVERIFY(action->isCheckable());
    QCOMPARE(action->isChecked(), checked);
    QVERIFY(!action->icon().isNull());
    QVERIFY(action->shortcut().isEmpty());
}

void TestWdgNotesInterface::undoRedoActionsFollowStack()
{
    WdgNotes window(QString(), 0);
    QAction *undo = window.findChild<QAction *>("undoAction");
    QAction *redo = window.findChild<QAction *>("redoAction");
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());

    window.undoHistory()->push(new QUndoCommand); // a command without text
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), QString("Undo"));
    undo->trigger();
    QVERIFY(redo->isEnabled());
    QVERIFY(!undo->isEnabled());
    QCOMPARE(redo->text(), QString("Redo"));
}

void TestWdgNotesInterface::viewSetup()
{
    WdgNotes window(QString(), 0);
    QGraphicsView *view = window.view();
    QVERIFY(view->hasMouseTracking());
    QCOMPARE(view->minimumSize(), QSize(600, 300));
    QVERIFY(view->renderHints().testFlag(QPainter::Antialiasing));
    QCOMPARE(view->dragMode(), QGraphicsView::RubberBandDrag);
    QCOMPARE(view->viewportUpdateMode(), QGraphicsView::FullViewportUpdate);
    QCOMPARE(window.findChild<QTextEdit *>("commentEdit")->minimumSize(), QSize(200, 300));
    QVERIFY(!window.isToolLocked());
}

void TestWdgNotesInterface::fontSizeEntries()
{
    WdgNotes window(QString(), 0);
    auto *sizes = window.findChild<QComboBox *>("fontSizeCombo");
    QStringList texts;
    for (int i = 0; i < sizes->count(); ++i) {
        texts << sizes->itemText(i);
        QVERIFY(!sizes->itemData(i).isValid());
    }
    QCOMPARE(texts, QStringList({"8", "10", "12", "14", "16", "18", "20", "22", "24", "26", "28", "30", "32",
                                 "34", "36", "38", "40"}));
    QCOMPARE(sizes->currentText(), QString("8"));
    QCOMPARE(window.findChild<QFontComboBox *>("fontCombo")->maximumWidth(), 100);
}

QTEST_MAIN(TestWdgNotesInterface)
#include "tst_wdgnotesinterface.moc"
