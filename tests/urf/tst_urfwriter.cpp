#include "urftesthelpers.h"

#include "urf/notesexport.h"
#include "urf/urftext.h"
#include "urf/zukenurffile.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace UrfTest;

namespace {

ZukenUrfFile oneCaseFile(int version, const ZukenUrfResult &result)
{
    ZukenUrfCase c;
    c.name = QStringLiteral("C");
    c.date = QStringLiteral("d");
    c.results.insert(1, result);
    ZukenUrfGroup g;
    g.name = QStringLiteral("G");
    g.cases.append(c);
    ZukenUrfFile file;
    file.formatVersion = version;
    file.groups.append(g);
    return file;
}

QStringList lines(const QString &text)
{
    QStringList all = text.split(QLatin1Char('\n'));
    if (!all.isEmpty() && all.last().isEmpty())
        all.removeLast();
    return all;
}

} // namespace

class TestUrfWriter : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleThroughList_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("golden");
        QTest::newRow("URF") << QStringLiteral("review.urf") << QStringLiteral("example_list.urf");
        QTest::newRow("RST") << QStringLiteral("review.rst") << QStringLiteral("example_list.rst");
    }

    void workedExampleThroughList()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, golden);
        Clock::ScopedFixedTime clock(exampleTime());
        DsvLayer wiring;
        wiring.name = QStringLiteral("Wiring1");
        wiring.number = 1;
        DsvLayer silk;
        silk.name = QStringLiteral("SilkTop");

        ZukenUrfFile file = NotesExport::emptyNotesFile(fileName);
        ZukenUrfCase &notes = NotesExport::notesCase(file);
        notes.results.insert(
            0, NotesExport::noteResult(QStringLiteral("Via check"), QRectF(10, 20, 100, 50), {wiring, silk}));
        notes.results.insert(1, NotesExport::noteResult(QStringLiteral("Note 2"), QRectF(), {}));
        const QByteArray expected = dataFile(golden);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(writtenFile(file), QString::fromUtf8(expected));
    }

    void headerLines_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("unitCode");
        QTest::addColumn<QStringList>("header");
        const QString date = QStringLiteral("date,\"2024/3/5 09:07\"");
        const QStringList urf = {QStringLiteral("version,5.000"), date, QStringLiteral("rsttype,\"urf\""),
                                 QStringLiteral("encoding,\"Shift-JIS\"")};
        QTest::newRow("inch") << 5 << 1 << (urf + QStringList{"unit,\"inch\""});
        QTest::newRow("mil") << 5 << 2 << (urf + QStringList{"unit,\"mil\""});
        QTest::newRow("micron") << 5 << 3 << (urf + QStringList{"unit,\"micron\""});
        QTest::newRow("zero is mm") << 5 << 0 << (urf + QStringList{"unit,\"mm\""});
        QTest::newRow("negative is mm") << 5 << -7 << (urf + QStringList{"unit,\"mm\""});
        QTest::newRow("newer version") << 6 << 4 << (urf + QStringList{"unit,\"mm\""});
        QTest::newRow("RST has no unit") << 4 << 1 << QStringList{"version,4.000", date};
        QTest::newRow("older version") << 3 << 2 << QStringList{"version,4.000", date};
    }

    void headerLines()
    {
        QFETCH(int, version);
        QFETCH(int, unitCode);
        QFETCH(QStringList, header);
        Clock::ScopedFixedTime clock(exampleTime());
        ZukenUrfFile file;
        file.formatVersion = version;
        file.unitCode = unitCode;
        QCOMPARE(lines(writtenFile(file)), header);
    }

    void unnamedCaseWritesGroupLinesOnly()
    {
        Clock::ScopedFixedTime clock(exampleTime());
        ZukenUrfCase unnamed;
        unnamed.fields.append(ZukenUrfField{4, QStringLiteral("F"), false});
        unnamed.results.insert(0, ZukenUrfResult{});
        ZukenUrfGroup group;
        group.name = QStringLiteral("G");
        group.cases.append(unnamed);
        ZukenUrfFile file;
        file.groups.append(group);
        const QStringList all = lines(writtenFile(file));
        QCOMPARE(all.mid(5), (QStringList{"begingroup,\"G\"", "endgroup"}));
        QVERIFY(file.groups[0].cases[0].date.isEmpty());
    }

    void resultLine_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("number1");
        QTest::addColumn<int>("number2");
        QTest::addColumn<QString>("line");
        QTest::newRow("A without label")
            << 2 << QString() << 0 << 0 << QStringLiteral("result,A,,\"2024/03/05 08:07\",,");
        QTest::newRow("E with label")
            << 0 << QStringLiteral("Via check") << 0 << 0 << QStringLiteral("result,E,\"Via check\",,,");
        QTest::newRow("M numbers") << 1 << QStringLiteral("x") << 12 << -3
                                   << QStringLiteral("result,M,\"x\",,12,-3");
        QTest::newRow("F second number") << 3 << QString() << 0 << 7 << QStringLiteral("result,F,,,,7");
        QTest::newRow("Q first number") << 4 << QString() << 5 << 0 << QStringLiteral("result,Q,,,5,");
        QTest::newRow("N") << 5 << QString() << 0 << 0 << QStringLiteral("result,N,,,,");
        QTest::newRow("unknown is N") << 42 << QString() << 0 << 0 << QStringLiteral("result,N,,,,");
        QTest::newRow("label kept as is")
            << 0 << QStringLiteral("a \"b\", c") << 0 << 0 << QStringLiteral("result,E,\"a \"b\", c\",,,");
    }

    void resultLine()
    {
        QFETCH(int, type);
        QFETCH(QString, label);
        QFETCH(int, number1);
        QFETCH(int, number2);
        QFETCH(QString, line);
        Clock::ScopedFixedTime clock(exampleTime());
        ZukenUrfResult result;
        result.type = static_cast<ResultType>(type);
        result.resultText = label;
        result.resultDate = QStringLiteral("never written");
        result.number1 = number1;
        result.number2 = number2;
        result.indent = 0;
        QCOMPARE(written(result, 5), line + QLatin1Char('\n'));
    }

    void zoomArea_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QList<double>>("coordinates");
        QTest::addColumn<QString>("line");
        const QList<double> example = {10, 70, 110, 20};
        QTest::newRow("URF") << 5 << example << QStringLiteral("zoomarea,0,10.0000,70.0000,110.0000,20.0000");
        QTest::newRow("RST") << 4 << example << QStringLiteral("zoomarea,0,1000000,7000000,11000000,2000000");
        QTest::newRow("URF rounding") << 5 << QList<double>{-12.5, 3.25, 0.00005, -1.23456}
                                      << QStringLiteral("zoomarea,0,-12.5000,3.2500,0.0001,-1.2346");
        QTest::newRow("RST truncates towards zero")
            << 4 << QList<double>{-12.5, 3.25, 1.234567, -1.234567}
            << QStringLiteral("zoomarea,0,-1250000,325000,123456,-123456");
        QTest::newRow("RST clamps") << 4 << QList<double>{20000, 21474.83648, -21474.83648, -1e300}
                                    << QStringLiteral(
                                           "zoomarea,0,2000000000,2147483647,-2147483648,-2147483648");
        QTest::newRow("RST extremes") << 4
                                      << QList<double>{std::numeric_limits<double>::infinity(),
                                                       -std::numeric_limits<double>::infinity(),
                                                       std::numeric_limits<double>::quiet_NaN(), 1e300}
                                      << QStringLiteral("zoomarea,0,2147483647,-2147483648,0,2147483647");
    }

    void zoomArea()
    {
        QFETCH(int, version);
        QFETCH(QList<double>, coordinates);
        QFETCH(QString, line);
        ZukenUrfZoomArea zoom{0, coordinates[0], coordinates[1], coordinates[2], coordinates[3], 0};
        QCOMPARE(written(zoom, version), line + QLatin1Char('\n'));
    }

    void zoomAreaKeepsItsValues()
    {
        ZukenUrfResult result;
        result.zoomAreas.append(ZukenUrfZoomArea{3, -12.5, 3.25, 40.75, -8, 6});
        const ZukenUrfResult copy = result;
        const ZukenUrfZoomArea &z = copy.zoomAreas.first();
        QCOMPARE(z.x1, -12.5);
        QCOMPARE(z.y1, 3.25);
        QCOMPARE(z.x2, 40.75);
        QCOMPARE(z.y2, -8.0);
    }

    void symbols_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("line");
        QTest::newRow("rect URF") << 5 << 0
                                  << QStringLiteral("symbol,\"rect\",1.5000,2.0000,3.0000,-4.0000,0\n");
        QTest::newRow("arrow URF") << 5 << 1
                                   << QStringLiteral("symbol,\"arrow\",1.5000,2.0000,3.0000,-4.0000,0\n");
        QTest::newRow("rect RST") << 4 << 0
                                  << QStringLiteral("symbol,\"rect\",150000,200000,300000,-400000,0\n");
        QTest::newRow("arrow RST") << 4 << 1
                                   << QStringLiteral("symbol,\"arrow\",150000,200000,300000,-400000,0\n");
        QTest::newRow("tarrow URF") << 5 << 2
                                    << QStringLiteral("symbol,\"tarrow\",1.5000,2.0000,\"Look here\",0,0\n");
        QTest::newRow("tarrow RST") << 4 << 2 << QString();
        QTest::newRow("unknown kind") << 5 << 3 << QString();
    }

    void symbols()
    {
        QFETCH(int, version);
        QFETCH(int, kind);
        QFETCH(QString, line);
        ZukenUrfSymbol symbol{kind, 1.5, 2, 3, -4, QStringLiteral("Look here"), 0};
        QCOMPARE(written(symbol, version), line);
    }

    void layerWriteIsVirtual()
    {
        const ZukenUrfDocLayer doc(QStringLiteral("Doc"), LayerKind::System, 2);
        const ZukenUrfLayer &asLayer = doc;
        QString text;
        QTextStream out(&text);
        asLayer.write(out);
        ZukenUrfLayer(QStringLiteral("L"), static_cast<LayerKind>(9), 0).write(out);
        ZukenUrfLayer(QStringLiteral("N"), LayerKind::NCond, 1).write(out);
        out.flush();
        QCOMPARE(text, QStringLiteral(
                           "  doclayer,\"system\",\"Doc\"\nlayer,\"cond\",\"L\"\n layer,\"ncond\",\"N\"\n"));
    }

    void subRecordsInOrder_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("URF") << 5
                             << QStringLiteral("    result,E,\"R\",,,\n"
                                               "      param,\"p1\",\"\",\"p,3\"\n"
                                               "      zoomarea,1,1.0000,2.0000,3.0000,4.0000\n"
                                               "      symbol,\"arrow\",0.0000,0.0000,1.0000,1.0000,0\n"
                                               "      symbol,\"tarrow\",5.0000,6.0000,\"t\",0,0\n"
                                               "      layer,\"cond\",\"L\"\n"
                                               "      doclayer,\"ncond\",\"D\"\n"
                                               "      comp,\"U1\",\n"
                                               "      comp,U2,x\n"
                                               "      pin,\"U1\",\"3\",\n"
                                               "      pin,a,b,c\n"
                                               "      net,\"GND\",\n"
                                               "      net,N1,\"extra\"\n");
        QTest::newRow("RST") << 4
                             << QStringLiteral("    result,E,\"R\",,,\n"
                                               "      param,\"p1\",\"\",\"p,3\"\n"
                                               "      zoomarea,1,100000,200000,300000,400000\n"
                                               "      symbol,\"arrow\",0,0,100000,100000,0\n"
                                               "      layer,\"cond\",\"L\"\n"
                                               "      comp,\"U1\",\n"
                                               "      comp,U2,x\n"
                                               "      pin,\"U1\",\"3\",\n"
                                               "      pin,a,b,c\n"
                                               "      net,\"GND\",\n"
                                               "      net,N1,\"extra\"\n");
    }

    void subRecordsInOrder()
    {
        QFETCH(int, version);
        QFETCH(QString, expected);
        ZukenUrfResult r;
        r.indent = 4;
        r.resultText = QStringLiteral("R");
        r.params = {QStringLiteral("p1"), QString(), QStringLiteral("p,3")};
        // Deliberately odd indents: the writer sets every sub-record to the result's + 2.
        r.nets = {ZukenUrfNet{0, QStringLiteral("\"GND\""), QString()},
                  ZukenUrfNet{9, QStringLiteral("N1"), QStringLiteral("\"extra\"")}};
        r.pins = {ZukenUrfPin{1, QStringLiteral("\"U1\""), QStringLiteral("\"3\""), QString()},
                  ZukenUrfPin{1, QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}};
        r.comps = {ZukenUrfComp{3, QStringLiteral("\"U1\""), QString()},
                   ZukenUrfComp{3, QStringLiteral("U2"), QStringLiteral("x")}};
        r.docLayers = {ZukenUrfDocLayer(QStringLiteral("D"), LayerKind::NCond, 0)};
        r.layers = {ZukenUrfLayer(QStringLiteral("L"), LayerKind::Cond, 0)};
        r.symbols = {ZukenUrfSymbol{1, 0, 0, 1, 1, {}, 0},
                     ZukenUrfSymbol{2, 5, 6, 0, 0, QStringLiteral("t"), 0}};
        r.zoomAreas = {ZukenUrfZoomArea{1, 1, 2, 3, 4, 0}};
        QCOMPARE(written(r, version), expected);
        QCOMPARE(r.nets[1].indent, 6);
        if (version > 4)
            QCOMPARE(r.docLayers[0].indent, 6);
    }

    void resultWithParamsOnlyIsTwoLines()
    {
        ZukenUrfResult r;
        r.params = {QStringLiteral("a")};
        QCOMPARE(lines(written(r, 5)), (QStringList{"    result,E,,,,", "      param,\"a\""}));
    }

    void caseLines()
    {
        Clock::ScopedFixedTime clock(exampleTime());
        ZukenUrfCase c;
        c.indent = 1;
        c.name = QStringLiteral("Case");
        c.fields = {ZukenUrfField{0, QStringLiteral("A"), true}, ZukenUrfField{0, QString(), true},
                    ZukenUrfField{0, QStringLiteral("B"), false}};
        ZukenUrfResult r9;
        r9.resultText = QStringLiteral("nine");
        ZukenUrfResult r2;
        r2.resultText = QStringLiteral("two");
        c.results.insert(9, r9);
        c.results.insert(2, r2);
        QCOMPARE(lines(written(c, 5)), (QStringList{" case,\"Case\",\"2024/3/5 08:07\",",
                                                    "   field,\"A\",\"UNIT\"", "   field,\"B\",\"RAW\"",
                                                    "   result,E,\"two\",,,", "   result,E,\"nine\",,,"}));
        // The date filled in stays in the record; a later write keeps it.
        QCOMPARE(c.date, QStringLiteral("2024/3/5 08:07"));
        c.versionText = QStringLiteral("7.0");
        Clock::ScopedFixedTime later(exampleTime().addYears(1));
        QCOMPARE(lines(written(c, 5)).first(), QStringLiteral(" case,\"Case\",\"2024/3/5 08:07\",7.0"));
        QCOMPARE(c.fields[0].indent, 3);
        QCOMPARE(c.results[9].indent, 3);
    }

    void groupsNestAndKeepTheirIndent()
    {
        ZukenUrfCase c;
        c.name = QStringLiteral("C");
        c.date = QStringLiteral("d");
        ZukenUrfGroup inner;
        inner.name = QStringLiteral("Inner");
        inner.indent = 3;
        ZukenUrfGroup outer;
        outer.name = QStringLiteral("Outer");
        outer.indent = 1;
        outer.subgroups.append(inner);
        outer.cases.append(c);
        QCOMPARE(lines(written(outer, 5)),
                 (QStringList{" begingroup,\"Outer\"", "  case,\"C\",\"d\",", "   begingroup,\"Inner\"",
                              "   endgroup", " endgroup"}));
    }

    void lineBreaksBecomeSpaces()
    {
        Clock::ScopedFixedTime clock(exampleTime());
        ZukenUrfResult r;
        r.indent = 0;
        r.resultText = QStringLiteral("two\r\nlines");
        r.params = {QStringLiteral("a\nb"), QStringLiteral("c\rd")};
        r.layers = {ZukenUrfLayer(QStringLiteral("L\n1"), LayerKind::NCond, 0)};
        r.comps = {ZukenUrfComp{0, QStringLiteral("U\n1"), QStringLiteral("x\ry")}};
        r.pins = {ZukenUrfPin{0, QStringLiteral("a\n"), QStringLiteral("\rb"), QStringLiteral("c\n")}};
        r.nets = {ZukenUrfNet{0, QStringLiteral("N\n"), QString()}};
        r.symbols = {ZukenUrfSymbol{2, 0, 0, 0, 0, QStringLiteral("t\nt"), 0}};
        ZukenUrfFile file = oneCaseFile(5, r);
        file.groups[0].name = QStringLiteral("G\nroup");
        file.groups[0].cases[0].name = QStringLiteral("Ca\nse");
        file.groups[0].cases[0].fields = {ZukenUrfField{4, QStringLiteral("F\r\n"), false}};
        const QString text = writtenFile(file);
        QVERIFY(!text.contains(QLatin1Char('\r')));
        const QStringList all = lines(text);
        QCOMPARE(
            all.mid(5),
            (QStringList{"begingroup,\"G roup\"", "  case,\"Ca se\",\"d\",", "    field,\"F  \",\"RAW\"",
                         "    result,E,\"two  lines\",,,", "      param,\"a b\",\"c d\"",
                         "      symbol,\"tarrow\",0.0000,0.0000,\"t t\",0,0", "      layer,\"ncond\",\"L 1\"",
                         "      comp,U 1,x y", "      pin,a , b,c ", "      net,N ,", "endgroup"}));
        // The records themselves are not changed.
        QCOMPARE(file.groups[0].cases[0].results[1].resultText, QStringLiteral("two\r\nlines"));
    }

    void saveWritesTheFile()
    {
        Clock::ScopedFixedTime clock(exampleTime());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ZukenUrfResult r;
        r.params = {QStringLiteral("p")};
        ZukenUrfFile file = oneCaseFile(5, r);
        file.fileName = dir.filePath(QStringLiteral("out.urf"));
        QVERIFY(file.save(false));
        QCOMPARE(QString::fromUtf8(fileBytes(file.fileName)), writtenFile(file));
        QVERIFY(UrfText::oneLine(QString()).isEmpty());
    }

    void saveFailsQuietly()
    {
        QTemporaryDir dir;
        ZukenUrfFile noName = oneCaseFile(5, {});
        QVERIFY(!noName.save(true));

        ZukenUrfFile missingFolder = oneCaseFile(5, {});
        missingFolder.fileName = dir.filePath(QStringLiteral("no/such/folder/out.urf"));
        QVERIFY(!missingFolder.save(true));
        QVERIFY(!QFile::exists(missingFolder.fileName));

        // A directory in the way of the file: nothing written, the directory untouched.
        const QString blocked = dir.filePath(QStringLiteral("blocked.urf"));
        QVERIFY(QDir().mkdir(blocked));
        ZukenUrfFile onDirectory = oneCaseFile(5, {});
        onDirectory.fileName = blocked;
        QVERIFY(!onDirectory.save(false));
        QVERIFY(QFileInfo(blocked).isDir());
    }
};

QTEST_MAIN(TestUrfWriter)
#include "tst_urfwriter.moc"
