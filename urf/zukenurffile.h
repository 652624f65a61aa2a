#pragma once

#include "urf/urfconstants.h"
#include "urf/zukenurfappversion.h"
#include "urf/zukenurfgroup.h"

#include <QList>
#include <QString>

class QIODevice;
class QTextStream;

// A design-review result file of the board-design tools: URF (format version 5) or its older
// RST form (format version 4).
struct ZukenUrfFile
{
    QList<ZukenUrfGroup> groups;
    int unitCode = 0; // 1 inch, 2 mil, 3 micron, anything else mm
    QString fileName; // written to, and read from when merging
    int formatVersion = Urf::UrfFormatVersion;
    ZukenUrfAppVersion appVersion;

    // Writes the file at fileName, after carrying the verdicts of the file already there over when
    // merge is set. Does nothing without a file name. The previous file stays intact until the new
    // one is complete. Returns whether the file was written; the model keeps carried-over verdicts
    // (and the dates the writer filled in) either way.
    bool save(bool merge);

    // The whole text: header, then every top-level group.
    void write(QTextStream &out);

    // Reads the file at fileName (when there is one and it can be opened) and carries its verdicts
    // over with mergeFrom.
    void mergeExisting();

    // For every pair of a top-level group here and one of existing: results whose params equal a
    // read result's params take that result's verdict, label and date when its verdict is not E;
    // the last matching read result (in file order) wins. Subgroups are paired by name.
    // Runs in time linear in the sizes of both files.
    void mergeFrom(const ZukenUrfFile &existing);

    // Parses a URF or RST text (groups to a depth of three). Never reports errors: unknown lines
    // are skipped, malformed values read as 0 or empty.
    void readFile(QIODevice *device);
};
