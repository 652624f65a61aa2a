#include "urftesthelpers.h"

#include "urf/zukenurffile.h"

#include <QTest>

using namespace UrfTest;

namespace {

QByteArray header(int version = 5)
{
    return version > 4 ? QByteArray("version,5.000\ndate,\"2024/1/1 00:00\"\nrsttype,\"urf\"\n"
                                    "encoding,\"Shift-JIS\"\nunit,\"mm\"\n")
                       : QByteArray("version,4.000\ndate,\"2024/1/1 00:00\"\n");
}

// A file with one group holding one case whose body is given.
QByteArray oneCase(const QByteArray &body, int version = 5)
{
    return header(version) + "begingroup,\"G\"\nbegingroup,\"Sub\"\n  case,\"C\",\"x\",7.0\n" + body +
           "endgroup\nendgroup\n";
}

const ZukenUrfCase *onlyCase(const ZukenUrfFile &file)
{
    if (file.groups.size() != 1 || file.groups[0].subgroups.size() != 1 ||
        file.groups[0].subgroups[0].cases.size() != 1)
        return nullptr;
    return &file.groups[0].subgroups[0].cases[0];
}

QStringList groupNames(const QList<ZukenUrfGroup> &groups)
{
    QStringList names;
    for (const ZukenUrfGroup &g : groups)
        names << g.name;
    return names;
}

} // namespace

class TestUrfReader : public QObject
{
    Q_OBJECT

private slots:
    void exportedFileReadsBack_data()
    {
        QTest::addColumn<QString>("golden");
        QTest::addColumn<int>("version");
        QTest::newRow("URF") << QStringLiteral("example_list.urf") << 5;
        QTest::newRow("RST") << QStringLiteral("example_list.rst") << 4;
    }

    void exportedFileReadsBack()
    {
        QFETCH(QString, golden);
        QFETCH(int, version);
        const ZukenUrfFile file = readText(dataFile(golden));
        QCOMPARE(file.formatVersion, version);
        QCOMPARE(groupNames(file.groups), QStringList{"Veritrace"});
        QCOMPARE(groupNames(file.groups[0].subgroups), QStringList{"Notes Info"});
        const ZukenUrfCase *c = onlyCase(file);
        QVERIFY(c);
        QCOMPARE(c->name, QStringLiteral("Notes"));
        QVERIFY(c->date.isEmpty());
        QCOMPARE(c->versionText, QStringLiteral("1.0"));
        QCOMPARE(c->fields.size(), 3);
        QCOMPARE(c->fields[1].name, QStringLiteral("Position X"));
        QVERIFY(!c->fields[0].isUnit);
        QVERIFY(c->fields[2].isUnit);
        // Neither label ends in a number: both results get key 0, the second one is kept beside
        // the first under the next key.
        QCOMPARE(c->results.keys(), (QList<int>{0, 1}));
        const ZukenUrfResult &via = c->results[0];
        QCOMPARE(via.resultText, QStringLiteral("Via check"));
        QCOMPARE(via.params, (QStringList{"Via check", "60.000", "45.000"}));
        QCOMPARE(via.zoomAreas.size(), 1);
        QCOMPARE(via.zoomAreas[0].x1, 10.0);
        QCOMPARE(via.zoomAreas[0].y1, 70.0);
        QCOMPARE(via.zoomAreas[0].x2, 110.0);
        QCOMPARE(via.zoomAreas[0].y2, 20.0);
        QCOMPARE(via.layers.size(), 4);
        QCOMPARE(via.layers[0].kind, LayerKind::Cond);
        QCOMPARE(via.layers[0].name, QStringLiteral("1"));
        QCOMPARE(via.layers[1].kind, LayerKind::NCond);
        QCOMPARE(via.layers[3].kind, LayerKind::System);
        QCOMPARE(via.layers[3].name, QStringLiteral("PADSTACK"));
        QCOMPARE(c->results[1].params, (QStringList{"Note 2", "0.000", "0.000"}));
    }

    void appVersionGivesVersionText()
    {
        QByteArray text = oneCase("");
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        ZukenUrfFile file;
        file.appVersion = ZukenUrfAppVersion{7, 3, 9};
        file.readFile(&buffer);
        QVERIFY(onlyCase(file));
        QCOMPARE(onlyCase(file)->versionText, QStringLiteral("7.3"));
    }

    void resultLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("number1");
        QTest::addColumn<int>("number2");
        QTest::newRow("five parts") << QByteArray("result,F,\"X-3\",,") << 0 << 0 << QString() << QString()
                                    << 0 << 0;
        QTest::newRow("seven parts") << QByteArray("result,F,\"X-3\",,,,") << 0 << 0 << QString() << QString()
                                     << 0 << 0;
        QTest::newRow("E") << QByteArray("result,E,\"Via check\",,,") << 0 << 0 << QStringLiteral("Via check")
                           << QString() << 0 << 0;
        QTest::newRow("M") << QByteArray("result,M,\"DRC-12\",,,") << 12 << 1 << QStringLiteral("DRC-12")
                           << QString() << 0 << 0;
        QTest::newRow("A with date") << QByteArray("result,A,\"a-b-7\",\"2024/02/01 09:30\",3,4") << 7 << 2
                                     << QStringLiteral("a-b-7") << QStringLiteral("2024/02/01 09:30") << 3
                                     << 4;
        QTest::newRow("F number label")
            << QByteArray("result,F,\"42\",,,") << 42 << 3 << QStringLiteral("42") << QString() << 0 << 0;
        QTest::newRow("Q") << QByteArray("result,Q,,,,9") << 0 << 4 << QString() << QString() << 0 << 9;
        QTest::newRow("N") << QByteArray("result,N,\"x-\",,,") << 0 << 5 << QStringLiteral("x-") << QString()
                           << 0 << 0;
        QTest::newRow("lower case letter")
            << QByteArray("result,f,,,,") << 0 << 0 << QString() << QString() << 0 << 0;
        QTest::newRow("not numbers") << QByteArray("result,A,\"-x\",,y,z") << 0 << 2 << QStringLiteral("-x")
                                     << QString() << 0 << 0;
    }

    void resultLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, key);
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(QString, date);
        QFETCH(int, number1);
        QFETCH(int, number2);
        const ZukenUrfFile file = readText(oneCase("    " + line + "\n      param,\"p\"\n"));
        const ZukenUrfCase *c = onlyCase(file);
        QVERIFY(c);
        QCOMPARE(c->results.keys(), QList<int>{key});
        const ZukenUrfResult &r = c->results.first();
        QCOMPARE(int(r.type), type);
        QCOMPARE(r.resultText, text);
        QCOMPARE(r.resultDate, date);
        QCOMPARE(r.number1, number1);
        QCOMPARE(r.number2, number2);
        QCOMPARE(r.params, QStringList{"p"});
        QCOMPARE(r.indent, 4);
    }

    void equalKeysKeepEveryResult()
    {
        const ZukenUrfFile file =
            readText(oneCase("result,F,\"a\",,,\nresult,M,\"R-5\",,,\nresult,Q,\"b\",,,\n"
                             "result,A,\"R-5\",,,\n"));
        const ZukenUrfCase *c = onlyCase(file);
        QVERIFY(c);
        QCOMPARE(c->results.keys(), (QList<int>{0, 5, 6, 7}));
        QCOMPARE(c->results[0].resultText, QStringLiteral("a"));
        QCOMPARE(c->results[5].type, ResultType::M);
        QCOMPARE(c->results[6].resultText, QStringLiteral("b"));
        QCOMPARE(c->results[7].type, ResultType::A);
    }

    void subLines_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<double>("scale");
        QTest::newRow("URF") << 5 << 1.0;
        QTest::newRow("RST") << 4 << 100000.0;
    }

    void subLines()
    {
        QFETCH(int, version);
        QFETCH(double, scale);
        const auto n = [scale](double v) { return QByteArray::number(v * scale, 'f', 4); };
        const QByteArray body = "    result,F,\"Label-2\",,,\n"
                                "      param,\"a  b\",\"c\",\"\",d\n"
                                "      zoomarea,3," +
                                n(10) + "," + n(70) + "," + n(110) + "," + n(20) +
                                "\n"
                                "      symbol,\"rect\"," +
                                n(1) + "," + n(2) + "," + n(3) + "," + n(4) +
                                ",0\n"
                                "      symbol,\"arrow\"," +
                                n(-1) + "," + n(-2) + "," + n(-3) + "," + n(-4) +
                                ",0\n"
                                "      symbol,\"tarrow\"," +
                                n(5) + "," + n(6) +
                                ",\"Look\",0,0\n"
                                "      symbol,\"blob\",1,1,1,1,0\n"
                                "      layer,\"system\",\"BOARDSHAPE\"\n"
                                "      layer,\"odd\",\"X\"\n"
                                "      doclayer,\"ncond\",\"Doc\"\n"
                                "      comp,\"U1\",\n"
                                "      comp,\"U2\",\"R\",more\n"
                                "      pin,\"U1\",\"3\",\n"
                                "      pin,a,b,c\n"
                                "      net,\"GND\",\n"
                                "      net,N1,\"x\"\n"
                                "      whatever,1,2\n";
        const ZukenUrfFile file = readText(oneCase(body, version));
        const ZukenUrfCase *c = onlyCase(file);
        QVERIFY(c);
        QCOMPARE(c->results.keys(), QList<int>{2});
        const ZukenUrfResult &r = c->results[2];
        QCOMPARE(r.params, (QStringList{"a b", "c", "", "d"}));
        QCOMPARE(r.zoomAreas.size(), 1);
        QCOMPARE(r.zoomAreas[0].id, 3);
        QCOMPARE(r.zoomAreas[0].x1, 10.0);
        QCOMPARE(r.zoomAreas[0].y1, 70.0);
        QCOMPARE(r.zoomAreas[0].x2, 110.0);
        QCOMPARE(r.zoomAreas[0].y2, 20.0);
        QCOMPARE(r.zoomAreas[0].indent, 6);
        QCOMPARE(r.symbols.size(), 4);
        QCOMPARE(r.symbols[0].kind, 0);
        QCOMPARE(r.symbols[0].y2, 4.0);
        QCOMPARE(r.symbols[1].kind, 1);
        QCOMPARE(r.symbols[1].x2, -3.0);
        QCOMPARE(r.symbols[2].kind, 2);
        QCOMPARE(r.symbols[2].x1, 5.0);
        QCOMPARE(r.symbols[2].y1, 6.0);
        QCOMPARE(r.symbols[2].x2, 0.0);
        QCOMPARE(r.symbols[2].text, QStringLiteral("Look"));
        QCOMPARE(r.symbols[3].kind, 1);
        QCOMPARE(r.layers.size(), 2);
        QCOMPARE(r.layers[0].kind, LayerKind::System);
        QCOMPARE(r.layers[1].kind, LayerKind::Cond);
        QCOMPARE(r.docLayers.size(), 1);
        QCOMPARE(r.docLayers[0].kind, LayerKind::NCond);
        QCOMPARE(r.docLayers[0].name, QStringLiteral("Doc"));
        QCOMPARE(r.comps.size(), 2);
        QCOMPARE(r.comps[0].name, QStringLiteral("\"U1\""));
        QVERIFY(r.comps[0].extra.isEmpty());
        QCOMPARE(r.comps[1].extra, QStringLiteral("\"R\""));
        QCOMPARE(r.pins.size(), 2);
        QCOMPARE(r.pins[0].text2, QStringLiteral("\"3\""));
        QVERIFY(r.pins[0].text3.isEmpty());
        QCOMPARE(r.pins[1].text3, QStringLiteral("c"));
        QCOMPARE(r.nets.size(), 2);
        QVERIFY(r.nets[0].extra.isEmpty());
        QCOMPARE(r.nets[1].extra, QStringLiteral("\"x\""));
    }

    void longParamLineReadsEveryField()
    {
        // A line of 200,000 fields, as a hostile or broken result file may hold.
        QByteArray line = "      param";
        for (int i = 0; i < 200000; ++i)
            line += ",\"p" + QByteArray::number(i) + '"';
        const ZukenUrfFile file = readText(oneCase("    result,F,\"Label-2\",,,\n" + line + "\n", 5));
        const ZukenUrfCase *c = onlyCase(file);
        QVERIFY(c);
        const QStringList &params = c->results[2].params;
        QCOMPARE(params.size(), 200000);
        QCOMPARE(params.last(), QStringLiteral("p199999"));
    }

    void writerAndReaderAgree()
    {
        // Everything the reader takes back from a written URF file comes back unchanged.
        ZukenUrfResult r;
        r.type = ResultType::Q;
        r.resultText = QStringLiteral("Check-17");
        r.number1 = 4;
        r.number2 = -2;
        r.params = {QStringLiteral("x"), QStringLiteral("1.500")};
        r.zoomAreas = {ZukenUrfZoomArea{2, -12.5, 3.25, 40.75, -8, 6}};
        r.symbols = {ZukenUrfSymbol{0, 1, 2, 3, 4, {}, 6},
                     ZukenUrfSymbol{2, 7, 8, 0, 0, QStringLiteral("t"), 6}};
        r.layers = {ZukenUrfLayer(QStringLiteral("L1"), LayerKind::NCond)};
        r.docLayers = {ZukenUrfDocLayer(QStringLiteral("D1"), LayerKind::System)};
        r.comps = {ZukenUrfComp{6, QStringLiteral("\"U7\""), QStringLiteral("\"pkg\"")}};
        r.pins = {ZukenUrfPin{6, QStringLiteral("\"U7\""), QStringLiteral("\"1\""), QString()}};
        r.nets = {ZukenUrfNet{6, QStringLiteral("\"VCC\""), QString()}};
        ZukenUrfCase c;
        c.name = QStringLiteral("Case");
        c.date = QStringLiteral("x");
        c.fields = {ZukenUrfField{4, QStringLiteral("F"), true}};
        c.results.insert(17, r);
        ZukenUrfGroup sub;
        sub.name = QStringLiteral("Sub");
        sub.cases.append(c);
        ZukenUrfGroup top;
        top.name = QStringLiteral("Top");
        top.subgroups.append(sub);
        ZukenUrfFile out;
        out.groups.append(top);
        const ZukenUrfFile in = readText(writtenFile(out).toUtf8());
        const ZukenUrfCase *back = onlyCase(in);
        QVERIFY(back);
        QCOMPARE(back->fields.size(), 1);
        QVERIFY(back->fields[0].isUnit);
        QCOMPARE(back->results.keys(), QList<int>{17});
        const ZukenUrfResult &b = back->results[17];
        QCOMPARE(b.type, r.type);
        QCOMPARE(b.resultText, r.resultText);
        QCOMPARE(b.number1, r.number1);
        QCOMPARE(b.number2, r.number2);
        QCOMPARE(b.params, r.params);
        QCOMPARE(b.zoomAreas[0].x1, -12.5);
        QCOMPARE(b.zoomAreas[0].y2, -8.0);
        QCOMPARE(b.symbols.size(), 2);
        QCOMPARE(b.symbols[1].text, QStringLiteral("t"));
        QCOMPARE(b.layers[0].name, QStringLiteral("L1"));
        QCOMPARE(b.docLayers[0].kind, LayerKind::System);
        QCOMPARE(b.comps[0].extra, QStringLiteral("\"pkg\""));
        QCOMPARE(b.pins[0].text1, QStringLiteral("\"U7\""));
        QCOMPARE(b.nets[0].name, QStringLiteral("\"VCC\""));
    }

    void rstZoomAreaIsDividedBack()
    {
        const ZukenUrfFile file = readText(dataFile(QStringLiteral("reviewed.rst")));
        QCOMPARE(file.formatVersion, 4);
        const ZukenUrfCase *c = onlyCase(file);
        QVERIFY(c);
        const ZukenUrfZoomArea &z = c->results.first().zoomAreas.first();
        QCOMPARE(z.x1, 10.0);
        QCOMPARE(z.y1, 70.0);
        QCOMPARE(z.x2, 110.0);
        QCOMPARE(z.y2, 20.0);
    }

    void titlesThatDoNotSurvive()
    {
        const ZukenUrfFile file = readText(oneCase("result,E,\"Two  spaces\",,,\n"
                                                   "  param,\"Two  spaces\",\"a,b\",\"\t tab \"\n"));
        const ZukenUrfCase *c = onlyCase(file);
        QVERIFY(c);
        QCOMPARE(c->results.first().resultText, QStringLiteral("Two spaces"));
        QCOMPARE(c->results.first().params, (QStringList{"Two spaces", "a", "b", " tab "}));
    }

    void caseWithoutEndgroupIsDropped()
    {
        const ZukenUrfFile file = readText(header() + "begingroup,\"G\"\nbegingroup,\"Sub\"\n"
                                                      "  case,\"First\",\"x\",\n  case,\"Open\",\"x\",\n"
                                                      "    result,F,\"R-1\",,,\n      param,\"p\"\n");
        // The device ends inside the second case: the first case was complete, but its groups never
        // reached their endgroup lines either, so nothing is kept.
        QVERIFY(file.groups.isEmpty());

        QByteArray text = "  case,\"First\",\"x\",\n  case,\"Open\",\"x\",\n    result,F,\"R-1\",,,\n";
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        ZukenUrfGroup group;
        group.readCases(&buffer, 5, ZukenUrfAppVersion{});
        QCOMPARE(group.cases.size(), 1);
        QCOMPARE(group.cases[0].name, QStringLiteral("First"));
    }

    void caseLineInsideResultIsLost()
    {
        const ZukenUrfFile file = readText(oneCase("    result,F,\"R-1\",,,\n"
                                                   "  case,\"Second\",\"x\",\n"
                                                   "    field,\"Lost\",\"RAW\"\n"
                                                   "    result,M,\"R-2\",,,\n"));
        const ZukenUrfCase *c = onlyCase(file);
        QVERIFY(c);
        QCOMPARE(c->name, QStringLiteral("C"));
        QVERIFY(c->fields.isEmpty());
        QCOMPARE(c->results.keys(), (QList<int>{1, 2}));
    }

    void linesBeforeCaseAreSkipped()
    {
        QByteArray text =
            "junk\n  field,\"F\",\"RAW\"\n  case,\"C\",\"x\",\n  field,\"G\",\"UNIT\"\nendgroup\n"
            "  case,\"After\",\"x\",\nendgroup\n";
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        ZukenUrfGroup group;
        group.readCases(&buffer, 5, ZukenUrfAppVersion{});
        QCOMPARE(group.cases.size(), 1);
        QCOMPARE(group.cases[0].fields.size(), 1);
        QCOMPARE(group.cases[0].fields[0].name, QStringLiteral("G"));
        // The endgroup line was consumed, the next case is left on the device.
        QCOMPARE(buffer.readLine().trimmed(), QByteArray("case,\"After\",\"x\","));
    }

    void groupStructure_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("top");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QStringList>("third");
        QTest::addColumn<int>("cases");

        QTest::newRow("empty") << QByteArray() << QStringList() << QStringList() << QStringList() << 0;
        QTest::newRow("header only") << header() << QStringList() << QStringList() << QStringList() << 0;
        QTest::newRow("two levels") << dataFile(QStringLiteral("reviewed_nested.urf"))
                                    << QStringList{"Veritrace"} << QStringList{"Notes Info", "Other Info"}
                                    << QStringList() << 2;
        QTest::newRow("three levels")
            << dataFile(QStringLiteral("reviewed_deep.urf")) << QStringList{"Veritrace"}
            << QStringList{"Boards"} << QStringList{"Notes Info"} << 1;
        QTest::newRow("case in top group")
            << QByteArray("begingroup,\"Lost\"\n  case,\"Named\",\"x\",\nendgroup\n"
                          "begingroup,\"Next\"\nendgroup\n")
            << QStringList{"Named", "Next"} << QStringList() << QStringList() << 1;
        QTest::newRow("fourth level is flattened")
            << QByteArray("begingroup,\"A\"\nbegingroup,\"B\"\nbegingroup,\"C\"\nbegingroup,\"D\"\n"
                          "  case,\"Deep\",\"x\",\nendgroup\nendgroup\nendgroup\nendgroup\n")
            << QStringList{"A"} << QStringList{"B"} << QStringList{"C"} << 1;
        QTest::newRow("unclosed top group") << QByteArray("begingroup,\"A\"\nbegingroup,\"B\"\nendgroup\n")
                                            << QStringList() << QStringList() << QStringList() << 0;
        QTest::newRow("crlf and blank lines")
            << QByteArray("version,5.000\r\n\r\n   \r\nbegingroup,\"A\"\r\nbegingroup,\"B\"\r\n  "
                          "case,\"C\",\"x\",\r\n"
                          "endgroup\r\nendgroup\r\n")
            << QStringList{"A"} << QStringList{"B"} << QStringList() << 1;
    }

    void groupStructure()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, top);
        QFETCH(QStringList, second);
        QFETCH(QStringList, third);
        QFETCH(int, cases);
        const ZukenUrfFile file = readText(text);
        QCOMPARE(groupNames(file.groups), top);
        int count = 0;
        QStringList seconds;
        QStringList thirds;
        for (const ZukenUrfGroup &g : file.groups) {
            count += int(g.cases.size());
            seconds += groupNames(g.subgroups);
            for (const ZukenUrfGroup &s : g.subgroups) {
                count += int(s.cases.size());
                thirds += groupNames(s.subgroups);
                for (const ZukenUrfGroup &t : s.subgroups)
                    count += int(t.cases.size());
            }
        }
        QCOMPARE(seconds, second);
        QCOMPARE(thirds, third);
        QCOMPARE(count, cases);
    }

    void versionLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("version");
        QTest::newRow("4") << QByteArray("version,4.000") << 4;
        QTest::newRow("5") << QByteArray("version,5.000") << 5;
        QTest::newRow("padded 4") << QByteArray("  version,4.000  ") << 4;
        QTest::newRow("unit line ignored") << QByteArray("unit,\"4.000\"") << 5;
    }

    void versionLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, version);
        QCOMPARE(readText(line + "\n").formatVersion, version);
    }

    void truncatedFilesNeverCrash()
    {
        const QByteArray full = dataFile(QStringLiteral("reviewed_nested.urf"));
        QVERIFY(!full.isEmpty());
        int keptGroups = 0;
        for (int cut = 0; cut <= full.size(); ++cut)
            keptGroups += int(readText(full.left(cut)).groups.size());
        // Only the complete file (or one cut inside its last line) keeps the group.
        QVERIFY(keptGroups >= 1);
        QVERIFY(keptGroups <= int(qstrlen("endgroup\n")));
    }

    // RST coordinates are integers in units of 1/100000; read and written again they stay the same
    // integer (the division and multiplication round off a hair, which must not truncate to one less).
    void rstCoordinatesSurviveReadAndWrite_data()
    {
        QTest::addColumn<QByteArray>("coordinates");
        QTest::newRow("near the 32-bit limit") << QByteArray("2147483646,2147483645,-2147483647,-2147483646");
        QTest::newRow("everyday") << QByteArray("1,12345,-7,600000");
        QTest::newRow("exact either way") << QByteArray("2147483,40000001,999999999,3");
    }

    void rstCoordinatesSurviveReadAndWrite()
    {
        QFETCH(QByteArray, coordinates);
        const QByteArray text = "version,4.000\n"
                                "begingroup,\"Veritrace\"\n"
                                "begingroup,\"Notes Info\"\n"
                                "  case,\"Notes\",\"2024/3/5 08:07\",1.0\n"
                                "    field,\"Note Name\",\"RAW\"\n"
                                "    result,F,\"Via\",,,\n"
                                "      param,\"Via\"\n"
                                "      zoomarea,0," +
                                coordinates +
                                "\n"
                                "endgroup\n"
                                "endgroup\n";
        ZukenUrfFile read = readText(text);
        const QString once = writtenFile(read);
        QVERIFY2(once.contains(QStringLiteral("zoomarea,0,") + QString::fromLatin1(coordinates) + QLatin1Char('\n')),
                 qPrintable(once));
    }
};

QTEST_MAIN(TestUrfReader)
#include "tst_urfreader.moc"
