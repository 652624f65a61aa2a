#include "notespages.h"
#include "urftesthelpers.h"

#include "urf/notesexport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace UrfTest;
using NotesPages::addPage;
using NotesPages::layer;

class TestNotesExport : public QObject
{
    Q_OBJECT

private slots:
    void workedExampleThroughTheModel_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("golden");
        QTest::newRow("URF") << QStringLiteral("board_notes.urf") << QStringLiteral("example_map.urf");
        QTest::newRow("RST") << QStringLiteral("board.rst") << QStringLiteral("example_map.rst");
    }

    void workedExampleThroughTheModel()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, golden);
        Clock::ScopedFixedTime clock(exampleTime());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QStandardItemModel model;
        NotesPages::addExamplePages(model);
        const QString path = dir.filePath(fileName);
        QVERIFY(NotesExport::exportNotes(&model, path));
        const QByteArray expected = dataFile(golden);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(QString::fromUtf8(fileBytes(path)), QString::fromUtf8(expected));
        QCOMPARE(model.item(1, Page::TitleColumn)->text(), QStringLiteral("Note 2"));
        QCOMPARE(model.item(0, Page::TitleColumn)->text(), QStringLiteral("Via check"));
    }

    void fileStructure()
    {
        QStandardItemModel model;
        const ZukenUrfFile urf = NotesExport::buildUrfFile(&model, QStringLiteral("x.urf"));
        QCOMPARE(urf.fileName, QStringLiteral("x.urf"));
        QCOMPARE(urf.formatVersion, 5);
        QCOMPARE(urf.unitCode, 0);
        QCOMPARE(urf.appVersion.major, 7);
        QCOMPARE(urf.groups.size(), 1);
        QCOMPARE(urf.groups[0].name, QStringLiteral("Veritrace"));
        QVERIFY(urf.groups[0].cases.isEmpty());
        QCOMPARE(urf.groups[0].subgroups.size(), 1);
        const ZukenUrfGroup &info = urf.groups[0].subgroups[0];
        QCOMPARE(info.name, QStringLiteral("Notes Info"));
        QCOMPARE(info.cases.size(), 1);
        const ZukenUrfCase &notes = info.cases[0];
        QCOMPARE(notes.name, QStringLiteral("Notes"));
        QVERIFY(notes.date.isEmpty());
        QCOMPARE(notes.versionText, QStringLiteral("7.0"));
        QVERIFY(notes.results.isEmpty());
        QCOMPARE(notes.fields.size(), 3);

        const ZukenUrfFile rst =
            NotesExport::buildUrfFile(&model, QStringLiteral("x.rst"), ZukenUrfAppVersion{8, 2, 1});
        QCOMPARE(rst.formatVersion, 4);
        QCOMPARE(rst.unitCode, 4);
        QCOMPARE(NotesExport::notesCase(rst).versionText, QStringLiteral("8.2"));
    }

    void defaultFileName_data()
    {
        QTest::addColumn<QString>("notesFile");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("no notes file") << QString() << QString();
        QTest::newRow("board") << QStringLiteral("board.nts") << QStringLiteral("board_notes.urf");
        QTest::newRow("twice") << QStringLiteral("a.nts.nts") << QStringLiteral("a_notes.urf_notes.urf");
        QTest::newRow("in a path") << QStringLiteral("/home/r/x.nts/b.nts")
                                   << QStringLiteral("/home/r/x_notes.urf/b_notes.urf");
        QTest::newRow("case-sensitive") << QStringLiteral("BOARD.NTS") << QStringLiteral("BOARD.NTS");
        QTest::newRow("inside a word") << QStringLiteral("c.ntsx") << QStringLiteral("c_notes.urfx");
    }

    void defaultFileName()
    {
        QFETCH(QString, notesFile);
        QFETCH(QString, proposed);
        QCOMPARE(NotesExport::defaultFileName(notesFile), proposed);
    }

    void formatFromName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("firstLine");
        QTest::newRow("urf") << QStringLiteral("review.urf") << QByteArray("version,5.000");
        QTest::newRow("rst") << QStringLiteral("review.rst") << QByteArray("version,4.000");
        QTest::newRow("RST upper case is URF") << QStringLiteral("review.RST") << QByteArray("version,5.000");
        QTest::newRow("no extension") << QStringLiteral("review") << QByteArray("version,5.000");
    }

    void formatFromName()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, firstLine);
        QTemporaryDir dir;
        QStandardItemModel model;
        addPage(model, QStringLiteral("P"), QRectF(1, 2, 3, 4));
        const QString path = dir.filePath(fileName);
        QVERIFY(NotesExport::exportNotes(&model, path));
        QCOMPARE(fileBytes(path).split('\n').first(), firstLine);
    }

    void onlyPagesWithViewRectangle()
    {
        QStandardItemModel model;
        addPage(model, QStringLiteral("first"), QVariant());
        addPage(model, QStringLiteral("second"), QRectF(0, 0, 10, 10));
        addPage(model, QString(), QVariant());
        ZukenUrfFile urf = NotesExport::buildUrfFile(&model, QStringLiteral("x.urf"));
        const ZukenUrfCase &notes = NotesExport::notesCase(urf);
        QCOMPARE(notes.results.keys(), QList<int>{1});
        QCOMPARE(notes.results[1].resultText, QStringLiteral("second"));
        QCOMPARE(notes.results[1].params, (QStringList{"second", "5.000", "5.000"}));
        // Untitled pages are named even when they add no result.
        QCOMPARE(model.item(2, Page::TitleColumn)->text(), QStringLiteral("Note 3"));
    }

    void untitledThirdPageKeepsItsNewTitle()
    {
        QTemporaryDir dir;
        QStandardItemModel model;
        addPage(model, QStringLiteral("a"), QRectF(0, 0, 1, 1));
        addPage(model, QStringLiteral("b"), QRectF(0, 0, 1, 1));
        addPage(model, QString(), QRectF(-4, -2, 2, 1));
        const QString path = dir.filePath(QStringLiteral("n.urf"));
        QVERIFY(NotesExport::exportNotes(&model, path));
        QCOMPARE(model.item(2, Page::TitleColumn)->text(), QStringLiteral("Note 3"));
        const QByteArray text = fileBytes(path);
        QVERIFY(text.contains("    result,E,\"Note 3\",,,\n      param,\"Note 3\",\"-3.000\",\"-1.500\"\n"
                              "      zoomarea,0,-4.0000,-1.0000,-2.0000,-2.0000\n"));
        // A second export finds the title already given.
        ZukenUrfFile again = NotesExport::buildUrfFile(&model, path);
        QCOMPARE(NotesExport::notesCase(again).results[2].resultText, QStringLiteral("Note 3"));
    }

    void pageWithoutSceneItemIsSkipped()
    {
        QStandardItemModel model;
        model.appendRow(QList<QStandardItem *>{new QStandardItem(QString())});
        addPage(model, QString(), QRectF(0, 0, 2, 2));
        ZukenUrfFile urf = NotesExport::buildUrfFile(&model, QStringLiteral("x.urf"));
        QCOMPARE(NotesExport::notesCase(urf).results.keys(), QList<int>{1});
        QCOMPARE(NotesExport::notesCase(urf).results[1].resultText, QStringLiteral("Note 2"));
        QVERIFY(model.item(0, Page::TitleColumn)->text().isEmpty());
        const ZukenUrfFile none = NotesExport::buildUrfFile(nullptr, QStringLiteral("y.urf"));
        QCOMPARE(none.groups.size(), 1);
    }

    void layersOfAPage_data()
    {
        QTest::addColumn<QList<DsvLayer>>("layers");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << QList<DsvLayer>() << QStringList{"system BOARDSHAPE", "system PADSTACK"};
        QTest::newRow("wiring by number")
            << QList<DsvLayer>{layer(QStringLiteral("WiringTop"), 4), layer(QStringLiteral("wiring2"), 7),
                               layer(QStringLiteral("Wiring"), 12), layer(QStringLiteral("MyWiring"), 3)}
            << QStringList{"cond 4",         "ncond wiring2",     "cond 12",
                           "ncond MyWiring", "system BOARDSHAPE", "system PADSTACK"};
        QTest::newRow("list order") << QList<DsvLayer>{layer(QStringLiteral("Wiring1"), 1),
                                                       layer(QStringLiteral("SilkTop"))}
                                    << QStringList{"cond 1", "ncond SilkTop", "system BOARDSHAPE",
                                                   "system PADSTACK"};
    }

    void layersOfAPage()
    {
        QFETCH(QList<DsvLayer>, layers);
        QFETCH(QStringList, expected);
        const ZukenUrfResult r = NotesExport::noteResult(QStringLiteral("t"), QRectF(), layers);
        QStringList got;
        for (const ZukenUrfLayer &l : r.layers) {
            const char *kind = l.kind == LayerKind::System  ? "system"
                               : l.kind == LayerKind::NCond ? "ncond"
                                                            : "cond";
            got << QString::fromLatin1(kind) + QLatin1Char(' ') + l.name;
            QCOMPARE(l.indent, 6);
        }
        QCOMPARE(got, expected);
    }

    void layersComeFromTheLayerMap()
    {
        QStandardItemModel model;
        addPage(model, QStringLiteral("p"), QRectF(),
                {layer(QStringLiteral("Wiring2"), 2), layer(QStringLiteral("Bottom"))});
        ZukenUrfFile urf = NotesExport::buildUrfFile(&model, QStringLiteral("x.urf"));
        const QList<ZukenUrfLayer> &layers = NotesExport::notesCase(urf).results[0].layers;
        QCOMPARE(layers.size(), 4);
        QCOMPARE(layers[0].name, QStringLiteral("Bottom"));
        QCOMPARE(layers[1].name, QStringLiteral("2"));
        QCOMPARE(layers[1].kind, LayerKind::Cond);
    }

    void multiLineTitle()
    {
        QTemporaryDir dir;
        QStandardItemModel model;
        addPage(model, QStringLiteral("first line\nsecond"), QRectF(0, 0, 2, 2));
        const QString path = dir.filePath(QStringLiteral("m.urf"));
        QVERIFY(NotesExport::exportNotes(&model, path));
        const QByteArray text = fileBytes(path);
        QVERIFY(text.contains(
            "    result,E,\"first line second\",,,\n      param,\"first line second\",\"1.000\""));
        QCOMPARE(model.item(0, Page::TitleColumn)->text(), QStringLiteral("first line\nsecond"));
    }

    void unwritablePathStillNamesPages()
    {
        QTemporaryDir dir;
        QStandardItemModel model;
        addPage(model, QString(), QRectF());
        QVERIFY(!NotesExport::exportNotes(&model, dir.filePath(QStringLiteral("missing/x.urf"))));
        QCOMPARE(model.item(0, Page::TitleColumn)->text(), QStringLiteral("Note 1"));
    }

    void dialogTexts()
    {
        QCOMPARE(NotesExport::dialogCaption(), QStringLiteral("Save URF-File"));
        QCOMPARE(NotesExport::dialogFilter(), QStringLiteral("BD-URF (*.urf);; DF-RST (*.rst)"));
    }
};

QTEST_MAIN(TestNotesExport)
#include "tst_notesexport.moc"
