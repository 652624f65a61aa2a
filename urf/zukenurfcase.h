#pragma once

#include "urf/urfconstants.h"
#include "urf/zukenurffield.h"
#include "urf/zukenurfresult.h"

#include <QList>
#include <QMap>
#include <QString>

class QTextStream;

// A case: its field declarations and its results in ascending key order.
struct ZukenUrfCase
{
    QList<ZukenUrfField> fields;
    QMap<int, ZukenUrfResult> results;
    int indent = Urf::CaseIndent;
    QString name;        // a case without a name is not written
    QString date;        // filled with the current UTC time when written empty
    QString versionText; // third field of the case line, only when not empty

    // The case line, its fields and its results, each with this case's indent + 2.
    void write(QTextStream &out, int version);
};
