// Construction, layout and destruction of the notes window.

#include "window/wdgnotes.h"

#include "scene/notestextdocument.h"
#include "io/pagemodel.h"
#include "window/noteskeeper.h"
#include "window/appversion.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDataWidgetMapper>
#include <QFontComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

WdgNotes::WdgNotes(const QString &fileName, int viewOnlyMode, QWidget *parent)
    : QWidget(parent)
    , notesFileName(fileName)
    , viewOnly(viewOnlyMode != 0)
    , fileVersionMajor(AppVersion::Major)
    , fileVersionMinor(AppVersion::Minor)
{
    registerDsvLayerMetaTypes();

    undoStack = new QUndoStack(this);
    noteModel = new QStandardItemModel(this);
    noteMapper = new QDataWidgetMapper(this);
    noteMapper->setModel(noteModel);

    createEditors();
    createButtons();
    createToolbars();
    createActions();
    createToolActions();
    createStyleControls();
    fillToolbars();
    if (viewOnly)
        applyViewOnly();
    createEditorControls();
    createLayout();
    createKeys();
    if (!viewOnly)
        createKeeper();

    if (!notesFileName.isEmpty())
        loadNotes();
}

WdgNotes::~WdgNotes()
{
    // The host relies on an edit-mode window keeping its pages when it goes away.
    if (!viewOnly && noteModel->rowCount() > 0)
        keepPagesOnClose();
    else if (keeper)
        keeper->removeRecoveryCopy(); // a clean close leaves nothing to recover
    clearAllNotes();
    // The editor's event filter reads this window's members; the widgets that are deleted after
    // this destructor still send it events.
    delete editorEvents;
    editorEvents = nullptr;
}

void WdgNotes::createEditors()
{
    titleEdit = new QLineEdit(this);
    titleEdit->setObjectName(QStringLiteral("titleEdit"));
    titleEdit->setReadOnly(viewOnly);

    dateEdit = new QLineEdit(this);
    dateEdit->setObjectName(QStringLiteral("dateEdit"));
    dateEdit->setReadOnly(true);

    notesView = new QGraphicsView(this);
    notesView->setObjectName(QStringLiteral("notesView"));
    notesView->setMouseTracking(true);
    notesView->setMinimumSize(600, 300);
    notesView->setRenderHint(QPainter::Antialiasing, true);
    notesView->setDragMode(QGraphicsView::RubberBandDrag);
    notesView->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    connect(notesView, &QGraphicsView::rubberBandChanged, this, &WdgNotes::rubberBandChanged);

    commentEdit = new QTextEdit(this);
    commentEdit->setObjectName(QStringLiteral("commentEdit"));
    commentEdit->setMinimumSize(200, 300);
    commentEdit->setReadOnly(viewOnly);
    // Comments come from files: their HTML may load inline data and our own resources, never a
    // local file (an <img src="/dev/zero"> would otherwise be read until memory runs out).
    commentEdit->setDocument(new NotesTextDocument(commentEdit));

    noteMapper->addMapping(titleEdit, Page::TitleColumn);
    // The view has no editable property: the mapper moves nothing into it, drawScene shows the scene.
    noteMapper->addMapping(notesView, Page::SceneColumn);
    noteMapper->addMapping(dateEdit, Page::DateColumn);
    // QTextEdit's user property is its HTML, which is what the comment column holds.
    noteMapper->addMapping(commentEdit, Page::CommentColumn);
    connect(noteMapper, &QDataWidgetMapper::currentIndexChanged, this, &WdgNotes::drawScene);
}

void WdgNotes::createButtons()
{
    auto makeButton = [this](const QString &text, const char *name) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        return button;
    };

    loadNotesButton = makeButton(QStringLiteral("Load existing Notes"), "loadNotesButton");
    connect(loadNotesButton, &QPushButton::clicked, this, &WdgNotes::loadExistingNotes);

    saveNotesButton = makeButton(tr("Save Notes as..."), "saveNotesButton");
    connect(saveNotesButton, &QPushButton::clicked, this, &WdgNotes::saveNotesAs);

    previousButton = makeButton(tr("Previous"), "previousButton");
    connect(previousButton, &QPushButton::clicked, noteMapper, &QDataWidgetMapper::toPrevious);
    previousButton->setEnabled(false);

    nextButton = makeButton(tr("Next"), "nextButton");
    connect(nextButton, &QPushButton::clicked, noteMapper, &QDataWidgetMapper::toNext);
    nextButton->setEnabled(false);

    newNoteButton = makeButton(tr("New Note"), "newNoteButton");
    connect(newNoteButton, &QPushButton::clicked, this, &WdgNotes::addNewNote);

    deleteNoteButton = makeButton(tr("Delete this Note"), "deleteNoteButton");
    connect(deleteNoteButton, &QPushButton::clicked, this, &WdgNotes::deleteNote);

    clearNotesButton = makeButton(tr("Clear all Notes"), "clearNotesButton");
    connect(clearNotesButton, &QPushButton::clicked, this, &WdgNotes::cleanNotes);

    firstNoteButton = makeButton(tr("First Note"), "firstNoteButton");
    connect(firstNoteButton, &QPushButton::clicked, noteMapper, &QDataWidgetMapper::toFirst);

    lastNoteButton = makeButton(tr("Last Note"), "lastNoteButton");
    connect(lastNoteButton, &QPushButton::clicked, noteMapper, &QDataWidgetMapper::toLast);

    saveUrfButton = makeButton(tr("Save URF-Data"), "saveUrfButton");
    connect(saveUrfButton, &QPushButton::clicked, this, &WdgNotes::onSaveUrf);

    saveImagesButton = makeButton(tr("Save Images"), "saveImagesButton");
    connect(saveImagesButton, &QPushButton::clicked, this, &WdgNotes::toSaveImages);

    // Read by addNewNote and createdImage only.
    hideWindowCheck = new QCheckBox(QStringLiteral("Hide Window"), this);
    hideWindowCheck->setObjectName(QStringLiteral("hideWindowCheck"));

    sendViewCheck = new QCheckBox(QStringLiteral("Send View Parameter"), this);
    sendViewCheck->setObjectName(QStringLiteral("sendViewCheck"));
    // A viewer has no host to send views to.
    if (!viewOnly)
        connect(sendViewCheck, &QCheckBox::toggled, this, &WdgNotes::setSendView);

    if (viewOnly) {
        const std::initializer_list<QWidget *> editing = {saveNotesButton,  newNoteButton,   deleteNoteButton,
                                                          clearNotesButton, hideWindowCheck, sendViewCheck};
        for (QWidget *w : editing)
            w->setEnabled(false);
        setWindowTitle(tr("Quillmark %1")
                           .arg(tr("Version %1.%2.%3")
                                    .arg(AppVersion::Major)
                                    .arg(AppVersion::Minor)
                                    .arg(AppVersion::Patch)));
    }
}

void WdgNotes::createToolbars()
{
    mainToolbar = new QToolBar(QStringLiteral("NotesToolbar"), this);
    mainToolbar->setObjectName(QStringLiteral("mainToolbar"));
    mainToolbar->setIconSize(QSize(24, 24));

    pointerToolbar = new QToolBar(QStringLiteral("Pointer Type"), this);
    pointerToolbar->setObjectName(QStringLiteral("pointerToolbar"));
    pointerToolbar->setIconSize(QSize(24, 24));
}

void WdgNotes::applyViewOnly()
{
    for (QAction *action : {removeAction, boldAction, italicAction, underlineAction, textColorAction,
                            figureColorAction, lineWidthAction, lineStyleAction, undoAction, redoAction})
        action->setEnabled(false);
    fontCombo->setEnabled(false);
    fontSizeCombo->setEnabled(false);
    pointerToolbar->setEnabled(false);
    mainToolbar->hide();
    pointerToolbar->hide();
}

void WdgNotes::createLayout()
{
    auto *titleRow = new QHBoxLayout;
    titleRow->addWidget(new QLabel(tr("Title"), this));
    titleRow->addWidget(titleEdit);

    auto *drawingColumn = new QVBoxLayout;
    drawingColumn->addWidget(mainToolbar);
    drawingColumn->addWidget(pointerToolbar);
    drawingColumn->addWidget(notesView);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitter"));

    auto *leftFrame = new QFrame(splitter);
    auto *leftLayout = new QVBoxLayout(leftFrame);
    leftLayout->addLayout(titleRow);
    leftLayout->addLayout(drawingColumn);

    auto *rightFrame = new QFrame(splitter);
    auto *rightLayout = new QVBoxLayout(rightFrame);
    rightLayout->addWidget(dateEdit);
    rightLayout->addWidget(commentEdit);

    splitter->addWidget(leftFrame);
    splitter->addWidget(rightFrame);

    auto *buttonColumn = new QVBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{
             loadNotesButton, saveNotesButton, previousButton, nextButton, newNoteButton, deleteNoteButton,
             clearNotesButton, firstNoteButton, lastNoteButton, saveUrfButton, saveImagesButton,
             hideWindowCheck, sendViewCheck})
        buttonColumn->addWidget(w);

    auto *windowLayout = new QHBoxLayout;
    windowLayout->addWidget(splitter);
    windowLayout->addLayout(buttonColumn);
    setLayout(windowLayout);
}

NotesScene *WdgNotes::currentScene() const
{
    return qobject_cast<NotesScene *>(notesView->scene());
}
