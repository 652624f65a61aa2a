#pragma once

// Export of the note pages as a design-review result file: one result per page that has a host
// view rectangle, centred on that rectangle, zooming to it and listing the layers that were shown.
// Annotations, comments and pictures are not exported.
//
// The window asks for the file name through the dialog seam and calls exportNotes:
//
//     const QString start = NotesExport::defaultFileName(notesFileName);
//     const QString name = Dialogs::current().saveFileName(this, NotesExport::dialogCaption(), start,
//                                                          NotesExport::dialogFilter());
//     if (!name.isEmpty())
//         NotesExport::exportNotes(noteModel, name);
//
// The command-line tool builds the same file with buildUrfFile or calls exportNotes.

#include "io/dsvlayer.h"
#include "urf/zukenurffile.h"

#include <QList>
#include <QRectF>
#include <QString>

class Progress;
class QStandardItemModel;

namespace NotesExport {

// The version written into the case ("7.0") and kept in the file object.
inline constexpr ZukenUrfAppVersion ApplicationVersion{7, 0, 0};

// Start path of the save dialog: the notes file name with every ".nts" replaced by "_notes.urf"
// (board.nts gives board_notes.urf; an empty name stays empty).
QString defaultFileName(const QString &notesFileName);

// Caption and filter of the save dialog, translated in the WdgNotes context.
QString dialogCaption();
QString dialogFilter();

// RST when the name ends with ".rst" (case-sensitive), else URF.
bool isRstFileName(const QString &fileName);

// An empty result file for the chosen name: format and unit from the name, group "Veritrace"
// holding group "Notes Info" holding the case "Notes" with its three fields and no results.
ZukenUrfFile emptyNotesFile(const QString &fileName, const ZukenUrfAppVersion &version = ApplicationVersion);

// The case "Notes" of a file made by emptyNotesFile.
ZukenUrfCase &notesCase(ZukenUrfFile &file);
const ZukenUrfCase &notesCase(const ZukenUrfFile &file);

// The result of one page: label and first param the title, then the centre of the view rectangle
// with 3 decimals; one zoom area over the rectangle; a cond layer (named by its number) for every
// layer whose name starts with "Wiring", an ncond layer (named by its name) for every other, in
// list order, then the system layers BOARDSHAPE and PADSTACK.
ZukenUrfResult noteResult(const QString &title, const QRectF &viewRect, const QList<DsvLayer> &layers);

// The whole file from a page model laid out as in io/pagemodel.h. Untitled pages are given the
// title "Note <row + 1>" in the model itself. Pages whose ViewRectRole holds no value add no
// result; the others are stored under their row number, with their layers read from the page's
// LayerMapRole map.
ZukenUrfFile buildUrfFile(QStandardItemModel *model, const QString &fileName,
                          const ZukenUrfAppVersion &version = ApplicationVersion);

// buildUrfFile, then save with the verdicts of an existing file at the path carried over.
// Returns whether the file was written.
bool exportNotes(QStandardItemModel *model, const QString &fileName,
                 const ZukenUrfAppVersion &version = ApplicationVersion);

enum class Outcome { Written, Cancelled, Failed };

// exportNotes with progress: one step per page while the results are gathered, one for the
// write. Cancelled before the write, nothing is written (and the model is unchanged).
Outcome exportNotes(QStandardItemModel *model, const QString &fileName, const ZukenUrfAppVersion &version,
                    Progress *progress);

} // namespace NotesExport
