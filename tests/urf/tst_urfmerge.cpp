#include "notespages.h"
#include "urftesthelpers.h"

#include "urf/notesexport.h"
#include "reference/urfmergereference.h"
#include "urf/zukenurffile.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace UrfTest;

namespace {

ZukenUrfResult result(const QStringList &params, ResultType type = ResultType::E, const QString &label = {},
                      const QString &date = {})
{
    ZukenUrfResult r;
    r.params = params;
    r.type = type;
    r.resultText = label;
    r.resultDate = date;
    return r;
}

ZukenUrfGroup group(const QString &name, const QList<ZukenUrfResult> &results)
{
    ZukenUrfCase c;
    c.name = QStringLiteral("Notes");
    for (int i = 0; i < results.size(); ++i)
        c.results.insert(i, results[i]);
    ZukenUrfGroup g;
    g.name = name;
    g.cases.append(c);
    return g;
}

ZukenUrfGroup parentGroup(const QString &name, const QList<ZukenUrfGroup> &subgroups)
{
    ZukenUrfGroup g;
    g.name = name;
    g.subgroups = subgroups;
    return g;
}

ZukenUrfFile file(const QList<ZukenUrfGroup> &groups)
{
    ZukenUrfFile f;
    f.groups = groups;
    return f;
}

const ZukenUrfResult &firstResult(const ZukenUrfGroup &g)
{
    return g.cases.first().results.first();
}

// A random tree of groups, cases and results drawn from a small pool of params, names and verdicts,
// so that matches, repeats and name collisions are frequent.
ZukenUrfGroup randomGroup(QRandomGenerator &rng, int depth)
{
    ZukenUrfGroup g;
    g.name = QStringLiteral("G%1").arg(rng.bounded(3));
    if (depth < 2 && rng.bounded(2)) {
        const int subs = rng.bounded(4);
        for (int i = 0; i < subs; ++i)
            g.subgroups.append(randomGroup(rng, depth + 1));
    }
    const int cases = rng.bounded(3);
    for (int c = 0; c < cases; ++c) {
        ZukenUrfCase zc;
        zc.name = QStringLiteral("C");
        const int results = rng.bounded(12);
        for (int r = 0; r < results; ++r) {
            ZukenUrfResult res;
            res.params = {QStringLiteral("P%1").arg(rng.bounded(6)),
                          QStringLiteral("%1").arg(rng.bounded(2))};
            if (rng.bounded(5) == 0)
                res.params.append(QStringLiteral("extra"));
            res.type = static_cast<ResultType>(rng.bounded(6));
            res.resultText = QStringLiteral("label %1").arg(rng.bounded(1000));
            res.resultDate = QStringLiteral("date %1").arg(rng.bounded(1000));
            zc.results.insert(rng.bounded(20), res);
        }
        g.cases.append(zc);
    }
    return g;
}

QString dump(const ZukenUrfGroup &g)
{
    QString out = QLatin1Char('[') + g.name;
    for (const ZukenUrfCase &c : g.cases) {
        for (auto it = c.results.cbegin(); it != c.results.cend(); ++it)
            out += QStringLiteral(" %1:%2/%3/%4/%5")
                       .arg(it.key())
                       .arg(it->params.join(QLatin1Char('|')))
                       .arg(int(it->type))
                       .arg(it->resultText, it->resultDate);
    }
    for (const ZukenUrfGroup &s : g.subgroups)
        out += dump(s);
    return out + QLatin1Char(']');
}

QString dump(const ZukenUrfFile &f)
{
    QString out;
    for (const ZukenUrfGroup &g : f.groups)
        out += dump(g);
    return out;
}

} // namespace

class TestUrfMerge : public QObject
{
    Q_OBJECT

private slots:
    void exportOverReviewedFile_data()
    {
        QTest::addColumn<QString>("reviewed");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nested groups")
            << QStringLiteral("reviewed_nested.urf") << QStringLiteral("board_notes.urf")
            << QStringLiteral("merged_nested.urf");
        QTest::newRow("RST") << QStringLiteral("reviewed.rst") << QStringLiteral("board.rst")
                             << QStringLiteral("merged.rst");
        QTest::newRow("subgroup names differ")
            << QStringLiteral("reviewed_deep.urf") << QStringLiteral("board_notes.urf")
            << QStringLiteral("example_map.urf");
        QTest::newRow("RST read, URF written")
            << QStringLiteral("reviewed.rst") << QStringLiteral("board.urf") << QStringLiteral("merged.rst");
    }

    void exportOverReviewedFile()
    {
        QFETCH(QString, reviewed);
        QFETCH(QString, target);
        QFETCH(QString, expected);
        Clock::ScopedFixedTime clock(exampleTime());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(target);
        QVERIFY(writeBytes(path, dataFile(reviewed)));

        QStandardItemModel model;
        NotesPages::addExamplePages(model);
        QVERIFY(NotesExport::exportNotes(&model, path));

        QByteArray want = dataFile(expected);
        if (QTest::currentDataTag() == QByteArray("RST read, URF written")) {
            // Same verdicts, written in the URF form.
            want = dataFile(QStringLiteral("example_map.urf"));
            want.replace("    result,E,\"Via check\",,,", "    result,M,\"Moved via\",,,");
            want.replace("    result,E,\"Note 2\",,,", "    result,N,\"Not a fault\",,,");
        }
        QVERIFY(!want.isEmpty());
        QCOMPARE(QString::fromUtf8(fileBytes(path)), QString::fromUtf8(want));
    }

    void acceptedResultIsDatedNow()
    {
        Clock::ScopedFixedTime clock(exampleTime());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("gap.urf"));
        QVERIFY(writeBytes(path, dataFile(QStringLiteral("reviewed_nested.urf"))));
        QStandardItemModel model;
        NotesPages::addPage(model, QStringLiteral("Gap"), QRectF(0, 0, 2, 4));

        ZukenUrfFile urf = NotesExport::buildUrfFile(&model, path);
        QVERIFY(urf.save(true));
        const ZukenUrfResult &gap = NotesExport::notesCase(urf).results[0];
        QCOMPARE(gap.type, ResultType::A);
        QCOMPARE(gap.resultText, QStringLiteral("Accepted"));
        QCOMPARE(gap.resultDate, QStringLiteral("2024/02/01 09:30"));
        QVERIFY(fileBytes(path).contains("\n    result,A,\"Accepted\",\"2024/03/05 08:07\",,\n"));
    }

    void verdictsOfUnnumberedLabelsAllSurvive()
    {
        // Export three pages, review them in the file, export again: every verdict is kept.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("three.urf"));
        QStandardItemModel model;
        NotesPages::addPage(model, QStringLiteral("One"), QRectF(0, 0, 2, 2));
        NotesPages::addPage(model, QStringLiteral("Two"), QRectF(0, 0, 4, 4));
        NotesPages::addPage(model, QStringLiteral("Three"), QRectF(0, 0, 6, 6));
        QVERIFY(NotesExport::exportNotes(&model, path));
        QByteArray text = fileBytes(path);
        text.replace("result,E,\"One\",,,", "result,F,\"One done\",,,");
        text.replace("result,E,\"Two\",,,", "result,Q,\"Two asked\",,,");
        QVERIFY(writeBytes(path, text));

        ZukenUrfFile again = NotesExport::buildUrfFile(&model, path);
        again.mergeExisting();
        const ZukenUrfCase &c = NotesExport::notesCase(again);
        QCOMPARE(c.results[0].type, ResultType::F);
        QCOMPARE(c.results[0].resultText, QStringLiteral("One done"));
        QCOMPARE(c.results[1].type, ResultType::Q);
        QCOMPARE(c.results[1].resultText, QStringLiteral("Two asked"));
        QCOMPARE(c.results[2].type, ResultType::E);
        QCOMPARE(c.results[2].resultText, QStringLiteral("Three"));
    }

    void titlesThatCannotMatch_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("two spaces") << QStringLiteral("Two  spaces");
        QTest::newRow("comma") << QStringLiteral("a,b");
        QTest::newRow("line break") << QStringLiteral("two\nlines");
    }

    void titlesThatCannotMatch()
    {
        QFETCH(QString, title);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.urf"));
        QStandardItemModel model;
        NotesPages::addPage(model, title, QRectF());
        QVERIFY(NotesExport::exportNotes(&model, path));
        QByteArray text = fileBytes(path);
        QVERIFY(text.contains(",E,"));
        text.replace(",E,", ",F,");
        QVERIFY(writeBytes(path, text));

        ZukenUrfFile again = NotesExport::buildUrfFile(&model, path);
        again.mergeExisting();
        QCOMPARE(NotesExport::notesCase(again).results[0].type, ResultType::E);
    }

    void plainTitleMatches()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.urf"));
        QStandardItemModel model;
        NotesPages::addPage(model, QStringLiteral("One space"), QRectF());
        QVERIFY(NotesExport::exportNotes(&model, path));
        QByteArray text = fileBytes(path);
        text.replace(",E,", ",F,");
        QVERIFY(writeBytes(path, text));
        ZukenUrfFile again = NotesExport::buildUrfFile(&model, path);
        again.mergeExisting();
        QCOMPARE(NotesExport::notesCase(again).results[0].type, ResultType::F);
    }

    void lastMatchWins()
    {
        const QStringList p = {QStringLiteral("a")};
        ZukenUrfFile fresh = file({group(QStringLiteral("N"), {result(p)})});
        const ZukenUrfFile read =
            file({group(QStringLiteral("X"), {result(p, ResultType::F, QStringLiteral("first")),
                                              result(p, ResultType::Q, QStringLiteral("second")),
                                              result(p, ResultType::E, QStringLiteral("open"))}),
                  group(QStringLiteral("Y"), {result(p, ResultType::M, QStringLiteral("third"))}),
                  group(QStringLiteral("Z"), {result(p, ResultType::E, QStringLiteral("e"))})});
        fresh.mergeFrom(read);
        QCOMPARE(firstResult(fresh.groups[0]).type, ResultType::M);
        QCOMPARE(firstResult(fresh.groups[0]).resultText, QStringLiteral("third"));
    }

    void groupPairing()
    {
        const QStringList p = {QStringLiteral("a")};
        const ZukenUrfResult verdict = result(p, ResultType::F, QStringLiteral("fixed"));

        // Top-level names are not compared.
        ZukenUrfFile fresh =
            file({parentGroup(QStringLiteral("Veritrace"), {group(QStringLiteral("Info"), {result(p)})})});
        fresh.mergeFrom(
            file({parentGroup(QStringLiteral("Other"), {group(QStringLiteral("Info"), {verdict})})}));
        QCOMPARE(firstResult(fresh.groups[0].subgroups[0]).type, ResultType::F);

        // Subgroup names are.
        fresh = file({parentGroup(QStringLiteral("V"), {group(QStringLiteral("Info"), {result(p)})})});
        fresh.mergeFrom(file({parentGroup(QStringLiteral("V"), {group(QStringLiteral("info"), {verdict})})}));
        QCOMPARE(firstResult(fresh.groups[0].subgroups[0]).type, ResultType::E);

        // With subgroups on both sides the cases of the pair are not looked at.
        ZukenUrfGroup withBoth =
            parentGroup(QStringLiteral("V"), {group(QStringLiteral("Info"), {result(p)})});
        withBoth.cases = group(QString(), {result(p)}).cases;
        ZukenUrfGroup readBoth = parentGroup(QStringLiteral("V"), {group(QStringLiteral("Else"), {verdict})});
        readBoth.cases = group(QString(), {verdict}).cases;
        fresh = file({withBoth});
        fresh.mergeFrom(file({readBoth}));
        QCOMPARE(fresh.groups[0].cases[0].results[0].type, ResultType::E);
        QCOMPARE(firstResult(fresh.groups[0].subgroups[0]).type, ResultType::E);

        // Subgroups on one side only: the cases are paired.
        ZukenUrfGroup casesAndSubgroups = group(QStringLiteral("V"), {verdict});
        casesAndSubgroups.subgroups.append(group(QStringLiteral("Info"), {verdict}));
        fresh = file({group(QStringLiteral("N"), {result(p)})});
        fresh.mergeFrom(file({casesAndSubgroups}));
        QCOMPARE(firstResult(fresh.groups[0]).type, ResultType::F);

        // Params must match exactly, count included.
        fresh = file({group(QStringLiteral("N"), {result(p), result({QStringLiteral("a"), QString()})})});
        fresh.mergeFrom(file({group(QStringLiteral("O"), {verdict})}));
        QCOMPARE(fresh.groups[0].cases[0].results[0].type, ResultType::F);
        QCOMPARE(fresh.groups[0].cases[0].results[1].type, ResultType::E);
    }

    void nothingToMergeWith()
    {
        QTemporaryDir dir;
        const QStringList names = {QString(), dir.filePath(QStringLiteral("missing.urf")), dir.path()};
        for (const QString &name : names) {
            ZukenUrfFile fresh = file({group(QStringLiteral("N"), {result({QStringLiteral("a")})})});
            fresh.fileName = name;
            fresh.mergeExisting();
            QCOMPARE(firstResult(fresh.groups[0]).type, ResultType::E);
        }
    }

    void linearMergeMatchesNestedLoops_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 40; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    void linearMergeMatchesNestedLoops()
    {
        QFETCH(quint32, seed);
        QRandomGenerator rng(seed);
        ZukenUrfFile fresh;
        ZukenUrfFile read;
        const int freshGroups = 1 + rng.bounded(3);
        const int readGroups = 1 + rng.bounded(3);
        for (int i = 0; i < freshGroups; ++i)
            fresh.groups.append(randomGroup(rng, 0));
        for (int i = 0; i < readGroups; ++i)
            read.groups.append(randomGroup(rng, 0));
        ZukenUrfFile reference = fresh;
        mergeFromNestedLoops(reference, read);
        fresh.mergeFrom(read);
        QCOMPARE(dump(fresh), dump(reference));
    }
};

QTEST_MAIN(TestUrfMerge)
#include "tst_urfmerge.moc"
