// NotesTextItem: placement and focus handling with its scene, double click, context menu through
// the dialog seam, paste, text direction and the removal of items left empty.

#include "common/scripteddialogs.h"
#include "scene/notestextitem.h"
#include "sceneview.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMimeData>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Places a text item the way a user does (text tool, click) and focuses it the way the
// window does on `textInserted`.
NotesTextItem *placeText(SceneView &v, const QPointF &p)
{
    v.scene.setMode(InsertText);
    QObject context;
    NotesTextItem *placed = nullptr;
    QObject::connect(&v.scene, &NotesScene::textInserted, &context, [&](QGraphicsTextItem *item) {
        placed = qgraphicsitem_cast<NotesTextItem *>(item);
        item->setFocus();
        v.scene.setMode(SelectMove);
    });
    v.click(p);
    return placed;
}

// A right click on the item: the press, the view's context-menu request, the release.
void contextClick(SceneView &v, const QPointF &p, QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse)
{
    const QPoint pos = v.at(p);
    v.press(p, Qt::RightButton);
    QContextMenuEvent event(reason, pos, v.view.viewport()->mapToGlobal(pos));
    QApplication::sendEvent(v.view.viewport(), &event);
    v.release(p, Qt::RightButton);
}

void doubleClick(SceneView &v, const QPointF &p)
{
    v.click(p);
    const QPoint pos = v.at(p);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, pos, v.view.viewport()->mapToGlobal(pos), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.view.viewport(), &dbl);
    v.release(p);
}

const QStringList baseEntries{QStringLiteral("Paste"), QStringLiteral("Set Text Vertical"),
                              QStringLiteral("Set Text Horizontal")};

} // namespace

class TestNotesTextItem : public QObject
{
    Q_OBJECT

private slots:
    void constructor();
    void placedItemTakesTyping();
    void untypedItemRemovedOnFocusLoss();
    void typedItemStaysAndStopsEditing();
    void focusLossClearsTextSelection();
    void doubleClickStartsEditing();
    void doubleClickWhileEditingKeepsFlags();
    void selectedChangeOncePerChange();
    void contextMenuEntries_data();
    void contextMenuEntries();
    void keyboardContextMenuIgnored();
    void menuUndoRedoUseDocumentHistory();
    void pasteReplacesContent_data();
    void pasteReplacesContent();
    void pastedDocumentsBelongToItem();
    void pastedHtmlReadsNoLocalFile();
    void textDirection_data();
    void textDirection();
    void pageDeletedWhileEditing_data();
    void pageDeletedWhileEditing();
};

void TestNotesTextItem::constructor()
{
    NotesTextItem item;
    QCOMPARE(item.type(), 66136);
    QVERIFY(item.flags().testFlag(QGraphicsItem::ItemIsMovable));
    QVERIFY(item.flags().testFlag(QGraphicsItem::ItemIsSelectable));
    QVERIFY(!item.flags().testFlag(QGraphicsItem::ItemIsFocusable));
    QCOMPARE(item.textInteractionFlags(), Qt::NoTextInteraction);
    QCOMPARE(item.rotation(), 0.0);
    QCOMPARE(item.zValue(), 0.0);
}

void TestNotesTextItem::placedItemTakesTyping()
{
    SceneView v;
    NotesTextItem *item = placeText(v, {100, 100});
    QVERIFY(item);
    QVERIFY(item->hasFocus());
    QVERIFY(item->isSelected());
    QTest::keyClicks(v.view.viewport(), QStringLiteral("Via"));
    QCOMPARE(item->toPlainText().trimmed(), QStringLiteral("Via"));
}

void TestNotesTextItem::untypedItemRemovedOnFocusLoss()
{
    SceneView v;
    QPointer<NotesTextItem> item = placeText(v, {100, 100});
    QVERIFY(item);
    QSignalSpy lost(item.data(), &NotesTextItem::lostFocus);
    v.click({300, 250}); // elsewhere on the page
    QCOMPARE(lost.size(), 1);
    QCOMPARE(lost.first().first().value<NotesTextItem *>(), item.data());
    // Out of the scene at once, deleted once the event loop runs.
    QVERIFY(v.scene.items().isEmpty());
    QVERIFY(item);
    processDeferredDeletes();
    QVERIFY(item.isNull());
}

void TestNotesTextItem::typedItemStaysAndStopsEditing()
{
    SceneView v;
    QPointer<NotesTextItem> item = placeText(v, {100, 100});
    QTest::keyClicks(v.view.viewport(), QStringLiteral("R12"));
    v.click({300, 250});
    processDeferredDeletes();
    QVERIFY(item);
    QCOMPARE(v.scene.items(), QList<QGraphicsItem *>{item.data()});
    QCOMPARE(item->textInteractionFlags(), Qt::NoTextInteraction);
    QCOMPARE(item->toPlainText().trimmed(), QStringLiteral("R12"));

    // Typed away again, the emptied item goes as well.
    doubleClick(v, item->pos() + QPointF(5, 5));
    QVERIFY(item->hasFocus());
    QTextCursor cursor = item->textCursor();
    cursor.select(QTextCursor::Document);
    item->setTextCursor(cursor);
    QTest::keyClick(v.view.viewport(), Qt::Key_Delete);
    v.click({300, 250});
    processDeferredDeletes();
    QVERIFY(item.isNull());
}

void TestNotesTextItem::focusLossClearsTextSelection()
{
    SceneView v;
    NotesTextItem *item = placeText(v, {100, 100});
    QTest::keyClicks(v.view.viewport(), QStringLiteral("Hello"));
    QTextCursor cursor = item->textCursor();
    cursor.select(QTextCursor::Document);
    item->setTextCursor(cursor);
    QVERIFY(item->textCursor().hasSelection());
    const int position = item->textCursor().position();
    v.click({300, 250});
    QVERIFY(!item->textCursor().hasSelection());
    QCOMPARE(item->textCursor().position(), position);
}

void TestNotesTextItem::doubleClickStartsEditing()
{
    SceneView v;
    auto *item = new NotesTextItem();
    item->setPlainText(QStringLiteral("Double"));
    item->setPos(50, 50);
    v.scene.addItem(item);
    doubleClick(v, {60, 58});
    QCOMPARE(int(item->textInteractionFlags()), 19);
    QVERIFY(item->hasFocus());
}

void TestNotesTextItem::doubleClickWhileEditingKeepsFlags()
{
    SceneView v;
    NotesTextItem *item = placeText(v, {50, 50});
    QTest::keyClicks(v.view.viewport(), QStringLiteral("Edit"));
    QCOMPARE(int(item->textInteractionFlags()), 16);
    doubleClick(v, {58, 58});
    QCOMPARE(int(item->textInteractionFlags()), 16);
}

void TestNotesTextItem::selectedChangeOncePerChange()
{
    NotesScene scene;
    auto *item = new NotesTextItem();
    scene.addItem(item);
    QSignalSpy spy(item, &NotesTextItem::selectedChange);
    item->setSelected(true);
    item->setSelected(true);
    QCOMPARE(spy.size(), 1);
    item->setSelected(false);
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.last().first().value<QGraphicsItem *>(), item);
}

void TestNotesTextItem::contextMenuEntries_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("undoSteps");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("empty history") << QString() << 0 << baseEntries;
    QTest::newRow("after typing") << QStringLiteral("ab") << 0
                                  << QStringList{QStringLiteral("Undo")} + baseEntries;
    QTest::newRow("after undoing everything")
        << QStringLiteral("ab") << 5 << QStringList{QStringLiteral("Redo")} + baseEntries;
}

void TestNotesTextItem::contextMenuEntries()
{
    QFETCH(QString, typed);
    QFETCH(int, undoSteps);
    QFETCH(QStringList, entries);
    ScriptedDialogs::Guard dialogs;
    dialogs->menuChoices.enqueue(QString());
    SceneView v;
    NotesTextItem *item = placeText(v, {100, 100});
    QTest::keyClicks(v.view.viewport(), typed);
    for (int i = 0; i < undoSteps; ++i)
        item->document()->undo();
    contextClick(v, {105, 105});
    QCOMPARE(dialogs->asked.size(), 1);
    QCOMPARE(dialogs->asked.first().menuEntries, entries);
    QVERIFY(dialogs->unexpected.isEmpty());
}

void TestNotesTextItem::keyboardContextMenuIgnored()
{
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    NotesTextItem *item = placeText(v, {100, 100});
    QSignalSpy rotate(item, &NotesTextItem::rotateText);
    contextClick(v, {105, 105}, QContextMenuEvent::Keyboard);
    QVERIFY(dialogs->asked.isEmpty());
    QVERIFY(rotate.isEmpty());
}

void TestNotesTextItem::menuUndoRedoUseDocumentHistory()
{
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    NotesTextItem *item = placeText(v, {100, 100});
    QTest::keyClicks(v.view.viewport(), QStringLiteral("xy"));
    const QString typed = item->toPlainText();
    dialogs->menuChoices.enqueue(QStringLiteral("Undo"));
    contextClick(v, {105, 105});
    QVERIFY(item->toPlainText() != typed);
    // The right press deselected the item (the text item does not take the press), and a
    // right press with nothing selected opens the page menu first; select it again.
    QVERIFY(!item->isSelected());
    item->setSelected(true);
    dialogs->menuChoices.enqueue(QStringLiteral("Redo"));
    contextClick(v, {105, 105});
    QCOMPARE(item->toPlainText(), typed);
    QVERIFY(dialogs->unexpected.isEmpty());
}

void TestNotesTextItem::pasteReplacesContent_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<bool>("italic");
    QTest::newRow("html") << QStringLiteral("<i>pasted</i> words") << QStringLiteral("pasted words")
                          << QStringLiteral("pasted words") << true;
    QTest::newRow("plain text") << QString() << QStringLiteral("just text") << QStringLiteral("just text")
                                << false;
    QTest::newRow("nothing usable") << QString() << QString() << QStringLiteral("old bold") << false;
}

void TestNotesTextItem::pasteReplacesContent()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(QString, expectedText);
    QFETCH(bool, italic);
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    auto *item = new NotesTextItem();
    item->setHtml(QStringLiteral("old <b>bold</b>"));
    item->setPos(40, 40);
    v.scene.addItem(item);
    item->setSelected(true);

    auto *mime = new QMimeData;
    if (!html.isEmpty())
        mime->setHtml(html);
    if (!text.isEmpty())
        mime->setText(text);
    if (html.isEmpty() && text.isEmpty())
        mime->setData(QStringLiteral("application/x-unrelated"), QByteArray("x"));
    QGuiApplication::clipboard()->setMimeData(mime);

    dialogs->menuChoices.enqueue(QStringLiteral("Paste"));
    contextClick(v, {45, 45});
    QCOMPARE(item->toPlainText(), expectedText);
    // The whole content was replaced, formatting included (or left alone when nothing fit).
    const bool pasted = expectedText != QStringLiteral("old bold");
    QCOMPARE(item->toHtml().contains(QStringLiteral("font-weight:700")), !pasted);
    QCOMPARE(item->toHtml().contains(QStringLiteral("font-style:italic")), italic);
    QVERIFY(dialogs->unexpected.isEmpty());
}

void TestNotesTextItem::pastedHtmlReadsNoLocalFile()
{
    // HTML copied from a web page or a mail may name any local file as a picture.
    QTemporaryDir dir;
    const QString secret = dir.filePath(QStringLiteral("secret.png"));
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(secret));
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    auto *item = new NotesTextItem();
    item->setPlainText(QStringLiteral("old"));
    item->setPos(40, 40);
    v.scene.addItem(item);
    item->setSelected(true);
    auto *mime = new QMimeData;
    mime->setHtml(QStringLiteral("<p>see <img src=\"%1\"></p>").arg(secret));
    QGuiApplication::clipboard()->setMimeData(mime);
    dialogs->menuChoices.enqueue(QStringLiteral("Paste"));
    contextClick(v, {45, 45});
    QVERIFY(item->toHtml().contains(secret));
    item->boundingRect();
    const QImage shown = qvariant_cast<QImage>(
        item->document()->resource(QTextDocument::ImageResource, QUrl::fromLocalFile(secret)));
    QVERIFY(shown.size() != red.size());
}

void TestNotesTextItem::pastedDocumentsBelongToItem()
{
    ScriptedDialogs::Guard dialogs;
    QPointer<QTextDocument> first;
    QPointer<QTextDocument> second;
    {
        SceneView v;
        auto *item = new NotesTextItem();
        item->setPlainText(QStringLiteral("start"));
        item->setPos(40, 40);
        v.scene.addItem(item);
        item->setSelected(true);
        QPointer<QTextDocument> original = item->document();

        auto *mime = new QMimeData;
        mime->setHtml(QStringLiteral("<p>one</p>"));
        QGuiApplication::clipboard()->setMimeData(mime);
        dialogs->menuChoices.enqueue(QStringLiteral("Paste"));
        contextClick(v, {45, 45});
        first = item->document();
        QVERIFY(first != original);
        QVERIFY(original.isNull()); // the replaced document is gone
        QCOMPARE(first->parent(), item);

        mime = new QMimeData;
        mime->setHtml(QStringLiteral("<p>two</p>"));
        QGuiApplication::clipboard()->setMimeData(mime);
        dialogs->menuChoices.enqueue(QStringLiteral("Paste"));
        contextClick(v, {45, 45});
        second = item->document();
        QVERIFY(first.isNull());
        QCOMPARE(item->toPlainText(), QStringLiteral("two"));
    }
    // The scene took its items with it, the pasted document included.
    QVERIFY(second.isNull());
}

void TestNotesTextItem::textDirection_data()
{
    QTest::addColumn<double>("before");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<double>("emitted");
    QTest::newRow("horizontal to vertical") << 0.0 << QStringLiteral("Set Text Vertical") << -90.0;
    QTest::newRow("vertical again") << -90.0 << QStringLiteral("Set Text Vertical") << -90.0;
    QTest::newRow("vertical to horizontal") << -90.0 << QStringLiteral("Set Text Horizontal") << 0.0;
    QTest::newRow("horizontal again") << 0.0 << QStringLiteral("Set Text Horizontal") << 0.0;
}

void TestNotesTextItem::textDirection()
{
    QFETCH(double, before);
    QFETCH(QString, choice);
    QFETCH(double, emitted);
    ScriptedDialogs::Guard dialogs;
    SceneView v;
    auto *item = new NotesTextItem();
    item->setPlainText(QStringLiteral("Turn me"));
    item->setPos(100, 150);
    item->setRotation(before);
    v.scene.addItem(item);
    item->setSelected(true);
    QSignalSpy rotate(item, &NotesTextItem::rotateText);
    double rotationWhenEmitted = 1.0;
    connect(item, &NotesTextItem::rotateText, this, [&] { rotationWhenEmitted = item->rotation(); });

    dialogs->menuChoices.enqueue(choice);
    // A point inside the item whichever way it is turned (it turns about its top-left corner).
    const QPointF inside = item->mapToScene(QPointF(6, 6));
    contextClick(v, inside);
    QCOMPARE(rotate.size(), 1);
    QCOMPARE(rotate.first().at(0).value<QGraphicsItem *>(), item);
    QCOMPARE(rotate.first().at(1).toDouble(), emitted);
    QCOMPARE(rotationWhenEmitted, before); // emitted before the rotation is applied
    QCOMPARE(item->rotation(), emitted);
    QCOMPARE(item->transformOriginPoint(), QPointF(0, 0));
}

void TestNotesTextItem::pageDeletedWhileEditing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("untyped") << QString();
    QTest::newRow("typed") << QStringLiteral("note");
}

void TestNotesTextItem::pageDeletedWhileEditing()
{
    // Deleting a page takes every item out of its scene and deletes it, then the scene. The
    // focused text item loses its focus while it is being taken out; the scene must not
    // remove or delete it a second time.
    QFETCH(QString, typed);
    SceneView v;
    QPointer<NotesTextItem> item = placeText(v, {100, 100});
    QTest::keyClicks(v.view.viewport(), typed);
    QVERIFY(item->hasFocus());
    QSignalSpy lost(item.data(), &NotesTextItem::lostFocus);
    const QList<QGraphicsItem *> all = v.scene.items();
    for (QGraphicsItem *each : all) {
        v.scene.removeItem(each);
        delete each;
    }
    QCOMPARE(lost.size(), 1);
    QVERIFY(item.isNull());
    processDeferredDeletes();
    QVERIFY(v.scene.items().isEmpty());
}

QTEST_MAIN(TestNotesTextItem)
#include "tst_notestextitem.moc"
