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
};
