#pragma once

#include "urf/urfconstants.h"
#include "urf/zukenurfappversion.h"
#include "urf/zukenurfcase.h"

#include <QList>
#include <QString>

class QIODevice;
class QTextStream;

// A named group of cases and nested groups.
struct ZukenUrfGroup
{
    QList<ZukenUrfGroup> subgroups; // written after the cases
    QList<ZukenUrfCase> cases;
    int indent = Urf::GroupIndent;
    QString name;

    // begingroup, the cases, the subgroups (recursively), endgroup.
    void write(QTextStream &out, int version);

    // Reads case blocks from the device up to and including this group's endgroup line. Cases get
    // the version text "major.minor" of appVersion. A case still open at the end of the device is
    // dropped. Results whose label numbers collide keep their own entries (see the source).
    void readCases(QIODevice *device, int version, const ZukenUrfAppVersion &appVersion);
};
