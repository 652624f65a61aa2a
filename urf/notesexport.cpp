#include "urf/notesexport.h"

#include "scene/dialogs.h"

#include "io/pagemodel.h"

#include <QCoreApplication>
#include <QStandardItemModel>

namespace NotesExport {

namespace {
// The dialog's texts belong to the window's translation context.
const char *const Context = "WdgNotes";
const char *const Caption = QT_TRANSLATE_NOOP("WdgNotes", "Save URF-File");
const char *const Filter = QT_TRANSLATE_NOOP("WdgNotes", "BD-URF (*.urf);; DF-RST (*.rst)");
} // namespace

QString defaultFileName(const QString &notesFileName)
{
    QString name = notesFileName;
    name.replace(QLatin1String(".nts"), QLatin1String("_notes.urf"), Qt::CaseSensitive);
    return name;
}

QString dialogCaption()
{
    return QCoreApplication::translate(Context, Caption);
}

QString dialogFilter()
{
    return QCoreApplication::translate(Context, Filter);
}

bool isRstFileName(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".rst"), Qt::CaseSensitive);
}

ZukenUrfFile emptyNotesFile(const QString &fileName, const ZukenUrfAppVersion &version)
{
    const bool rst = isRstFileName(fileName);
    ZukenUrfFile file;
    file.fileName = fileName;
    file.formatVersion = rst ? Urf::RstFormatVersion : Urf::UrfFormatVersion;
    file.unitCode = rst ? 4 : 0; // both mean mm; only URF has a unit line
    file.appVersion = version;

    ZukenUrfCase notes;
    notes.name = QStringLiteral("Notes");
    notes.indent = Urf::CaseIndent;
    notes.versionText = QStringLiteral("%1.%2").arg(version.major).arg(version.minor);
    notes.fields = {
        ZukenUrfField{Urf::FieldIndent, QStringLiteral("Note Name"), false},
        ZukenUrfField{Urf::FieldIndent, QStringLiteral("Position X"), true},
        ZukenUrfField{Urf::FieldIndent, QStringLiteral("Position Y"), true},
    };

    ZukenUrfGroup info;
    info.name = QStringLiteral("Notes Info");
    info.indent = Urf::GroupIndent;
    info.cases.append(notes);

    ZukenUrfGroup top;
    top.name = QStringLiteral("Veritrace");
    top.indent = Urf::GroupIndent;
    top.subgroups.append(info);
    file.groups.append(top);
    return file;
}

ZukenUrfCase &notesCase(ZukenUrfFile &file)
{
    return file.groups.first().subgroups.first().cases.first();
}

const ZukenUrfCase &notesCase(const ZukenUrfFile &file)
{
    return file.groups.first().subgroups.first().cases.first();
}

ZukenUrfResult noteResult(const QString &title, const QRectF &viewRect, const QList<DsvLayer> &layers)
{
    ZukenUrfResult result;
    result.type = ResultType::E;
    result.resultText = title;
    result.number1 = 0;
    result.number2 = 0;
    result.indent = Urf::ResultIndent;
    const QPointF centre = viewRect.center();
    result.params = {title, QStringLiteral("%1").arg(centre.x(), 0, 'f', 3),
                     QStringLiteral("%1").arg(centre.y(), 0, 'f', 3)};

    ZukenUrfZoomArea zoom;
    zoom.id = 0;
    zoom.indent = Urf::SubRecordIndent;
    zoom.x1 = viewRect.left();
    zoom.y1 = viewRect.bottom();
    zoom.x2 = viewRect.right();
    zoom.y2 = viewRect.top();
    result.zoomAreas.append(zoom);

    for (const DsvLayer &layer : layers) {
        if (layer.name.startsWith(QLatin1String("Wiring"), Qt::CaseSensitive))
            result.layers.append(ZukenUrfLayer(QString::number(layer.number), LayerKind::Cond));
        else
            result.layers.append(ZukenUrfLayer(layer.name, LayerKind::NCond));
    }
    result.layers.append(ZukenUrfLayer(QStringLiteral("BOARDSHAPE"), LayerKind::System));
    result.layers.append(ZukenUrfLayer(QStringLiteral("PADSTACK"), LayerKind::System));
    return result;
}

namespace {

// Fills the notes case from the pages; false when progress was cancelled.
bool addResults(ZukenUrfFile &file, QStandardItemModel *model, Progress *progress)
{
    if (!model)
        return true;
    ZukenUrfCase &notes = notesCase(file);
    for (int row = 0; row < model->rowCount(); ++row) {
        if (progress && !progress->advance(row))
            return false;
        QStandardItem *titleItem = model->item(row, Page::TitleColumn);
        const QStandardItem *sceneItem = model->item(row, Page::SceneColumn);
        if (!titleItem || !sceneItem)
            continue;
        if (titleItem->text().isEmpty())
            titleItem->setText(QStringLiteral("Note %1").arg(row + 1));

        const QVariant rect = sceneItem->data(Page::ViewRectRole);
        const QVariantMap layerMap = sceneItem->data(Page::LayerMapRole).toMap();
        if (!rect.isValid())
            continue;
        notes.results.insert(row, noteResult(titleItem->text(), rect.toRectF(), layerListFromMap(layerMap)));
    }
    return true;
}

} // namespace

ZukenUrfFile buildUrfFile(QStandardItemModel *model, const QString &fileName,
                          const ZukenUrfAppVersion &version)
{
    ZukenUrfFile file = emptyNotesFile(fileName, version);
    addResults(file, model, nullptr);
    return file;
}

Outcome exportNotes(QStandardItemModel *model, const QString &fileName, const ZukenUrfAppVersion &version,
                    Progress *progress)
{
    ZukenUrfFile file = emptyNotesFile(fileName, version);
    if (!addResults(file, model, progress))
        return Outcome::Cancelled;
    // The last step is the write (with the merge of an existing file); it is not interrupted.
    if (progress && !progress->advance(model ? model->rowCount() : 0))
        return Outcome::Cancelled;
    const bool written = file.save(true);
    if (progress)
        progress->advance(model ? model->rowCount() + 1 : 1);
    return written ? Outcome::Written : Outcome::Failed;
}

bool exportNotes(QStandardItemModel *model, const QString &fileName, const ZukenUrfAppVersion &version)
{
    ZukenUrfFile file = buildUrfFile(model, fileName, version);
    return file.save(true);
}

} // namespace NotesExport
