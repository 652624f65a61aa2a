#include "io/dsvlayer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QMetaType>
#include <QTest>

namespace {

QByteArray streamed(const DsvLayer &layer)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(23);
    out << layer;
    return bytes;
}

DsvLayer readOne(const QByteArray &bytes, QDataStream::Status *status = nullptr)
{
    QDataStream in(bytes);
    in.setVersion(23);
    DsvLayer layer;
    in >> layer;
    if (status)
        *status = in.status();
    return layer;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Every field away from its default, extras included.
DsvLayer unusual()
{
    DsvLayer l;
    l.number = 7;
    l.name = QStringLiteral("L");
    l.comment = QString(QLatin1String(""));
    l.extraflag1 = true;
    const QList<QColor *> colours = {&l.allcol,    &l.padcol,  &l.ncpadcol,  &l.routecol,
                                     &l.coppercol, &l.viacol,  &l.figurecol, &l.testptcol,
                                     &l.areacol,   &l.textcol, &l.selectcol};
    for (int i = 0; i < colours.size(); ++i)
        *colours[i] = QColor(i + 1, 0, 0);
    const QList<qint32 *> ints = {&l.fillbrush, &l.extraint1,  &l.extraint2,  &l.extraint3, &l.extraint4,
                                  &l.extraint5, &l.extraint6,  &l.extraint7,  &l.extraint8, &l.extraint9,
                                  &l.type,      &l.extraint10, &l.extraint11, &l.alphaval,  &l.extraint12};
    for (int i = 0; i < ints.size(); ++i)
        *ints[i] = 101 + i;
    l.extraflag2 = false;
    l.padvisible = false;
    l.ncpadvisible = true;
    l.routevisible = false;
    l.coppervisible = true;
    l.viavisible = false;
    l.figurevisible = true;
    l.testptvisible = false;
    l.areavisible = true;
    l.textvisible = false;
    return l;
}

const char *const DefaultBytes = "00000000 ffffffff ffffffff"
                                 " 01ffffffff000000000000 01ffffffff000000000000 01ffffffff000000000000"
                                 " 01ffff0000ffff00000000" // routecol green
                                 " 01ffffffff000000000000 01ffffffff000000000000 01ffffffff000000000000"
                                 " 01ffffffff000000000000 01ffffffff000000000000 01ffffffff000000000000"
                                 " 01ffffffffffffffff0000" // selectcol white
                                 " 00000001 00000018 00000018 00000018 00000018 00000018 00000018"
                                 " 00000018 00000018 00000018 00000004 00000000 00000000 000000ff 00000000"
                                 " 00 00 01 01 01 01 01 01 01 01 01";

const char *const UnusualBytes = "00000007 00000002004c 00000000"
                                 " 01ffff0101000000000000 01ffff0202000000000000 01ffff0303000000000000"
                                 " 01ffff0404000000000000 01ffff0505000000000000 01ffff0606000000000000"
                                 " 01ffff0707000000000000 01ffff0808000000000000 01ffff0909000000000000"
                                 " 01ffff0a0a000000000000 01ffff0b0b000000000000"
                                 " 00000065 00000066 00000067 00000068 00000069 0000006a 0000006b 0000006c"
                                 " 0000006d 0000006e 0000006f 00000070 00000071 00000072 00000073"
                                 " 01 00 00 01 00 01 00 01 00 01 00";

} // namespace

class TestDsvLayer : public QObject
{
    Q_OBJECT

private slots:
    void streamGoldenBytes_data()
    {
        QTest::addColumn<DsvLayer>("layer");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("default") << DsvLayer() << hex(DefaultBytes);
        QTest::newRow("every field set") << unusual() << hex(UnusualBytes);
    }

    void streamGoldenBytes()
    {
        QFETCH(DsvLayer, layer);
        QFETCH(QByteArray, bytes);
        QCOMPARE(streamed(layer).toHex(' '), bytes.toHex(' '));
        QDataStream::Status status = QDataStream::ReadPastEnd;
        const DsvLayer back = readOne(bytes, &status);
        QCOMPARE(status, QDataStream::Ok);
        QVERIFY(back == layer);
        QCOMPARE(back.comment.isNull(), layer.comment.isNull());
    }

    void nonZeroBoolByteReadsTrue()
    {
        QByteArray bytes = hex(DefaultBytes);
        bytes[bytes.size() - 11] = char(0x02); // extraflag1
        QVERIFY(readOne(bytes).extraflag1);
        bytes[bytes.size() - 1] = char(0x00); // textvisible
        QVERIFY(!readOne(bytes).textvisible);
    }

    void truncatedRecordReportsReadPastEnd()
    {
        const QByteArray bytes = streamed(unusual());
        for (int cut = 0; cut < bytes.size(); ++cut) {
            QDataStream::Status status = QDataStream::Ok;
            readOne(bytes.left(cut), &status);
            QCOMPARE(status, QDataStream::ReadPastEnd);
        }
    }

    void copyKeepsEveryField()
    {
        const DsvLayer source = unusual();
        const DsvLayer copied(source);
        QVERIFY(copied == source);
        DsvLayer assigned;
        assigned = source;
        QVERIFY(assigned == source);
        QCOMPARE(assigned.extraint12, 115);
        QCOMPARE(assigned.extraflag1, true);
    }

    void equalitySeesEachField()
    {
        DsvLayer a;
        DsvLayer b;
        b.extraint7 = 1;
        QVERIFY(a != b);
        b = a;
        b.selectcol = Qt::black;
        QVERIFY(a != b);
    }

    void listStreamRoundTrip()
    {
        const QList<DsvLayer> layers = {unusual(), DsvLayer()};
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out.setVersion(23);
            out << layers;
        }
        QCOMPARE(bytes.left(4), hex("00000002"));
        QCOMPARE(bytes.size(), 4 + streamed(layers[0]).size() + streamed(layers[1]).size());
        QDataStream in(bytes);
        in.setVersion(23);
        QList<DsvLayer> back;
        in >> back;
        QCOMPARE(in.status(), QDataStream::Ok);
        QCOMPARE(back, layers);
    }

    void listStreamDamage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("expectedCount");
        QTest::addColumn<bool>("ok");
        const QByteArray one = hex(DefaultBytes);
        QTest::newRow("empty") << hex("00000000") << 23 << 0 << true;
        QTest::newRow("null count") << hex("ffffffff") << 23 << 0 << false;
        QTest::newRow("huge count, one record") << hex("fffffffd") + one << 23 << 0 << false;
        QTest::newRow("extended count") << hex("fffffffe 0000000000000001") + one << 23 << 1 << true;
        QTest::newRow("extended count 2^40") << hex("fffffffe 0000010000000000") + one << 23 << 0 << false;
        QTest::newRow("negative extended count") << hex("fffffffe ffffffffffffffff") << 23 << 0 << false;
        QTest::newRow("second record cut") << hex("00000002") + one + one.left(100) << 23 << 0 << false;
        QTest::newRow("count cut") << hex("0000") << 23 << 0 << false;
    }

    void listStreamDamage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, version);
        QFETCH(int, expectedCount);
        QFETCH(bool, ok);
        QDataStream in(bytes);
        in.setVersion(version);
        QList<DsvLayer> back = {unusual()};
        in >> back;
        QCOMPARE(back.size(), expectedCount);
        QCOMPARE(in.status() == QDataStream::Ok, ok);
    }

    void metaTypeCarriesTheList()
    {
        const QMetaType type = QMetaType::fromName("QList<DsvLayer>");
        QVERIFY(type.isValid());
        QCOMPARE(type, QMetaType::fromType<QList<DsvLayer>>());
        QVERIFY(type.hasRegisteredDataStreamOperators());

        const QList<DsvLayer> layers = {unusual()};
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out.setVersion(23);
            out << QVariant::fromValue(layers);
        }
        QVERIFY(bytes.contains("QList<DsvLayer>"));
        QVERIFY(bytes.endsWith(streamed(layers.first())));
        QDataStream in(bytes);
        in.setVersion(23);
        QVariant back;
        in >> back;
        QCOMPARE(in.status(), QDataStream::Ok);
        QCOMPARE(back.metaType(), type);
        QCOMPARE(back.value<QList<DsvLayer>>(), layers);
    }

    void keyedFormOfDefaultRecord()
    {
        const QVariantMap map = layerListToMap({DsvLayer()});
        QCOMPARE(map.size(), 25);
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            QVERIFY2(it.key().startsWith(QLatin1Char('_')), qPrintable(it.key()));
        QCOMPARE(map.value(QStringLiteral("_routecol")).value<QColor>(), QColor(Qt::green));
        QCOMPARE(map.value(QStringLiteral("_alphaval")).metaType(), QMetaType::fromType<int>());
        QCOMPARE(map.value(QStringLiteral("_textvisible")).metaType(), QMetaType::fromType<bool>());
        QCOMPARE(map.value(QStringLiteral("_comment")).metaType(), QMetaType::fromType<QString>());
        QCOMPARE(map.value(QStringLiteral("_selectcol")).metaType(), QMetaType::fromType<QColor>());
        QCOMPARE(layerListFromMap(map), QList<DsvLayer>{DsvLayer()});
    }

    void keyedFormRoundTripKeepsKeyedFieldsOnly()
    {
        const DsvLayer source = unusual();
        const QList<DsvLayer> back = layerListFromMap(layerListToMap({source}));
        QCOMPARE(back.size(), 1);
        DsvLayer expected = source;
        const DsvLayer defaults;
        // The stream-only fields come back at their defaults.
        expected.extraflag1 = defaults.extraflag1;
        expected.extraflag2 = defaults.extraflag2;
        expected.extraint1 = defaults.extraint1;
        expected.extraint2 = defaults.extraint2;
        expected.extraint3 = defaults.extraint3;
        expected.extraint4 = defaults.extraint4;
        expected.extraint5 = defaults.extraint5;
        expected.extraint6 = defaults.extraint6;
        expected.extraint7 = defaults.extraint7;
        expected.extraint8 = defaults.extraint8;
        expected.extraint9 = defaults.extraint9;
        expected.extraint10 = defaults.extraint10;
        expected.extraint11 = defaults.extraint11;
        expected.extraint12 = defaults.extraint12;
        QVERIFY(back.first() == expected);
        QCOMPARE(back.first().type, 111);
        QCOMPARE(back.first().alphaval, 114);
        QCOMPARE(back.first().extraint5, 24);
    }

    void keyedFormNames_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("namesBack");
        QTest::newRow("empty list") << QStringList() << QStringList();
        QTest::newRow("plain names sorted") << QStringList{"B", "A"} << QStringList{"A", "B"};
        QTest::newRow("underscore cuts the name") << QStringList{"Top_Layer"} << QStringList{"Top"};
        QTest::newRow("same name merges") << QStringList{"L1", "L1"} << QStringList{"L1"};
        QTest::newRow("names without underscore unchanged")
            << QStringList{"Wiring1", "SilkTop", "wiring 2"} << QStringList{"SilkTop", "Wiring1", "wiring 2"};
    }

    void keyedFormNames()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, namesBack);
        QList<DsvLayer> layers;
        for (const QString &name : names) {
            DsvLayer l;
            l.name = name;
            l.padvisible = false;
            layers.append(l);
        }
        const QList<DsvLayer> back = layerListFromMap(layerListToMap(layers));
        QStringList got;
        for (const DsvLayer &l : back)
            got << l.name;
        QCOMPARE(got, namesBack);
    }

    void underscoreNameFieldsKeepDefaults()
    {
        DsvLayer l;
        l.name = QStringLiteral("Top_Layer");
        l.number = 9;
        l.padcol = Qt::blue;
        l.padvisible = false;
        const QVariantMap map = layerListToMap({l});
        QVERIFY(map.contains(QStringLiteral("Top_Layer_padcol")));
        const QList<DsvLayer> back = layerListFromMap(map);
        QCOMPARE(back.size(), 1);
        DsvLayer expected;
        expected.name = QStringLiteral("Top");
        QVERIFY(back.first() == expected);
    }

    void laterRecordWins()
    {
        DsvLayer first;
        first.name = QStringLiteral("L1");
        first.number = 1;
        first.viacol = Qt::cyan;
        DsvLayer second;
        second.name = QStringLiteral("L1");
        second.number = 2;
        const QList<DsvLayer> back = layerListFromMap(layerListToMap({first, second}));
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.first().number, 2);
        QCOMPARE(back.first().viacol, QColor(Qt::red));
    }

    void mapEntries_data()
    {
        QTest::addColumn<QVariantMap>("map");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<DsvLayer>("firstExpected");

        DsvLayer l1;
        l1.name = QStringLiteral("L1");
        QTest::newRow("unknown field word") << QVariantMap{{"L1_zoom", 5}} << QStringList{"L1"} << l1;
        QTest::newRow("field word is case-sensitive")
            << QVariantMap{{"L1_Number", 5}} << QStringList{"L1"} << l1;
        QTest::newRow("rest after second underscore ignored")
            << QVariantMap{{"L1_number_extra", 5}} << QStringList{"L1"} << [&] {
                   DsvLayer l = l1;
                   l.number = 5;
                   return l;
               }();
        DsvLayer plain;
        plain.name = QStringLiteral("Plain");
        QTest::newRow("no underscore") << QVariantMap{{"Plain", 1}} << QStringList{"Plain"} << plain;
        QTest::newRow("non-numeric number reads 0")
            << QVariantMap{{"L1_number", "abc"}, {"L1_type", "12"}} << QStringList{"L1"} << [&] {
                   DsvLayer l = l1;
                   l.type = 12;
                   l.number = 0;
                   return l;
               }();
        QTest::newRow("non-colour gives invalid colour")
            << QVariantMap{{"L1_padcol", 5}} << QStringList{"L1"} << [&] {
                   DsvLayer l = l1;
                   l.padcol = QColor();
                   return l;
               }();
        QTest::newRow("names are case-sensitive")
            << QVariantMap{{"a_number", 1}, {"A_number", 2}} << QStringList{"A", "a"} << [] {
                   DsvLayer l;
                   l.name = QStringLiteral("A");
                   l.number = 2;
                   return l;
               }();
    }

    void mapEntries()
    {
        QFETCH(QVariantMap, map);
        QFETCH(QStringList, names);
        QFETCH(DsvLayer, firstExpected);
        const QList<DsvLayer> back = layerListFromMap(map);
        QStringList got;
        for (const DsvLayer &l : back)
            got << l.name;
        QCOMPARE(got, names);
        QVERIFY(back.first() == firstExpected);
    }

    // A notes file of 1 MB holds 5,000 layer records; the keyed form of a picture's layers is
    // read back on every save and export, so it must not take time in the square of their number.
    void manyLayersReadBackInLinearTime()
    {
        QList<DsvLayer> layers;
        for (int i = 0; i < 20000; ++i) {
            DsvLayer l;
            l.name = QStringLiteral("L%1").arg(i, 5, 10, QLatin1Char('0'));
            l.number = i;
            l.padcol = QColor::fromRgb(QRgb(i));
            layers.append(l);
        }
        const QVariantMap map = layerListToMap(layers);
        QElapsedTimer timer;
        timer.start();
        const QList<DsvLayer> back = layerListFromMap(map);
        // Linear: well under a second, also under the sanitizers; by pairs of names: minutes.
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
        QCOMPARE(back.size(), layers.size());
        for (int i : {0, 1, 9999, 19999}) {
            QCOMPARE(back.at(i).name, layers.at(i).name);
            QCOMPARE(back.at(i).number, i);
            QCOMPARE(back.at(i).padcol, layers.at(i).padcol);
        }
    }

    void emptyMapGivesEmptyList()
    {
        QVERIFY(layerListToMap({}).isEmpty());
        QVERIFY(layerListFromMap({}).isEmpty());
    }
};

QTEST_MAIN(TestDsvLayer)
#include "tst_dsvlayer.moc"
