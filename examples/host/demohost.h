#pragma once

#include "examples/generator/syntheticboard.h"
#include "io/dsvlayer.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QWidget>

class BoardView;
class QCheckBox;
class QLabel;
class QPushButton;
class WdgNotes;

// A small board-inspection window that embeds the notes window in edit mode through exactly what
// a host has: the constructor, createImage / createdImage, showNotePos and spaceBarPressed.
class DemoHost : public QWidget
{
    Q_OBJECT

public:
    // notesFile: the notes to open (empty for none; the first save asks for a name).
    explicit DemoHost(const QString &notesFile = QString(), QWidget *parent = nullptr);
    ~DemoHost() override;

    WdgNotes *notesWindow() const { return notes; }
    BoardView *boardView() const { return view; }
    // The check box of a board layer, by the layer's name.
    QCheckBox *layerBox(const QString &name) const;
    // The layers whose boxes are checked, in the host's order.
    QList<DsvLayer> visibleLayers() const;
    QRectF visibleRect() const;
    // True while the host waits for the user to set up the view of a requested picture.
    bool isPicturePending() const { return picturePending; }

public slots:
    // The notes window wants a picture of the board as it is shown.
    void pictureRequested();
    // Grabs the view and hands it to the notes window with its layers and rectangle.
    void takePicture();
    // Space, in either window: the view for a pending picture is ready.
    void takePendingPicture();
    // "Send View Parameter": back to the view and layers under which a note was made.
    void showView(const QRectF &rect, const QList<DsvLayer> &layers);

private:
    void layersChanged();

    SyntheticBoard board;
    QList<DsvLayer> allLayers;
    QList<QCheckBox *> layerBoxes; // in the order of allLayers
    BoardView *view = nullptr;
    QLabel *statusLabel = nullptr;
    QPushButton *takeButton = nullptr;
    WdgNotes *notes = nullptr;
    bool picturePending = false;
};
