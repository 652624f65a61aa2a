#pragma once

#include "io/dsvlayer.h"
#include "io/notesfile.h"
#include "scene/notesarrow.h"
#include "scene/notescircleitem.h"
#include "scene/noteslineitem.h"
#include "scene/notespolylineitem.h"
#include "scene/notesrectangleitem.h"
#include "scene/notesscene.h"
#include "scene/notestextitem.h"

#include <QColor>
#include <QFont>
#include <QGraphicsView>
#include <QIcon>
#include <QList>
#include <QMetaObject>
#include <QPixmap>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QDataWidgetMapper;
class QFontComboBox;
class QGraphicsItem;
class QGraphicsTextItem;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QCloseEvent;
class QImage;
class QMimeData;
class QMenu;
class QPushButton;
class QStandardItem;
class NotesKeeper;
class QStandardItemModel;
class QTextEdit;
class QToolBar;
class QUndoStack;

// The notes window: one page of design-review notes at a time, with the tools to draw on it,
// the list of pages, and the files and exports. Runs as the standalone viewer (view-only) or
// embedded in the host inspection application (edit mode). Its signals and slots, in their
// declared order, are the interface a host relies on; do not reorder them.
class WdgNotes : public QWidget
{
    Q_OBJECT

public:
    explicit WdgNotes(const QString &fileName = QString(), int viewOnlyMode = 0, QWidget *parent = nullptr);
    ~WdgNotes() override;

    WdgNotes(const WdgNotes &) = delete;
    WdgNotes &operator=(const WdgNotes &) = delete;

    // Writes all pages to a notes file; an empty path keeps the current file name, a non-empty
    // one becomes it. True when the file was written completely.
    bool saveNotes(const QString &path);
    // Appends the pages of the current notes file and shows the first page.
    void loadNotes();

    // The scene of a new page: parentless, owned by the page row.
    static NotesScene *createPageScene();

    // Removes and deletes every page with its scene and items.
    void clearAllNotes();

    QString currentNotesFileName() const { return notesFileName; }
    bool isViewOnly() const { return viewOnly; }
    bool isToolLocked() const { return toolLock; }
    QStandardItemModel *model() const { return noteModel; }
    QDataWidgetMapper *mapper() const { return noteMapper; }
    QUndoStack *undoHistory() const { return undoStack; }
    // The keeper of an edit-mode window's lock, recovery copy and unsaved changes; nullptr when
    // view-only.
    NotesKeeper *notesKeeper() const { return keeper; }
    QGraphicsView *view() const { return notesView; }

    // The standalone program's own window (wdgnotes_editor.cpp): files can be dropped on it, the
    // title shows unsaved changes, and closing with unsaved changes asks first. A window that a
    // host constructs is not standalone and keeps its quiet save on destruction.
    void setStandalone(bool on);
    bool isStandalone() const { return standalone; }
    // Opens a notes file as "Load existing Notes" does once a file is chosen (asking first when
    // pages are shown); false when the user cancelled.
    bool openNotesFile(const QString &path);
    // One new page per readable image file, titled with the file's name, in the order given; the
    // first of them is shown. Answers the files that could not be read as pictures.
    QStringList addImagePages(const QStringList &files);
    // Puts a picture on the current page as a pasted one: no host view, no layers. False in
    // view-only mode, without a current page or for a null image.
    bool addPastedPicture(const QImage &image);
    // The notes view's scale, the same for every page.
    double zoomFactor() const;

signals:
    void createImage();
    void showNotePos(QRectF, QList<DsvLayer>);
    void spaceBarPressed();

public slots:
    void updateButtons(int row);
    void createdImage(QPixmap *, QList<DsvLayer>, QRectF);
    void addNewNote();
    void deleteNote();
    void onSaveUrf();
    void toSaveImages();
    void onDrawArrow(bool);
    void removeSelectedItems();
    void arrowColorChanged(QAction *act);
    void fontColorChanged(QAction *act);
    QIcon createColorActionIcon(QString imageFile, QColor color);
    QIcon createLinewidthActionIcon(QString imageFile, int width);
    QIcon createLinestyleActionIcon(QString imageFile, Qt::PenStyle);
    QIcon createColorIcon(QColor color);
    void pointerGroupClicked(QAction *);
    void currentFontChanged(QFont);
    void fontSizeChanged(int index);
    void textColorChanged();
    void lineWidthChanged();
    void lineStyleChanged();
    void handleFontChanged();
    void itemSelected(QGraphicsItem *);
    void textInserted(QGraphicsTextItem *);
    void arrowInserted(NotesArrow *);
    void circleInserted(NotesCircleItem *);
    void rectangleInserted(NotesRectangleItem *);
    void polyLineInserted(NotesPolyLineItem *);
    void freehandLineInserted(NotesLineItem *);
    void drawScene(int);
    void loadExistingNotes();
    void saveNotesAs();
    bool cleanNotes();
    void copyToClipBoard();
    void copyAllToClipBoard();
    void rubberBandChanged(QRect, QPointF, QPointF);
    void setRubberBandSelection(QGraphicsView::DragMode);
    void shrinkToItems();
    void setSendView(bool);
    void copyFromClipBoard(QPointF pos);
    void onExportToPdf();
    void itemMoved(QGraphicsItem *movedItem, QPointF oldPosition);
    void rotateText(QGraphicsItem *, double);
    QRectF dina4Rect();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // The standalone editor asks before unsaved changes are closed away.
    void closeEvent(QCloseEvent *event) override;
    // Keys on the notes view that drawing needs: Escape, Delete and Backspace.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Construction steps, in the order the constructor runs them.
    void createEditors();
    void createButtons();
    void createToolbars();
    void createActions();
    void createToolActions();
    void createStyleControls();
    void fillToolbars();
    void applyViewOnly();
    void createLayout();
    // Standard keys: undo and redo shortcuts, and the key filter on the notes view.
    void createKeys();

    QMenu *createColorMenu(QAction *button, const QColor &defaultColor);
    QMenu *createLineWidthMenu(int defaultWidth);
    QMenu *createLineStyleMenu(Qt::PenStyle defaultStyle);

    // The scene shown in the view, or nullptr.
    NotesScene *currentScene() const;
    // The scene a page row holds (SceneRole of its scene item), or nullptr.
    static QGraphicsScene *sceneOfItem(const QStandardItem *sceneItem);
    QGraphicsScene *pageScene(int row) const;
    // Common part of the five shape insert slots.
    void shapeInserted(QGraphicsItem *item);
    // Checks "Select/Move" and puts the shown scene into the checked tool's mode.
    void syncSceneModeWithTool();
    // Disconnects everything connected for the scene shown so far.
    void dropSceneConnections();
    // Shows nothing in the view and drops the connections to the scene shown so far.
    void detachView();
    // Puts the clipboard's image as a picture on the current page, which from then on refers to
    // no host view. False when the clipboard holds no image; with no current page the picture is
    // discarded.
    bool addClipboardPicture();
    bool addPicture(const QImage &image);
    // Appends an empty page (a new scene, dated now) and answers its row.
    int appendPage(const QString &title);
    // Sets notesFileName, remembers its folder and loads it.
    void loadNotesFrom(const QString &fileName);

    // Standalone editing and viewing (wdgnotes_editor.cpp).
    // Zoom keys, the page number and zoom strip on the view, the drop and wheel handling.
    void createEditorControls();
    void updatePageLabel();
    // Keeps the page number and zoom strip in the lower left corner of the page.
    void placeStatusRow();
    void zoomBy(double factor, const QPoint &viewportAnchor);
    void setZoom(double factor, const QPoint &viewportAnchor);
    void fitPage();
    void updateModifiedMarker();
    // Files from a drop that this window can take; empty when it takes none of them.
    QStringList droppableFiles(const QMimeData *data) const;
    void dropFiles(const QStringList &files);
    // Counts typing in the text items of the page shown as an unsaved change.
    void watchTextItems(QGraphicsScene *scene);
    // Removes and deletes all items of a page scene, then the scene.
    static void deletePageScene(QGraphicsScene *scene);
    // Empties the title, date and comment editors once no page is left to show.
    void clearEditors();
    // Sets the window title from the current notes file.
    void setTitleFromFile();
    // Asks for a notes file and saves to it; false when cancelled or the save failed (reported).
    bool askAndSaveNotes();
    // saveNotes with the reason of a failure.
    NotesFile::SaveResult writeNotes(const QString &path, bool showProgress = false);
    // A save that the user asked for: a failure is reported in a warning box.
    bool saveNotesReporting(const QString &path);
    // Hands pending edits of the title or comment editor to the model before the pages are written.
    void submitPendingEdits();

    // Keeping notes safe (wdgnotes_keeping.cpp).
    // Starts tracking changes, the file lock and the recovery copy of an edit-mode window.
    void createKeeper();
    // The pages as the bytes of a complete notes file; empty without pages.
    QByteArray serializePages() const;
    // Takes the lock of notesFileName before it is read; false when the user chose not to open
    // a file another editor holds (notesFileName is then the previous file again).
    bool lockBeforeLoading();
    // Offers a recovery copy newer than notesFileName; answers the file to read the pages from.
    QString offerRecovery(bool *restored);
    // The destructor's quiet save: never over a damaged or foreign-changed file, never lost.
    void keepPagesOnClose();
    // Asks before a save over a file someone else changed; false when nothing is to be written.
    bool confirmOverwriteChanged(const QString &target, bool *askedForOtherName);
    // The window can no longer edit (another editor holds its file).
    void becomeViewOnly();

    QStandardItemModel *noteModel = nullptr;
    QDataWidgetMapper *noteMapper = nullptr;

    QPushButton *loadNotesButton = nullptr;
    QPushButton *saveNotesButton = nullptr;
    QPushButton *previousButton = nullptr;
    QPushButton *nextButton = nullptr;
    QPushButton *newNoteButton = nullptr;
    QPushButton *deleteNoteButton = nullptr;
    QPushButton *clearNotesButton = nullptr;
    QPushButton *firstNoteButton = nullptr;
    QPushButton *lastNoteButton = nullptr;
    QPushButton *saveUrfButton = nullptr;
    QPushButton *saveImagesButton = nullptr;

    QLineEdit *titleEdit = nullptr;
    QLineEdit *dateEdit = nullptr;
    QGraphicsView *notesView = nullptr;
    QTextEdit *commentEdit = nullptr;

    QCheckBox *hideWindowCheck = nullptr;
    QCheckBox *sendViewCheck = nullptr;

    QToolBar *mainToolbar = nullptr;
    QToolBar *pointerToolbar = nullptr;

    QAction *exportPdfAction = nullptr;
    QAction *shrinkAction = nullptr;
    QAction *removeAction = nullptr;
    QAction *boldAction = nullptr;
    QAction *italicAction = nullptr;
    QAction *underlineAction = nullptr;
    QAction *textColorAction = nullptr;
    QAction *figureColorAction = nullptr;
    QAction *lineWidthAction = nullptr;
    QAction *lineStyleAction = nullptr;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;

    QAction *selectMoveAction = nullptr;
    QAction *addArrowAction = nullptr;
    QAction *addTextAction = nullptr;
    QAction *addCircleAction = nullptr;
    QAction *addRectangleAction = nullptr;
    QAction *addPolyLineAction = nullptr;
    QAction *addFreeLineAction = nullptr;
    // Shows the tool lock that the L key toggles.
    QLabel *toolLockLabel = nullptr;

    QFontComboBox *fontCombo = nullptr;
    QComboBox *fontSizeCombo = nullptr;

    QActionGroup *pointerGroup = nullptr;

    QString notesFileName;
    bool viewOnly = false;
    qint32 fileVersionMajor = 0;
    qint32 fileVersionMinor = 0;
    QRect rubberBandRect;
    bool toolLock = false;
    bool sendView = false;
    QUndoStack *undoStack = nullptr;
    QList<QMetaObject::Connection> sceneConnections;
    NotesKeeper *keeper = nullptr; // edit mode only
    bool readingPages = false;     // a notes file is being read into the model

    bool standalone = false;
    QLabel *pageLabel = nullptr;
    QLabel *zoomLabel = nullptr;
    QAction *zoomInAction = nullptr;
    QAction *zoomOutAction = nullptr;
    QAction *fitPageAction = nullptr;
    QWidget *statusRow = nullptr; // over the view, outside the window's layout
    // Drops on the window and the view, Ctrl+wheel on the view.
    QObject *editorEvents = nullptr;
};
