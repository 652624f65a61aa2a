#include "scene/dialogs.h"

#include <QMenu>
#include <QPageSetupDialog>
#include <QProgressDialog>

#include <algorithm>
#include <utility>

namespace {
std::unique_ptr<Dialogs> &installed()
{
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}

QMessageBox::Icon toBoxIcon(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}
// A QProgressDialog that appears only after a short delay; its modality keeps the user out of the
// window while the work runs, and setValue lets the Cancel button be pressed.
class DialogProgress : public Progress
{
public:
    explicit DialogProgress(const Dialogs::ProgressRequest &request)
        : dialog(request.label, request.cancellable ? QObject::tr("Cancel") : QString(), 0,
                 std::max(request.total, 1), request.parent)
    {
        dialog.setWindowTitle(request.title);
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(ShowAfterMs);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setValue(0);
    }
    bool advance(int done) override
    {
        dialog.setValue(std::clamp(done, 0, dialog.maximum()));
        return !dialog.wasCanceled();
    }
    void setLabel(const QString &label) override { dialog.setLabelText(label); }
    bool cancelled() const override { return dialog.wasCanceled(); }

private:
    static constexpr int ShowAfterMs = 400;
    QProgressDialog dialog;
};

} // namespace

std::unique_ptr<Progress> Dialogs::progress(const ProgressRequest &)
{
    return std::make_unique<SilentProgress>();
}

std::unique_ptr<Progress> WidgetDialogs::progress(const ProgressRequest &request)
{
    return std::make_unique<DialogProgress>(request);
}

QMessageBox::StandardButton Dialogs::question(QWidget *parent, const QString &title, const QString &text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    return message({Icon::Question, parent, title, text, buttons, defaultButton});
}

QMessageBox::StandardButton Dialogs::warning(QWidget *parent, const QString &title, const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return message({Icon::Warning, parent, title, text, buttons, defaultButton});
}

Dialogs &Dialogs::current()
{
    static WidgetDialogs widgetDialogs;
    auto &dialogs = installed();
    return dialogs ? *dialogs : static_cast<Dialogs &>(widgetDialogs);
}

std::unique_ptr<Dialogs> Dialogs::install(std::unique_ptr<Dialogs> dialogs)
{
    std::swap(installed(), dialogs);
    return dialogs;
}

QMessageBox::StandardButton WidgetDialogs::message(const Message &m)
{
    QMessageBox box(toBoxIcon(m.icon), m.title, m.text, m.buttons, m.parent);
    box.setDefaultButton(m.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString WidgetDialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString WidgetDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString WidgetDialogs::existingDirectory(QWidget *parent, const QString &caption, const QString &dir,
                                         QFileDialog::Options options)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir, options);
}

bool WidgetDialogs::pageSetup(QPrinter *printer, QWidget *parent)
{
    QPageSetupDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QAction *WidgetDialogs::popupMenu(QMenu *menu, const QPoint &pos)
{
    return menu ? menu->exec(pos) : nullptr;
}
