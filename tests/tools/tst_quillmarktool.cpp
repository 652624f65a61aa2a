// quillmark-tool as scripts use it: result-file export against golden files, the merge of
// verdicts edited into an earlier export, resave round trips, exit statuses and messages.

#include "io/fontstream.h"
#include "tools/toolrunner.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// 2024-03-05 09:07:00 and 2024-03-06 09:07:00 UTC.
const QString FirstExport = QStringLiteral("1709629620");
const QString SecondExport = QStringLiteral("1709716020");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString golden(const QString &name)
{
    return QStringLiteral(QUILL_TEST_DATA_DIR "/tools/") + name;
}

// Splits a notes file into its picture payloads (the PNG streams inside the pixmap records) and
// everything else, where each payload is replaced by a marker. Payloads are found by their
// signature and walked chunk by chunk up to IEND.
QByteArray withoutPictures(const QByteArray &file, QList<QByteArray> &pictures)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    QByteArray rest;
    qsizetype from = 0;
    for (;;) {
        const qsizetype start = file.indexOf(signature, from);
        if (start < 0)
            break;
        qsizetype pos = start + signature.size();
        bool ended = false;
        while (!ended && pos + 12 <= file.size()) {
            const quint32 length = qFromBigEndian<quint32>(file.constData() + pos);
            ended = file.mid(pos + 4, 4) == "IEND";
            pos += 12 + qsizetype(length);
        }
        if (!ended || pos > file.size())
            break;
        rest += file.mid(from, start - from) + "<picture>";
        pictures.append(file.mid(start, pos - start));
        from = pos;
    }
    rest += file.mid(from);
    return rest;
}

QJsonObject dumpOf(const QString &path)
{
    const ToolRun run = runTool({QStringLiteral("dump"), path});
    return QJsonDocument::fromJson(run.out).object();
}

// The items of one kind as a sorted list, so that two pages can be compared whatever their order.
QStringList canonical(const QJsonArray &items)
{
    QStringList list;
    for (const QJsonValue &item : items)
        list << QString::fromUtf8(QJsonDocument(item.toObject()).toJson(QJsonDocument::Compact));
    list.sort();
    return list;
}

} // namespace

class TestQuillmarkTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void exportMatchesGolden_data();
    void exportMatchesGolden();
    void exportMergesEditedVerdicts_data();
    void exportMergesEditedVerdicts();

    void resaveKeepsEveryPage();
    void resaveTwiceGivesTheSameBytes();
    void resaveInPlace();
    void resaveConvertsOlderFormats();

    void damagedFile_data();
    void damagedFile();
    void damagedInputWritesNothing_data();
    void damagedInputWritesNothing();

    void failures_data();
    void failures();
    void helpAndVersion_data();
    void helpAndVersion();
    void runsWithoutDisplay();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    QString expand(QString argument) const;

    QTemporaryDir dir;
    QString sample;
};

void TestQuillmarkTool::initTestCase()
{
    QVERIFY(dir.isValid());
    sample = path(QStringLiteral("sample.nts"));
    QVERIFY(QFile::copy(QStringLiteral(QUILL_SAMPLE_FILE), sample));
    QVERIFY(QFile::setPermissions(sample, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.nts")));
}

QString TestQuillmarkTool::expand(QString argument) const
{
    argument.replace(QLatin1String("{sample}"), sample);
    argument.replace(QLatin1String("{tmp}"), dir.path());
    return argument;
}

void TestQuillmarkTool::exportMatchesGolden_data()
{
    QTest::addColumn<QString>("outName");
    QTest::addColumn<QString>("goldenName");
    QTest::addColumn<QString>("timeZone");
    QTest::newRow("URF") << QStringLiteral("review.urf") << QStringLiteral("sample.urf")
                         << QStringLiteral("UTC");
    QTest::newRow("RST") << QStringLiteral("review.rst") << QStringLiteral("sample.rst")
                         << QStringLiteral("UTC");
    // The format is chosen by a case-sensitive ending, as in the viewer.
    QTest::newRow("upper-case RST is URF")
        << QStringLiteral("review.RST") << QStringLiteral("sample.urf") << QStringLiteral("UTC");
    // A fixed SOURCE_DATE_EPOCH gives the same bytes whatever the local time zone (POSIX zone
    // strings, so no zone database is needed).
    QTest::newRow("URF nine hours east")
        << QStringLiteral("review-east.urf") << QStringLiteral("sample.urf") << QStringLiteral("JST-9");
    QTest::newRow("RST five hours west")
        << QStringLiteral("review-west.rst") << QStringLiteral("sample.rst") << QStringLiteral("EST5");
}

void TestQuillmarkTool::exportMatchesGolden()
{
    QFETCH(QString, outName);
    QFETCH(QString, goldenName);
    QFETCH(QString, timeZone);
    const QString out = path(outName);
    QFile::remove(out);
    QProcessEnvironment env = toolEnvironment(FirstExport);
    env.insert(QStringLiteral("TZ"), timeZone);
    const ToolRun run = runTool({QStringLiteral("urf"), sample, out}, env);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(readAll(out)), QString::fromUtf8(readAll(golden(goldenName))));
}

void TestQuillmarkTool::exportMergesEditedVerdicts_data()
{
    QTest::addColumn<QString>("extension");
    QTest::newRow("URF") << QStringLiteral("urf");
    QTest::newRow("RST") << QStringLiteral("rst");
}

// A reviewer edits the verdicts in an exported file; exporting the notes again into that file
// keeps them (an accepted result gets the time of the new export) and leaves the others open.
void TestQuillmarkTool::exportMergesEditedVerdicts()
{
    QFETCH(QString, extension);
    const QString out = path(QStringLiteral("merged.") + extension);
    QFile::remove(out);
    QCOMPARE(runTool({QStringLiteral("urf"), sample, out}, toolEnvironment(FirstExport)).exitCode, 0);
    QCOMPARE(readAll(out), readAll(golden(QStringLiteral("sample.") + extension)));

    QByteArray edited = readAll(out);
    const QByteArray fixedLine = "    result,E,\"U1 fan-out: via in pad\",,,";
    const QByteArray acceptedLine = "    result,E,\"TP1 inside the keep-out of H2\",,,";
    QVERIFY(edited.contains(fixedLine));
    QVERIFY(edited.contains(acceptedLine));
    edited.replace(fixedLine, "    result,F,\"Via moved out of the pad\",,,");
    edited.replace(acceptedLine, "    result,A,\"TP1 accepted as is-4\",\"2024/03/05 11:30\",,");
    QVERIFY(writeAll(out, edited));

    const ToolRun run = runTool({QStringLiteral("urf"), sample, out}, toolEnvironment(SecondExport));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    const QByteArray merged = readAll(out);
    QCOMPARE(QString::fromUtf8(merged),
             QString::fromUtf8(readAll(golden(QStringLiteral("sample_merged.") + extension))));
    QVERIFY(merged.contains("    result,F,\"Via moved out of the pad\",,,"));
    QVERIFY(merged.contains("    result,A,\"TP1 accepted as is-4\",\"2024/03/06 09:07\",,"));
    QCOMPARE(merged.count("result,E,"), 3);
}

void TestQuillmarkTool::resaveKeepsEveryPage()
{
    const QString out = path(QStringLiteral("resaved.nts"));
    const ToolRun run = runTool({QStringLiteral("resave"), sample, out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.out, QByteArray());

    const QJsonObject before = dumpOf(sample);
    const QJsonObject after = dumpOf(out);
    QCOMPARE(after.value(QStringLiteral("format")), before.value(QStringLiteral("format")));
    const QJsonArray pagesBefore = before.value(QStringLiteral("pages")).toArray();
    const QJsonArray pagesAfter = after.value(QStringLiteral("pages")).toArray();
    QCOMPARE(pagesAfter.size(), pagesBefore.size());
    QVERIFY(!pagesBefore.isEmpty());
    for (int i = 0; i < pagesBefore.size(); ++i) {
        const QJsonObject a = pagesBefore.at(i).toObject();
        const QJsonObject b = pagesAfter.at(i).toObject();
        QCOMPARE(b.keys(), a.keys());
        for (const QString &key : a.keys()) {
            // Items of one kind that share a stacking value come back in reversed order (the
            // writer stores the topmost first, the reader adds in file order).
            if (a.value(key).isArray() && !a.value(key).toArray().isEmpty() &&
                a.value(key).toArray().first().isObject() && key != QLatin1String("layerMap"))
                QCOMPARE(canonical(b.value(key).toArray()), canonical(a.value(key).toArray()));
            else
                QCOMPARE(b.value(key), a.value(key));
        }
    }
}

// A file this program wrote, opened and saved twice (so that the stacking order reversed by one
// read-and-write cycle is back), gives the same bytes; pictures are compared as images, since
// their encoding belongs to the image library.
void TestQuillmarkTool::resaveTwiceGivesTheSameBytes()
{
    const QString once = path(QStringLiteral("once.nts"));
    const QString twice = path(QStringLiteral("twice.nts"));
    QCOMPARE(runTool({QStringLiteral("resave"), sample, once}).exitCode, 0);
    QCOMPARE(runTool({QStringLiteral("resave"), once, twice}).exitCode, 0);

    QList<QByteArray> originalPictures;
    QList<QByteArray> resavedPictures;
    const QByteArray original = withoutPictures(readAll(sample), originalPictures);
    const QByteArray resaved = withoutPictures(readAll(twice), resavedPictures);
    QCOMPARE(originalPictures.size(), 6);
    QCOMPARE(resavedPictures.size(), originalPictures.size());
    QCOMPARE(resaved.toHex(' '), original.toHex(' '));
    for (int i = 0; i < originalPictures.size(); ++i) {
        const QImage a = QImage::fromData(originalPictures.at(i), "PNG");
        const QImage b = QImage::fromData(resavedPictures.at(i), "PNG");
        QVERIFY(!a.isNull());
        QCOMPARE(b.size(), a.size());
        QVERIFY(b.convertToFormat(QImage::Format_ARGB32) == a.convertToFormat(QImage::Format_ARGB32));
    }
}

void TestQuillmarkTool::resaveInPlace()
{
    const QString file = path(QStringLiteral("inplace.nts"));
    QVERIFY(QFile::copy(sample, file));
    const ToolRun run = runTool({QStringLiteral("resave"), file, file});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject after = dumpOf(file);
    QCOMPARE(after.value(QStringLiteral("damaged")), QJsonValue(false));
    QCOMPARE(after.value(QStringLiteral("pages")).toArray().size(),
             dumpOf(sample).value(QStringLiteral("pages")).toArray().size());
}

// A page in the 3.5 layout (no pictures, texts without rotation, arrows only) comes out in 7.0.
void TestQuillmarkTool::resaveConvertsOlderFormats()
{
    QByteArray bytes;
    {
        QDataStream s(&bytes, QIODevice::WriteOnly);
        s.setVersion(23);
        s << qint32(3) << qint32(5);
        s << QStringLiteral("Old page") << QStringLiteral("01.02.2003 04:05") << QStringLiteral("<p>old</p>");
        s << qint32(1);
        s << QStringLiteral("plain old text");
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(10);
        FontStream::write(s, font);
        s << QColor(Qt::blue) << QPointF(5, 6);
        s << qint32(1) << QLineF(0, 0, 40, 30) << QColor(Qt::red) << QPointF(7, 8);
    }
    const QString old = path(QStringLiteral("old.nts"));
    const QString converted = path(QStringLiteral("converted.nts"));
    QVERIFY(writeAll(old, bytes));
    QCOMPARE(dumpOf(old).value(QStringLiteral("format")).toArray(), (QJsonArray{3, 5}));

    QCOMPARE(runTool({QStringLiteral("resave"), old, converted}).exitCode, 0);
    QVERIFY(readAll(converted).startsWith(QByteArray::fromHex("00000007"
                                                              "00000000"
                                                              "00000001")));
    const QJsonObject dump = dumpOf(converted);
    QCOMPARE(dump.value(QStringLiteral("format")).toArray(), (QJsonArray{7, 0}));
    const QJsonArray pages = dump.value(QStringLiteral("pages")).toArray();
    QCOMPARE(pages.size(), 1);
    const QJsonObject page = pages.first().toObject();
    QCOMPARE(page.value(QStringLiteral("title")).toString(), QStringLiteral("Old page"));
    QCOMPARE(page.value(QStringLiteral("date")).toString(), QStringLiteral("01.02.2003 04:05"));
    const QJsonArray texts = page.value(QStringLiteral("texts")).toArray();
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts.first().toObject().value(QStringLiteral("plain")).toString(),
             QStringLiteral("plain old text"));
    QCOMPARE(texts.first().toObject().value(QStringLiteral("color")).toString(), QStringLiteral("#ff0000ff"));
    const QJsonArray arrows = page.value(QStringLiteral("arrows")).toArray();
    QCOMPARE(arrows.size(), 1);
    QCOMPARE(arrows.first().toObject().value(QStringLiteral("line")).toArray(), (QJsonArray{0, 0, 40, 30}));
    QCOMPARE(arrows.first().toObject().value(QStringLiteral("pos")).toArray(), (QJsonArray{7, 8}));
}

void TestQuillmarkTool::damagedFile_data()
{
    QTest::addColumn<int>("keep");  // bytes kept from the sample; negative: all but that many
    QTest::addColumn<int>("pages"); // pages still shown
    QTest::newRow("header only") << 12 << 0;
    QTest::newRow("inside the first picture") << 2000 << 0;
    QTest::newRow("last byte missing") << -1 << 4;
}

// A damaged file still shows what could be read, says so, and fails.
void TestQuillmarkTool::damagedFile()
{
    QFETCH(int, keep);
    QFETCH(int, pages);
    const QByteArray full = readAll(sample);
    const QString damaged = path(QStringLiteral("damaged.nts"));
    QVERIFY(writeAll(damaged, keep >= 0 ? full.left(keep) : full.chopped(-keep)));

    const ToolRun run = runTool({QStringLiteral("dump"), damaged});
    QCOMPARE(run.exitCode, 1);
    const QJsonObject dump = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(dump.value(QStringLiteral("damaged")), QJsonValue(true));
    QCOMPARE(dump.value(QStringLiteral("format")).toArray(), (QJsonArray{7, 0}));
    QCOMPARE(dump.value(QStringLiteral("pages")).toArray().size(), pages);
    if (pages > 0) {
        QCOMPARE(
            dump.value(QStringLiteral("pages")).toArray().first().toObject().value(QStringLiteral("title")),
            dumpOf(sample)
                .value(QStringLiteral("pages"))
                .toArray()
                .first()
                .toObject()
                .value(QStringLiteral("title")));
    }
    const QStringList lines = run.errLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY2(
        lines.first().startsWith(QStringLiteral("quillmark-tool: ") + damaged + QStringLiteral(": damaged")),
        qPrintable(lines.first()));
}

void TestQuillmarkTool::damagedInputWritesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("outName");
    QTest::newRow("urf") << QStringLiteral("urf") << QStringLiteral("kept.urf");
    QTest::newRow("resave") << QStringLiteral("resave") << QStringLiteral("kept.nts");
}

// An export or copy of part of the pages would replace (or shrink by merging) a good file.
void TestQuillmarkTool::damagedInputWritesNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, outName);
    const QString damaged = path(QStringLiteral("cut.nts"));
    QVERIFY(writeAll(damaged, readAll(sample).chopped(1)));
    const QString out = path(outName);
    QVERIFY(writeAll(out, "previous content\n"));

    const ToolRun run = runTool({command, damaged, out});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(readAll(out), QByteArray("previous content\n"));
    const QStringList lines = run.errLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().contains(damaged));
    QVERIFY(lines.first().contains(out + QStringLiteral(" not written")));
}

void TestQuillmarkTool::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("epoch");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // what the one line on standard error must contain

    const QString missing = QStringLiteral("{tmp}/no-such-file.nts");
    QTest::newRow("dump of a missing file") << QStringList{QStringLiteral("dump"), missing} << QString() << 1
                                            << missing + QStringLiteral(": no such file");
    QTest::newRow("urf of a missing file")
        << QStringList{QStringLiteral("urf"), missing, QStringLiteral("{tmp}/x.urf")} << QString() << 1
        << missing + QStringLiteral(": no such file");
    QTest::newRow("resave of a missing file")
        << QStringList{QStringLiteral("resave"), missing, QStringLiteral("{tmp}/x.nts")} << QString() << 1
        << missing + QStringLiteral(": no such file");
    QTest::newRow("directory") << QStringList{QStringLiteral("dump"), QStringLiteral("{tmp}/folder.nts")}
                               << QString() << 1 << QStringLiteral("{tmp}/folder.nts: is a directory");
    QTest::newRow("urf into a missing directory")
        << QStringList{QStringLiteral("urf"), QStringLiteral("{sample}"), QStringLiteral("{tmp}/none/x.urf")}
        << QString() << 1 << QStringLiteral("{tmp}/none/x.urf: cannot be written");
    QTest::newRow("resave into a missing directory")
        << QStringList{QStringLiteral("resave"), QStringLiteral("{sample}"),
                       QStringLiteral("{tmp}/none/x.nts")}
        << QString() << 1 << QStringLiteral("{tmp}/none/x.nts: cannot be written");

    QTest::newRow("no arguments") << QStringList{} << QString() << 2 << QStringLiteral("no command given");
    QTest::newRow("unknown command") << QStringList{QStringLiteral("print"), QStringLiteral("{sample}")}
                                     << QString() << 2 << QStringLiteral("unknown command \"print\"");
    QTest::newRow("dump without a file") << QStringList{QStringLiteral("dump")} << QString() << 2
                                         << QStringLiteral("usage: quillmark-tool dump FILE.nts");
    QTest::newRow("dump with two files")
        << QStringList{QStringLiteral("dump"), QStringLiteral("{sample}"), QStringLiteral("{sample}")}
        << QString() << 2 << QStringLiteral("usage: quillmark-tool dump FILE.nts");
    QTest::newRow("urf without output")
        << QStringList{QStringLiteral("urf"), QStringLiteral("{sample}")} << QString() << 2
        << QStringLiteral("usage: quillmark-tool urf FILE.nts OUT");
    QTest::newRow("resave without output")
        << QStringList{QStringLiteral("resave"), QStringLiteral("{sample}")} << QString() << 2
        << QStringLiteral("usage: quillmark-tool resave IN.nts OUT.nts");
    QTest::newRow("empty file name") << QStringList{QStringLiteral("dump"), QString()} << QString() << 2
                                     << QStringLiteral("empty file name");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate"), QStringLiteral("dump"),
                                                   QStringLiteral("{sample}")}
                                    << QString() << 2 << QStringLiteral("frobnicate");
    QTest::newRow("malformed SOURCE_DATE_EPOCH")
        << QStringList{QStringLiteral("urf"), QStringLiteral("{sample}"), QStringLiteral("{tmp}/e.urf")}
        << QStringLiteral("yesterday") << 2 << QStringLiteral("SOURCE_DATE_EPOCH");
    QTest::newRow("export over the notes file")
        << QStringList{QStringLiteral("urf"), QStringLiteral("{sample}"), QStringLiteral("{sample}")}
        << QString() << 2 << QStringLiteral("must not be the notes file itself");
}

void TestQuillmarkTool::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, epoch);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    for (QString &argument : arguments)
        argument = expand(argument);
    const QByteArray sampleBefore = readAll(sample);

    const ToolRun run = runTool(arguments, toolEnvironment(epoch));
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    const QStringList lines = run.errLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().startsWith(QLatin1String("quillmark-tool: ")), qPrintable(lines.first()));
    QVERIFY2(lines.first().contains(expand(message)), qPrintable(lines.first()));
    QCOMPARE(readAll(sample), sampleBefore);
    QVERIFY(!QFile::exists(path(QStringLiteral("x.urf"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("e.urf"))));
}

void TestQuillmarkTool::helpAndVersion_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("expected");
    const QStringList help{QStringLiteral("Usage: "),           QStringLiteral("dump FILE.nts"),
                           QStringLiteral("urf FILE.nts OUT"),  QStringLiteral("resave IN.nts OUT.nts"),
                           QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("Exit status")};
    QTest::newRow("--help") << QStringLiteral("--help") << help;
    QTest::newRow("-h") << QStringLiteral("-h") << help;
    QTest::newRow("--version") << QStringLiteral("--version")
                               << QStringList{QStringLiteral("quillmark-tool 7.0.0\n")};
    QTest::newRow("-v") << QStringLiteral("-v") << QStringList{QStringLiteral("quillmark-tool 7.0.0\n")};
}

void TestQuillmarkTool::helpAndVersion()
{
    QFETCH(QString, option);
    QFETCH(QStringList, expected);
    const ToolRun run = runTool({option});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    const QString out = QString::fromUtf8(run.out);
    for (const QString &text : expected)
        QVERIFY2(out.contains(text), qPrintable(out));
    if (option.contains(QLatin1Char('v')))
        QCOMPARE(out, expected.first());
}

// Pipelines have no display; the tool must not need one, nor need to be told.
void TestQuillmarkTool::runsWithoutDisplay()
{
    QProcessEnvironment env = toolEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const ToolRun run = runTool({QStringLiteral("dump"), sample}, env);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(QJsonDocument::fromJson(run.out).object().value(QStringLiteral("pages")).toArray().size(), 5);
}

QTEST_MAIN(TestQuillmarkTool)
#include "tst_quillmarktool.moc"
