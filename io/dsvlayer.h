#pragma once

// Display settings of one board layer as the host inspection application shows it.
// Three forms: this record, the keyed map (graphics-item data, note model) and the stream
// form (notes file, meta-type streaming of the list type).

#include <QColor>
#include <QDataStream>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

class DsvLayer
{
public:
    DsvLayer() = default;

    qint32 number = 0;
    QString name;
    QString comment;
    bool extraflag1 = false;
    QColor allcol = QColor(Qt::red);
    QColor padcol = QColor(Qt::red);
    bool padvisible = true;
    QColor ncpadcol = QColor(Qt::red);
    bool ncpadvisible = true;
    QColor routecol = QColor(Qt::green);
    bool routevisible = true;
    QColor coppercol = QColor(Qt::red);
    bool coppervisible = true;
    QColor viacol = QColor(Qt::red);
    bool viavisible = true;
    QColor figurecol = QColor(Qt::red);
    bool figurevisible = true;
    QColor testptcol = QColor(Qt::red);
    bool testptvisible = true;
    QColor areacol = QColor(Qt::red);
    bool areavisible = true;
    QColor textcol = QColor(Qt::red);
    bool textvisible = true;
    QColor selectcol = QColor(Qt::white);
    qint32 fillbrush = 1;
    // Carried for the host only; never interpreted here and absent from the keyed form.
    qint32 extraint1 = 24;
    qint32 extraint2 = 24;
    qint32 extraint3 = 24;
    qint32 extraint4 = 24;
    qint32 extraint5 = 24;
    qint32 extraint6 = 24;
    qint32 extraint7 = 24;
    qint32 extraint8 = 24;
    qint32 extraint9 = 24;
    qint32 type = 4;
    qint32 extraint10 = 0;
    qint32 extraint11 = 0;
    qint32 alphaval = 255;
    bool extraflag2 = false;
    qint32 extraint12 = 0;

    // Field-by-field equality (colours compare by spec and components).
    bool operator==(const DsvLayer &other) const;
    bool operator!=(const DsvLayer &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(DsvLayer)

// Stream form of one record.
QDataStream &operator<<(QDataStream &stream, const DsvLayer &layer);
QDataStream &operator>>(QDataStream &stream, DsvLayer &layer);

// The toolkit's list form: element count as the toolkit writes container sizes, then each record.
// The reader follows the newer toolkits: a null count sets an error status (ReadCorruptData on 6.4,
// which lacks SizeLimitExceeded) and a failed element read empties the list. Unlike the 6.4 template
// it never reserves memory for a count read from the stream, so damage cannot force a huge allocation.
QDataStream &operator<<(QDataStream &stream, const QList<DsvLayer> &layers);
QDataStream &operator>>(QDataStream &stream, QList<DsvLayer> &layers);

// Keyed form: 25 entries per record, keys "<name>_<field word>"; later records with the same name
// replace earlier ones.
QVariantMap layerListToMap(const QList<DsvLayer> &layers);
// Reads the keyed form back; records appear in the order their names are first met in ascending key
// order. The layer name is the key up to the first "_", the field word the part up to the second.
QList<DsvLayer> layerListFromMap(const QVariantMap &map);

// Registers "QList<DsvLayer>" (with its stream operators) with the meta-type system. Safe to call
// more than once; also done automatically when this library is linked in.
void registerDsvLayerMetaTypes();
