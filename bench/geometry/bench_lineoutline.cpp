// Timings of the line annotation outlines: cold computation, cached shape() next to the
// toolkit's own path item shape(), and point hit tests on a crowded scene.

#include "geometry/bdfigure.h"
#include "geometry/bdoperations.h"
#include "geometry/lineoutline.h"
#include "scene/noteslineitem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QPen>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int LineWidth = 3;
volatile qint64 sink = 0;

// A freehand stroke as the mouse records it: steps of a few units, drifting in one
// general direction so that the ends stay apart.
QPainterPath freehand(int points, QRandomGenerator &rng, QPointF start)
{
    QPainterPath path(start);
    double heading = rng.bounded(2.0 * M_PI);
    QPointF p = start;
    for (int i = 1; i < points; ++i) {
        heading += rng.bounded(0.6) - 0.3;
        const double step = 1.0 + rng.bounded(3.0);
        p += QPointF(step * std::cos(heading), step * std::sin(heading));
        path.lineTo(p);
    }
    return path;
}

// A hand-drawn loop of `points` positions that ends 2 units before its start.
QPainterPath closedLoop(int points)
{
    QRandomGenerator rng(7);
    QPainterPath path;
    for (int i = 0; i < points; ++i) {
        const double t = 2.0 * M_PI * i / points - 0.01;
        const double r = 150.0 + rng.bounded(2.0);
        const QPointF p(r * std::cos(t), r * std::sin(t));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}

// CPU time of this thread: on a machine shared with builds it is steadier than the wall clock.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Timing
{
    double wallMs;
    double cpuMs;
};

// Medians of wall-clock and thread CPU time over `runs` runs.
template <typename F> Timing medianMs(int runs, F &&f)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpu0 = threadCpuMs();
        timer.start();
        f();
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpu0);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// Mean cost of one call in microseconds over `calls` calls.
template <typename F> double perCallUs(int calls, F &&f)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i)
        f();
    return timer.nsecsElapsed() / 1e3 / calls;
}

void outlineRow(const char *name, const QPainterPath &path, int coldRuns)
{
    const Timing cold = medianMs(coldRuns, [&] {
        sink += LineOutline::compute(path, LineOutline::Kind::Freehand, LineWidth, LineWidth).elementCount();
    });

    NotesLineItem line(path, Qt::red, LineWidth, Qt::SolidLine);
    QGraphicsPathItem plain(path);
    plain.setPen(QPen(QBrush(Qt::red), LineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    sink += line.shape().elementCount();
    const int calls = std::max(20, 200000 / int(path.elementCount()));
    const double cached = perCallUs(calls * 10, [&] { sink += line.shape().elementCount(); });
    const double toolkit = perCallUs(calls, [&] { sink += plain.shape().elementCount(); });
    std::printf("%-14s %5d pts  cold %8.3f ms (cpu %8.3f ms)  cached shape() %6.3f us"
                "  QGraphicsPathItem::shape() %9.3f us  ratio %.2e\n",
                name, int(path.elementCount()), cold.wallMs, cold.cpuMs, cached, toolkit, cached / toolkit);
}

// Points thrown at random into a small square: every segment crosses many others. A file can
// hold such a line; a hand never draws one.
QPainterPath scribble(int points, quint32 seed)
{
    QRandomGenerator rng(seed);
    QPainterPath path(QPointF(rng.bounded(400.0), rng.bounded(400.0)));
    for (int i = 1; i < points; ++i)
        path.lineTo(rng.bounded(400.0), rng.bounded(400.0));
    return path;
}

// First outline of random crossing lines, against the exact stroke buffer the outline uses for
// real strokes (the cost it had before crossings were bounded; 800 points take over a minute
// there, so the baseline stops at 200).
void crossingRows()
{
    std::printf("First outline of random crossing lines (cold, median):\n");
    for (const int points : {200, 800, 5000}) {
        const QPainterPath path = scribble(points, 11);
        const Timing bounded = medianMs(5, [&] {
            sink += LineOutline::compute(path, LineOutline::Kind::Freehand, LineWidth, LineWidth).elementCount();
        });
        std::printf("  %5d pts  outline %8.3f ms (cpu %8.3f ms)", points, bounded.wallMs, bounded.cpuMs);
        if (points <= 200) {
            QList<bdPoint> line;
            for (int i = 0; i < path.elementCount(); ++i)
                line.append(bdPoint(QPointF(path.elementAt(i))));
            const Timing exact = medianMs(1, [&] {
                QMap<bdFigureKey, bdFigure> figures;
                figures.insert(bdFigureKey{0, float(LineWidth)}, bdFigure(line));
                bdFigure stroke;
                bufferFigures(stroke, figures, 72);
                sink += stroke.segments.size();
            });
            std::printf("  exact buffer %9.3f ms", exact.wallMs);
        }
        std::printf("\n");
    }
}

void hitTests()
{
    QRandomGenerator rng(42);
    const QRectF area(0, 0, 4000, 4000);
    std::vector<QPainterPath> paths;
    for (int i = 0; i < 500; ++i)
        paths.push_back(freehand(500, rng, QPointF(rng.bounded(4000.0), rng.bounded(4000.0))));

    QGraphicsScene notes(area);
    QGraphicsScene reference(area);
    for (const QPainterPath &p : paths) {
        notes.addItem(new NotesLineItem(p, Qt::red, LineWidth, Qt::SolidLine));
        auto *plain = new QGraphicsPathItem(p);
        plain->setPen(QPen(QBrush(Qt::red), LineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        reference.addItem(plain);
    }
    // Half the queries on a stroke, half anywhere.
    std::vector<QPointF> queries;
    for (int i = 0; i < 1000; ++i) {
        if (i % 2 == 0) {
            const QPainterPath &p = paths[std::size_t(rng.bounded(500))];
            queries.push_back(p.elementAt(rng.bounded(p.elementCount())));
        } else {
            queries.push_back(QPointF(rng.bounded(4000.0), rng.bounded(4000.0)));
        }
    }
    auto sweep = [&](QGraphicsScene &scene, int &hits) {
        hits = 0;
        QElapsedTimer timer;
        timer.start();
        for (const QPointF &q : queries)
            hits += int(scene.items(q).size());
        return timer.nsecsElapsed() / 1e3 / double(queries.size());
    };
    int hitsCold = 0, hitsWarm = 0, hitsPlain = 0;
    const double cold = sweep(notes, hitsCold);
    const double warm = sweep(notes, hitsWarm);
    sweep(reference, hitsPlain);
    const double plain = sweep(reference, hitsPlain);
    std::printf("items(point), 500 freehand lines x 500 points, %zu queries:\n", queries.size());
    std::printf("  NotesLineItem first sweep %9.3f us/query (%d hits)\n", cold, hitsCold);
    std::printf("  NotesLineItem next sweep  %9.3f us/query (%d hits)\n", warm, hitsWarm);
    std::printf("  QGraphicsPathItem         %9.3f us/query (%d hits)\n", plain, hitsPlain);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QRandomGenerator rng(1);
    std::printf("Outline of freehand lines, width %d (cold: median of runs; cached: mean per call)\n",
                LineWidth);
    outlineRow("open freehand", freehand(100, rng, QPointF()), 200);
    outlineRow("open freehand", freehand(1000, rng, QPointF()), 30);
    outlineRow("open freehand", freehand(5000, rng, QPointF()), 7);
    outlineRow("closed loop", closedLoop(1000), 30);
    crossingRows();
    hitTests();
    return sink == 42 ? 1 : 0;
}
