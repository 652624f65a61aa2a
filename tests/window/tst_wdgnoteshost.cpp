// The host link (pictures from the host, view requests), the clipboard operations and the small
// view operations of the notes window.

#include "windowtesthelpers.h"

#include "io/pagemodel.h"
#include "scene/notespictureitem.h"
#include "scene/notesrectangleitem.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDataWidgetMapper>
#include <QGraphicsPixmapItem>
#include <QScreen>
#include <QStandardItemModel>

using namespace WindowTest;

namespace {

// A picture that tells when it is deleted; QPixmap's destructor is virtual through QPaintDevice.
class WatchedPixmap : public QPixmap
{
public:
    WatchedPixmap(const QImage &image, bool *deleted)
        : QPixmap(QPixmap::fromImage(image))
        , deleted(deleted)
    {
    }
    ~WatchedPixmap() override { *deleted = true; }
    WatchedPixmap(const WatchedPixmap &) = delete;
    WatchedPixmap &operator=(const WatchedPixmap &) = delete;

private:
    bool *deleted;
};

QList<DsvLayer> twoLayers()
{
    DsvLayer wiring;
    wiring.name = QStringLiteral("Wiring1");
    wiring.number = 1;
    DsvLayer silk;
    silk.name = QStringLiteral("SilkTop");
    silk.routecol = Qt::blue;
    return {wiring, silk};
}

} // namespace

class TestWdgNotesHost : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hostPictureWithHiddenWindow();
    void hostPictureWithoutPageIsDiscarded();
    void nullHostPictureIgnored();
    void sendViewOnPageSwitch_data();
    void sendViewOnPageSwitch();
    void viewerNeverSendsView();
    void pasteResetsHostView();
    void pasteIgnoredInViewerAndWithoutImage();
    void frameCopy();
    void copyAll();
    void shrinkFixesSceneRect();
    void dina4AtScreenResolution();

private:
    QStandardItem *sceneItem(int row) const { return window->model()->item(row, Page::SceneColumn); }
    QGraphicsScene *sceneAt(int row) const
    {
        return qvariant_cast<QGraphicsScene *>(sceneItem(row)->data(Page::SceneRole));
    }
    void addHostPage(const QRectF &rect, const QList<DsvLayer> &layers);
    void rightClickMenu(const QPointF &scenePos, const QString &choice);

    std::unique_ptr<ScriptedDialogs::Guard> dialogs;
    std::unique_ptr<WdgNotes> window;
};

void TestWdgNotesHost::init()
{
    dialogs = std::make_unique<ScriptedDialogs::Guard>();
    window = showEditWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestWdgNotesHost::cleanup()
{
    QVERIFY2((*dialogs)->unexpected.isEmpty(), qPrintable((*dialogs)->unexpected.join(", ")));
    window.reset();
    dialogs.reset();
}

void TestWdgNotesHost::addHostPage(const QRectF &rect, const QList<DsvLayer> &layers)
{
    (*dialogs)->answers.enqueue(QMessageBox::Yes);
    (*dialogs)->menuChoices.enqueue(QStringLiteral("Copy in Veritrace."));
    QSignalSpy request(window.get(), &WdgNotes::createImage);
    click(*window, "New Note");
    QCOMPARE(request.count(), 1);
    window->createdImage(new QPixmap(QPixmap::fromImage(testPicture())), layers, rect);
}

void TestWdgNotesHost::rightClickMenu(const QPointF &scenePos, const QString &choice)
{
    (*dialogs)->menuChoices.enqueue(choice);
    QGraphicsView *view = window->view();
    // The scene opens its page menu on a right press with nothing selected; the release that
    // follows goes to the open menu, not to the scene.
    press(view, scenePos, Qt::RightButton);
}

void TestWdgNotesHost::hostPictureWithHiddenWindow()
{
    auto *hide = window->findChild<QCheckBox *>("hideWindowCheck");
    QTest::mouseClick(hide, Qt::LeftButton, {}, QPoint(5, hide->height() / 2));
    QVERIFY(hide->isChecked());

    (*dialogs)->answers.enqueue(QMessageBox::Yes);
    (*dialogs)->menuChoices.enqueue(QStringLiteral("Copy in Veritrace."));
    QSignalSpy request(window.get(), &WdgNotes::createImage);
    bool hiddenWhileAsking = false;
    connect(window.get(), &WdgNotes::createImage, this, [&] { hiddenWhileAsking = window->isHidden(); });
    click(*window, "New Note");
    QCOMPARE(request.count(), 1);
    QVERIFY(hiddenWhileAsking);
    QVERIFY(window->isHidden());
    QCOMPARE(window->model()->rowCount(), 1);

    bool deleted = false;
    const QRectF rect(10, 20, 100, 50);
    window->createdImage(new WatchedPixmap(testPicture(Qt::darkRed, QSize(120, 80)), &deleted), twoLayers(),
                         rect);

    QVERIFY(deleted);
    QVERIFY(window->isVisible());
    QVERIFY(hide->isChecked());
    const QList<QGraphicsPixmapItem *> pictures = itemsOf<QGraphicsPixmapItem>(sceneAt(0));
    QCOMPARE(pictures.size(), 1);
    QGraphicsPixmapItem *picture = pictures.first();
    QCOMPARE(Notes::pictureSize(picture), QSize(120, 80));
    QCOMPARE(picture->data(PictureHasLayersKey), QVariant(true));
    QCOMPARE(picture->data(PictureLayersKey).toMap(), layerListToMap(twoLayers()));
    QCOMPARE(picture->transformOriginPoint(), QPointF(60, 40));
    QVERIFY(picture->flags().testFlag(QGraphicsItem::ItemIsMovable));
    QVERIFY(picture->flags().testFlag(QGraphicsItem::ItemIsSelectable));
    QCOMPARE(sceneItem(0)->data(Page::ViewRectRole).toRectF(), rect);
    // The page keeps the host's layers so that its view can be asked for again.
    QCOMPARE(sceneItem(0)->data(Page::LayerMapRole).toMap(), layerListToMap(twoLayers()));
    QCOMPARE(window->view()->scene(), sceneAt(0));
}

void TestWdgNotesHost::hostPictureWithoutPageIsDiscarded()
{
    bool deleted = false;
    window->createdImage(new WatchedPixmap(testPicture(), &deleted), twoLayers(), QRectF(0, 0, 5, 5));
    QVERIFY(deleted);
    QCOMPARE(window->model()->rowCount(), 0);
    QVERIFY(!window->view()->scene());
}

void TestWdgNotesHost::nullHostPictureIgnored()
{
    addHostPage(QRectF(1, 2, 3, 4), {});
    window->createdImage(nullptr, twoLayers(), QRectF(9, 9, 9, 9));
    QCOMPARE(itemsOf<QGraphicsPixmapItem>(sceneAt(0)).size(), 1);
    QCOMPARE(sceneItem(0)->data(Page::ViewRectRole).toRectF(), QRectF(1, 2, 3, 4));
}

void TestWdgNotesHost::sendViewOnPageSwitch_data()
{
    QTest::addColumn<bool>("sendChecked");
    QTest::newRow("send on") << true;
    QTest::newRow("send off") << false;
}

void TestWdgNotesHost::sendViewOnPageSwitch()
{
    QFETCH(bool, sendChecked);
    const QRectF hostRect(10, 20, 100, 50);
    addHostPage(hostRect, twoLayers());
    QGuiApplication::clipboard()->setImage(testPicture());
    addPage(*window, **dialogs); // a clipboard page: no layers

    auto *send = window->findChild<QCheckBox *>("sendViewCheck");
    QSignalSpy shown(window.get(), &WdgNotes::showNotePos);
    if (sendChecked)
        QTest::mouseClick(send, Qt::LeftButton, {}, QPoint(5, send->height() / 2));
    QCOMPARE(send->isChecked(), sendChecked);
    QCOMPARE(shown.count(), 0); // nothing is sent when the box is ticked

    click(*window, "First Note");
    QCOMPARE(shown.count(), sendChecked ? 1 : 0);
    if (sendChecked) {
        QCOMPARE(shown.at(0).at(0).toRectF(), hostRect);
        const auto layers = shown.at(0).at(1).value<QList<DsvLayer>>();
        QCOMPARE(layers.size(), 2);
        QCOMPARE(layerListToMap(layers), layerListToMap(twoLayers()));
    }
    click(*window, "Next");
    QCOMPARE(shown.count(), sendChecked ? 1 : 0);
}

void TestWdgNotesHost::viewerNeverSendsView()
{
    WdgNotes viewer(QString(), 1);
    auto *send = viewer.findChild<QCheckBox *>("sendViewCheck");
    QVERIFY(!send->isEnabled());
    send->setChecked(true); // even when forced, the box is not connected
    QSignalSpy shown(&viewer, &WdgNotes::showNotePos);
    auto *sceneItem = new QStandardItem;
    sceneItem->setData(QVariant::fromValue(WdgNotes::createPageScene()), Page::SceneRole);
    sceneItem->setData(QRectF(0, 0, 5, 5), Page::ViewRectRole);
    sceneItem->setData(layerListToMap(twoLayers()), Page::LayerMapRole);
    viewer.model()->appendRow(
        {new QStandardItem("t"), sceneItem, new QStandardItem("d"), new QStandardItem("c")});
    click(viewer, "First Note");
    QCOMPARE(viewer.view()->scene(), qvariant_cast<QGraphicsScene *>(sceneItem->data(Page::SceneRole)));
    QCOMPARE(shown.count(), 0);
}

void TestWdgNotesHost::pasteResetsHostView()
{
    addHostPage(QRectF(10, 20, 100, 50), twoLayers());
    QGraphicsPixmapItem *host = itemsOf<QGraphicsPixmapItem>(sceneAt(0)).value(0);
    QVERIFY(host);
    host->setPos(600, 400); // out of the way of the right click below
    window->view()->centerOn(0, 0);
    sceneAt(0)->clearSelection();

    QGuiApplication::clipboard()->setImage(testPicture(Qt::yellow, QSize(30, 20)));
    rightClickMenu(QPointF(-200, -200), QStringLiteral("Copy Pixmap from Clip Board"));
    QCOMPARE(
        (*dialogs)->asked.last().menuEntries,
        QStringList({"Copy Frame to Clip Board", "Copy all to Clip Board", "Copy Pixmap from Clip Board"}));

    const QList<QGraphicsPixmapItem *> pictures = itemsOf<QGraphicsPixmapItem>(sceneAt(0));
    QCOMPARE(pictures.size(), 2);
    QGraphicsPixmapItem *pasted = pictures.at(0) == host ? pictures.at(1) : pictures.at(0);
    QCOMPARE(Notes::pictureSize(pasted), QSize(30, 20));
    QCOMPARE(pasted->pos(), QPointF(0, 0));
    QCOMPARE(pasted->data(PictureHasLayersKey), QVariant(false));
    QCOMPARE(sceneItem(0)->data(Page::ViewRectRole).toRectF(), QRectF());
    QVERIFY(sceneItem(0)->data(Page::LayerMapRole).toMap().isEmpty());
    // The host picture keeps its own layers.
    QCOMPARE(host->data(PictureHasLayersKey), QVariant(true));
    QCOMPARE(host->data(PictureLayersKey).toMap(), layerListToMap(twoLayers()));
}

void TestWdgNotesHost::pasteIgnoredInViewerAndWithoutImage()
{
    addHostPage(QRectF(10, 20, 100, 50), {});
    QGuiApplication::clipboard()->clear();
    window->copyFromClipBoard(QPointF(5, 5));
    QCOMPARE(itemsOf<QGraphicsPixmapItem>(sceneAt(0)).size(), 1);
    QCOMPARE(sceneItem(0)->data(Page::ViewRectRole).toRectF(), QRectF(10, 20, 100, 50));

    WdgNotes viewer(QString(), 1);
    auto *item = new QStandardItem;
    QGraphicsScene *scene = WdgNotes::createPageScene();
    item->setData(QVariant::fromValue(scene), Page::SceneRole);
    viewer.model()->appendRow({new QStandardItem("t"), item, new QStandardItem("d"), new QStandardItem("c")});
    viewer.mapper()->toFirst();
    QGuiApplication::clipboard()->setImage(testPicture());
    viewer.copyFromClipBoard(QPointF());
    QVERIFY(scene->items().isEmpty());
}

void TestWdgNotesHost::frameCopy()
{
    QGuiApplication::clipboard()->setImage(testPicture(Qt::white, QSize(200, 150)));
    addPage(*window, **dialogs);
    QGraphicsView *view = window->view();
    sceneAt(0)->clearSelection();
    QGraphicsPixmapItem *picture = itemsOf<QGraphicsPixmapItem>(sceneAt(0)).value(0);
    QVERIFY(picture);
    picture->setFlag(QGraphicsItem::ItemIsSelectable, false);

    // Press outside the picture so that the view starts a rubber band.
    const QPoint from(view->viewport()->width() - 20, view->viewport()->height() - 20);
    const QPointF outside = view->mapToScene(from);
    QVERIFY(!picture->sceneBoundingRect().contains(outside));
    rightClickMenu(outside, QStringLiteral("Copy Frame to Clip Board"));
    QVERIFY((*dialogs)->menuChoices.isEmpty());
    QVERIFY(qobject_cast<NotesScene *>(sceneAt(0))->isFrameCopyPending());
    QCOMPARE(view->dragMode(), QGraphicsView::RubberBandDrag);

    QSignalSpy band(view, &QGraphicsView::rubberBandChanged);
    QSignalSpy copies(qobject_cast<NotesScene *>(sceneAt(0)), &NotesScene::copyToClipBoard);
    const QPoint to = from - QPoint(120, 80);
    press(view, view->mapToScene(from));
    for (int i = 1; i <= 4; ++i)
        moveTo(view, view->mapToScene(from + (to - from) * i / 4));
    release(view, view->mapToScene(to));
    QVERIFY(band.count() > 0);

    QCOMPARE(copies.count(), 1);
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(121, 81));

    // Without a new band the next frame copy is empty.
    window->copyToClipBoard();
    QVERIFY(QGuiApplication::clipboard()->image().isNull());
}

void TestWdgNotesHost::copyAll()
{
    QGuiApplication::clipboard()->setImage(testPicture(Qt::darkGreen, QSize(50, 50)));
    addPage(*window, **dialogs);
    QGuiApplication::clipboard()->clear();
    rightClickMenu(QPointF(300, 300), QStringLiteral("Copy all to Clip Board"));
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), window->view()->size());
}

void TestWdgNotesHost::shrinkFixesSceneRect()
{
    QGuiApplication::clipboard()->setImage(testPicture(Qt::gray, QSize(800, 600)));
    addPage(*window, **dialogs);
    QGraphicsScene *scene = sceneAt(0);
    scene->addItem(new NotesRectangleItem(QRectF(100, 100, 20, 20), Qt::red, 3, Qt::SolidLine));

    clickAction(*window, "shrinkAction");
    const QRectF shrunk = scene->sceneRect();
    QCOMPARE(shrunk, scene->itemsBoundingRect());
    // The picture (with the half-pixel margin of its bounding rectangle) encloses everything.
    QVERIFY(shrunk.contains(QRectF(0, 0, 800, 600)));
    QVERIFY(QRectF(-1, -1, 802, 602).contains(shrunk));

    // The extent stays fixed until the next "Shrink".
    scene->addItem(new NotesRectangleItem(QRectF(2000, 2000, 20, 20), Qt::red, 3, Qt::SolidLine));
    QCOMPARE(scene->sceneRect(), shrunk);
    clickAction(*window, "shrinkAction");
    QCOMPARE(scene->sceneRect(), scene->itemsBoundingRect());
}

void TestWdgNotesHost::dina4AtScreenResolution()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    const QRectF rect = window->dina4Rect();
    QCOMPARE(rect.topLeft(), QPointF(0, 0));
    QCOMPARE(rect.width(), screen->logicalDotsPerInchX() * 210 / 2.54);
    QCOMPARE(rect.height(), screen->logicalDotsPerInchY() * 297 / 2.54);
    if (qFuzzyCompare(screen->logicalDotsPerInchX(), 96.0)) {
        QVERIFY(qAbs(rect.width() - 7937.0) < 0.1);
        QVERIFY(qAbs(rect.height() - 11225.2) < 0.1);
    }
}

QTEST_MAIN(TestWdgNotesHost)
#include "tst_wdgnoteshost.moc"
