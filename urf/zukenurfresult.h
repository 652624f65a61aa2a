#pragma once

#include "urf/urfconstants.h"
#include "urf/zukenurfcomp.h"
#include "urf/zukenurfdoclayer.h"
#include "urf/zukenurflayer.h"
#include "urf/zukenurfnet.h"
#include "urf/zukenurfpin.h"
#include "urf/zukenurfsymbol.h"
#include "urf/zukenurfzoomarea.h"

#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;
class QTextStream;

// One result of a case: the values of the case's fields, where to look, what to show and the
// reviewer's verdict.
struct ZukenUrfResult
{
    QStringList params;
    QList<ZukenUrfZoomArea> zoomAreas;
    QList<ZukenUrfSymbol> symbols;
    QList<ZukenUrfLayer> layers;
    QList<ZukenUrfDocLayer> docLayers;
    QList<ZukenUrfComp> comps;
    QList<ZukenUrfPin> pins;
    QList<ZukenUrfNet> nets;
    int indent = Urf::ResultIndent;
    QString resultText;
    QString resultDate; // read from a file and carried over; never written
    int number1 = 0;
    int number2 = 0;
    ResultType type = ResultType::E;

    // The result line, the param line and the sub-records, each sub-record's indent set to this
    // result's indent + 2. An A result is dated with the current UTC time.
    void write(QTextStream &out, int version);

    // Reads a result from its "result" line and the sub-lines that follow on the device, up to
    // (not including) the next "result" or "endgroup" line. *key receives the number after the
    // label's last '-' (0 when there is none).
    static ZukenUrfResult read(const QString &resultLine, QIODevice *device, int version, int *key);

    // The letter of a verdict in the file: E, M, A, F, Q, and N for any other value.
    static char typeLetter(ResultType type);
};
