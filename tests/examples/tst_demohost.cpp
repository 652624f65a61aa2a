// The demo host end to end: notes made from two views of the board with different layers,
// annotated, saved, reopened, followed back with "Send View Parameter" and exported as URF.

#include "examples/host/boardview.h"
#include "examples/host/demohost.h"
#include "io/pagemodel.h"
#include "scene/notespictureitem.h"
#include "urf/zukenurffile.h"
#include "window/windowtesthelpers.h"

#include <QCheckBox>
#include <QDataWidgetMapper>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace WindowTest;

namespace {

struct MadeNote
{
    QRectF rect;
    QStringList layers;
};

QStringList namesOf(const QList<DsvLayer> &layers)
{
    QStringList names;
    for (const DsvLayer &layer : layers)
        names << layer.name;
    return names;
}

void boardMouse(BoardView *view, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
                Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, view->viewport()->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &event);
}

// Pans the board by dragging it, as the hand tool does.
void pan(BoardView *view, const QPoint &by)
{
    const QPoint from = view->viewport()->rect().center();
    boardMouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 4; ++i)
        boardMouse(view, QEvent::MouseMove, from + by * i / 4, Qt::NoButton, Qt::LeftButton);
    boardMouse(view, QEvent::MouseButtonRelease, from + by, Qt::LeftButton, Qt::NoButton);
}

void wheel(BoardView *view, int notches)
{
    const QPoint at = view->viewport()->rect().center();
    QWheelEvent event(QPointF(at), QPointF(view->viewport()->mapToGlobal(at)), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &event);
}

void toggle(DemoHost &host, const QString &layer)
{
    QCheckBox *box = host.layerBox(layer);
    QVERIFY2(box, qPrintable(layer));
    QTest::mouseClick(box, Qt::LeftButton);
}

bool near(double a, double b, double tolerance)
{
    return qAbs(a - b) <= tolerance;
}

} // namespace

class TestDemoHost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void notesFollowTheHost();

private:
    void showBoth(DemoHost &host)
    {
        host.show();
        host.notesWindow()->show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QVERIFY(QTest::qWaitForWindowExposed(host.notesWindow()));
    }
    // The host shows the note's view: the whole rectangle, at the zoom it was taken with, and
    // its layers.
    void checkHostShows(DemoHost &host, const MadeNote &note)
    {
        const QRectF shown = host.visibleRect();
        const double tolerance = note.rect.width() * 0.03;
        QVERIFY2(shown.adjusted(-tolerance, -tolerance, tolerance, tolerance).contains(note.rect),
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height())));
        QVERIFY(near(shown.center().x(), note.rect.center().x(), tolerance));
        QVERIFY(near(shown.center().y(), note.rect.center().y(), tolerance));
        QVERIFY(near(shown.width(), note.rect.width(), 2 * tolerance));
        QCOMPARE(namesOf(host.visibleLayers()), note.layers);
    }
};

void TestDemoHost::notesFollowTheHost()
{
    QTemporaryDir dir;
    const QString notesFile = dir.filePath(QStringLiteral("inspection.nts"));
    const QString resultFile = dir.filePath(QStringLiteral("inspection.urf"));
    ScriptedDialogs::Guard dialogs;
    QList<MadeNote> made;

    {
        DemoHost host(notesFile);
        showBoth(host);
        WdgNotes *notes = host.notesWindow();
        BoardView *board = host.boardView();

        // First view: zoomed in on the board, silkscreen off.
        wheel(board, 3);
        toggle(host, QStringLiteral("SilkTop"));
        dialogs->answers.enqueue(QMessageBox::Yes);
        dialogs->menuChoices.enqueue(QStringLiteral("Copy in Veritrace."));
        click(*notes, QStringLiteral("New Note"));
        QCOMPARE(notes->model()->rowCount(), 1);
        made << MadeNote{host.visibleRect(), namesOf(host.visibleLayers())};
        QCOMPARE(made[0].layers, QStringList({"Wiring1", "Wiring2", "Outline"}));
        const QStandardItem *first = notes->model()->item(0, Page::SceneColumn);
        QCOMPARE(first->data(Page::ViewRectRole).toRectF(), made[0].rect);
        const QList<QGraphicsPixmapItem *> pictures = itemsOf<QGraphicsPixmapItem>(notes->view()->scene());
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(Notes::pictureSize(pictures.first()), board->viewport()->size());
        clickAction(*notes, "addRectangleAction");
        drag(notes->view(), visiblePoint(notes->view(), 0.2, 0.2), visiblePoint(notes->view(), 0.4, 0.5));

        // Second view, set up while the notes window keeps out of the way ("Hide Window"):
        // panned, zoomed further, the bottom copper off and the silkscreen on again.
        pan(board, QPoint(-120, -80));
        click(*notes, QStringLiteral("Hide Window"));
        dialogs->answers.enqueue(QMessageBox::Yes);
        dialogs->menuChoices.enqueue(QStringLiteral("Copy in Veritrace."));
        click(*notes, QStringLiteral("New Note"));
        QVERIFY(notes->isHidden());
        QVERIFY(host.isPicturePending());
        QCOMPARE(notes->model()->rowCount(), 2);
        wheel(board, 2);
        toggle(host, QStringLiteral("Wiring2"));
        toggle(host, QStringLiteral("SilkTop"));
        QTest::keyClick(board, Qt::Key_Space); // the view is ready
        QVERIFY(!host.isPicturePending());
        QVERIFY(notes->isVisible());
        made << MadeNote{host.visibleRect(), namesOf(host.visibleLayers())};
        QCOMPARE(made[1].layers, QStringList({"Wiring1", "SilkTop", "Outline"}));
        QVERIFY(made[1].rect.width() < made[0].rect.width() * 0.8);
        QVERIFY(QLineF(made[0].rect.center(), made[1].rect.center()).length() > 1.0); // mm apart
        QCOMPARE(itemsOf<QGraphicsPixmapItem>(notes->view()->scene()).size(), 1);
        clickAction(*notes, "addArrowAction");
        drag(notes->view(), visiblePoint(notes->view(), 0.6, 0.6), visiblePoint(notes->view(), 0.3, 0.3));

        dialogs->fileNames.enqueue(notesFile);
        click(*notes, QStringLiteral("Save Notes as..."));
        QVERIFY(QFile::exists(notesFile));
    }

    DemoHost host(notesFile);
    showBoth(host);
    WdgNotes *notes = host.notesWindow();
    QCOMPARE(notes->model()->rowCount(), 2);
    QCOMPARE(itemsOf<NotesRectangleItem>(notes->view()->scene()).size(), 1);

    // Back to the reviewer's views: page by page, the host follows.
    click(*notes, QStringLiteral("Send View Parameter"));
    click(*notes, QStringLiteral("Next"));
    QCOMPARE(notes->mapper()->currentIndex(), 1);
    QCOMPARE(itemsOf<NotesArrow>(notes->view()->scene()).size(), 1);
    checkHostShows(host, made[1]);
    click(*notes, QStringLiteral("Previous"));
    QCOMPARE(notes->mapper()->currentIndex(), 0);
    checkHostShows(host, made[0]);

    // The review result: one result per note at the centre of its view, zoomed to it, with its layers.
    dialogs->fileNames.enqueue(resultFile);
    click(*notes, QStringLiteral("Save URF-Data"));
    QFile written(resultFile);
    QVERIFY(written.open(QIODevice::ReadOnly));
    ZukenUrfFile result;
    result.readFile(&written);
    QCOMPARE(result.groups.size(), 1);
    QCOMPARE(result.groups[0].subgroups.size(), 1);
    QCOMPARE(result.groups[0].subgroups[0].cases.size(), 1);
    const QMap<int, ZukenUrfResult> results = result.groups[0].subgroups[0].cases[0].results;
    QCOMPARE(results.keys(), QList<int>({0, 1}));
    // The layers a page lists in the result file, by how the design tools name them.
    const QList<QStringList> layerNames = {{"1", "2", "Outline", "BOARDSHAPE", "PADSTACK"},
                                           {"1", "SilkTop", "Outline", "BOARDSHAPE", "PADSTACK"}};
    for (int i = 0; i < 2; ++i) {
        const ZukenUrfResult &r = results[i];
        const QRectF &rect = made[i].rect;
        QCOMPARE(r.params.size(), 3);
        QCOMPARE(r.params[1], QString::number(rect.center().x(), 'f', 3));
        QCOMPARE(r.params[2], QString::number(rect.center().y(), 'f', 3));
        QCOMPARE(r.zoomAreas.size(), 1);
        const ZukenUrfZoomArea &zoom = r.zoomAreas.first();
        QVERIFY(near(zoom.x1, rect.left(), 1e-3) && near(zoom.y1, rect.bottom(), 1e-3));
        QVERIFY(near(zoom.x2, rect.right(), 1e-3) && near(zoom.y2, rect.top(), 1e-3));
        QStringList names;
        for (const ZukenUrfLayer &layer : r.layers)
            names << layer.name;
        QStringList expected = layerNames[i];
        std::sort(names.begin(), names.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(names, expected);
    }
    QVERIFY2(dialogs->unexpected.isEmpty(), qPrintable(dialogs->unexpected.join("; ")));
}

QTEST_MAIN(TestDemoHost)
#include "tst_demohost.moc"
