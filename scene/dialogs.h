#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QPoint>
#include <QString>

#include <memory>

class QAction;
class QMenu;
class QPrinter;
class QWidget;

// Progress of one long piece of work (an export, a load, a save). The work reports how far it has
// come; the answer says whether to go on. Work that is cancelled stops at the next step and
// removes what it has written.
class Progress
{
public:
    virtual ~Progress() = default;

    // done of the total steps are complete (total as given when the progress was asked for).
    // False once the user has asked to cancel.
    virtual bool advance(int done) = 0;
    // A new text for the current stage, for work with several stages.
    virtual void setLabel(const QString &label) = 0;
    virtual bool cancelled() const = 0;
};

// Progress nobody sees; never cancelled.
class SilentProgress : public Progress
{
public:
    bool advance(int) override { return true; }
    void setLabel(const QString &) override {}
    bool cancelled() const override { return false; }
};

// Every modal interaction of the program goes through this interface: message boxes,
// file and directory dialogs, the page set-up dialog and popup menus that wait for a choice.
// The window, the scene and the text item ask Dialogs::current(); tests install a scripted
// implementation so that nothing ever blocks on a modal dialog.
class Dialogs
{
public:
    enum class Icon { Question, Warning, Information, Critical };

    struct Message
    {
        Icon icon = Icon::Question;
        QWidget *parent = nullptr;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };

    virtual ~Dialogs() = default;

    // A modal message box; answers the button pressed (Escape answers the escape button,
    // QMessageBox's usual rules).
    virtual QMessageBox::StandardButton message(const Message &message) = 0;

    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString existingDirectory(QWidget *parent, const QString &caption, const QString &dir,
                                      QFileDialog::Options options) = 0;

    // The page set-up dialog for a printer; true when accepted.
    virtual bool pageSetup(QPrinter *printer, QWidget *parent) = 0;

    // Opens the menu modally at pos (global coordinates); the chosen action or nullptr.
    virtual QAction *popupMenu(QMenu *menu, const QPoint &pos) = 0;

    // Progress of long work of total steps under parent, shown only once the work has taken a
    // moment, so that short work never flashes a dialog. cancellable adds a "Cancel" button. The
    // dialog closes when the returned object is destroyed.
    struct ProgressRequest
    {
        QWidget *parent = nullptr;
        QString title;
        QString label;
        int total = 0;
        bool cancellable = true;
    };
    virtual std::unique_ptr<Progress> progress(const ProgressRequest &request);

    // Convenience wrappers.
    QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // The installed implementation; the toolkit's own dialogs when none was installed.
    static Dialogs &current();
    // Installs an implementation (nullptr restores the toolkit's dialogs). Returns the previous one.
    static std::unique_ptr<Dialogs> install(std::unique_ptr<Dialogs> dialogs);
};

// The toolkit's real dialogs.
class WidgetDialogs : public Dialogs
{
public:
    QMessageBox::StandardButton message(const Message &message) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString existingDirectory(QWidget *parent, const QString &caption, const QString &dir,
                              QFileDialog::Options options) override;
    bool pageSetup(QPrinter *printer, QWidget *parent) override;
    QAction *popupMenu(QMenu *menu, const QPoint &pos) override;
    std::unique_ptr<Progress> progress(const ProgressRequest &request) override;
};
