#include "examples/host/demohost.h"

#include "examples/host/boardview.h"
#include "window/wdgnotes.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QIcon swatch(const QColor &color)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 13, 13);
    return QIcon(pixmap);
}

} // namespace

DemoHost::DemoHost(const QString &notesFile, QWidget *parent)
    : QWidget(parent)
    , allLayers(SyntheticBoard::reviewLayers())
{
    setWindowTitle(tr("Board inspection (Quillmark demo host)"));

    view = new BoardView(board, this);
    view->setObjectName(QStringLiteral("boardView"));
    view->setMinimumSize(480, 360);

    auto *side = new QVBoxLayout;
    side->addWidget(new QLabel(tr("Layers"), this));
    for (const DsvLayer &layer : std::as_const(allLayers)) {
        auto *box = new QCheckBox(QStringLiteral("%1 %2").arg(layer.number).arg(layer.name), this);
        box->setObjectName(layer.name);
        box->setIcon(swatch(layer.allcol));
        box->setToolTip(layer.comment);
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, &DemoHost::layersChanged);
        layerBoxes << box;
        side->addWidget(box);
    }
    side->addSpacing(12);
    auto *notesButton = new QPushButton(tr("Notes"), this);
    notesButton->setObjectName(QStringLiteral("notesButton"));
    side->addWidget(notesButton);
    takeButton = new QPushButton(tr("Take Picture"), this);
    takeButton->setObjectName(QStringLiteral("takeButton"));
    takeButton->setEnabled(false);
    side->addWidget(takeButton);
    side->addStretch(1);

    statusLabel = new QLabel(tr("Drag to pan, wheel to zoom. Make notes in the notes window."), this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setWordWrap(true);

    auto *board = new QVBoxLayout;
    board->addWidget(view, 1);
    board->addWidget(statusLabel);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(board, 1);
    layout->addLayout(side);

    layersChanged();
    resize(900, 640);

    // The notes window: edit mode, a window of its own that belongs to the host.
    notes = new WdgNotes(notesFile, 0, this);
    notes->setWindowFlag(Qt::Window);
    if (notes->windowTitle().isEmpty())
        notes->setWindowTitle(tr("Notes"));
    notes->resize(1000, 700);
    connect(notes, &WdgNotes::createImage, this, &DemoHost::pictureRequested);
    connect(notes, &WdgNotes::showNotePos, this, &DemoHost::showView);
    connect(notes, &WdgNotes::spaceBarPressed, this, &DemoHost::takePendingPicture);
    connect(view, &BoardView::spacePressed, this, &DemoHost::takePendingPicture);
    connect(takeButton, &QPushButton::clicked, this, &DemoHost::takePicture);
    connect(notesButton, &QPushButton::clicked, this, [this] {
        notes->showNormal();
        notes->raise();
        notes->activateWindow();
    });
}

DemoHost::~DemoHost()
{
    // The notes window goes first, with its quiet save, while the board it may ask about is here.
    delete notes;
}

QCheckBox *DemoHost::layerBox(const QString &name) const
{
    for (QCheckBox *box : layerBoxes) {
        if (box->objectName() == name)
            return box;
    }
    return nullptr;
}

QList<DsvLayer> DemoHost::visibleLayers() const
{
    QList<DsvLayer> shown;
    for (int i = 0; i < allLayers.size(); ++i) {
        if (layerBoxes.at(i)->isChecked())
            shown << allLayers.at(i);
    }
    return shown;
}

QRectF DemoHost::visibleRect() const
{
    return view->visibleRect();
}

void DemoHost::layersChanged()
{
    view->setLayers(visibleLayers());
}

void DemoHost::pictureRequested()
{
    // With "Hide Window" the notes window went away so that the reviewer can set up the view
    // first; the picture is taken when he says so.
    if (notes->isHidden()) {
        picturePending = true;
        takeButton->setEnabled(true);
        statusLabel->setText(tr("Pan, zoom and choose the layers for the note, then press Space or Take Picture."));
        activateWindow();
        view->setFocus();
        return;
    }
    takePicture();
}

void DemoHost::takePicture()
{
    picturePending = false;
    takeButton->setEnabled(false);
    statusLabel->setText(tr("Picture handed to the notes."));
    // The notes window takes the pixmap over and deletes it.
    notes->createdImage(new QPixmap(view->viewport()->grab()), visibleLayers(), visibleRect());
}

void DemoHost::takePendingPicture()
{
    if (picturePending)
        takePicture();
}

void DemoHost::showView(const QRectF &rect, const QList<DsvLayer> &layers)
{
    for (int i = 0; i < allLayers.size(); ++i) {
        bool shown = false;
        for (const DsvLayer &layer : layers)
            shown = shown || layer.name == allLayers.at(i).name;
        const QSignalBlocker quiet(layerBoxes.at(i));
        layerBoxes.at(i)->setChecked(shown);
    }
    layersChanged();
    view->zoomTo(rect);
    statusLabel->setText(tr("Showing the view of the note."));
}
