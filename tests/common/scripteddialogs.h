#pragma once

// A Dialogs implementation for tests: answers from scripted queues and records every request.
// An unscripted request is recorded in `unexpected` and answered as if cancelled, so a test
// never blocks; check `unexpected.isEmpty()` at the end.

#include "scene/dialogs.h"

#include <QAction>
#include <QList>
#include <QMenu>
#include <QQueue>
#include <QStringList>

class ScriptedDialogs : public Dialogs
{
public:
    struct Asked
    {
        QString kind; // "message", "open", "save", "directory", "pageSetup", "menu"
        QString title;
        QString text; // message text, or the start directory of a file dialog
        QString filter;
        QMessageBox::StandardButtons buttons;
        QStringList menuEntries;
    };

    QQueue<QMessageBox::StandardButton> answers;
    QQueue<QString> fileNames;       // for open, save and directory dialogs
    QQueue<bool> pageSetupAnswers;
    QQueue<QString> menuChoices;     // text of the action to choose; "" closes the menu
    QList<Asked> asked;
    QStringList unexpected;
    // Progress: the user presses Cancel once the work reports this many steps done (-1: never).
    int cancelProgressAfter = -1;
    // Progress is no question, so it is recorded apart from `asked`: each request, and every step
    // reported to any progress, in order.
    QList<ProgressRequest> progressAsked;
    QList<int> progressSteps;

    class ScriptedProgress : public Progress
    {
    public:
        explicit ScriptedProgress(ScriptedDialogs *owner)
            : owner(owner)
        {
        }
        bool advance(int done) override
        {
            owner->progressSteps.append(done);
            if (owner->cancelProgressAfter >= 0 && done >= owner->cancelProgressAfter)
                isCancelled = true;
            return !isCancelled;
        }
        void setLabel(const QString &) override {}
        bool cancelled() const override { return isCancelled; }

    private:
        ScriptedDialogs *owner;
        bool isCancelled = false;
    };

    std::unique_ptr<Progress> progress(const ProgressRequest &request) override
    {
        progressAsked.append(request);
        return std::make_unique<ScriptedProgress>(this);
    }

    QMessageBox::StandardButton message(const Message &m) override
    {
        asked.append({QStringLiteral("message"), m.title, m.text, {}, m.buttons, {}});
        if (answers.isEmpty()) {
            unexpected << QStringLiteral("message: ") + m.text;
            return m.buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::No;
        }
        return answers.dequeue();
    }
    QString openFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter) override
    {
        return file(QStringLiteral("open"), caption, dir, filter);
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter) override
    {
        return file(QStringLiteral("save"), caption, dir, filter);
    }
    QString existingDirectory(QWidget *, const QString &caption, const QString &dir,
                              QFileDialog::Options) override
    {
        return file(QStringLiteral("directory"), caption, dir, {});
    }
    bool pageSetup(QPrinter *, QWidget *) override
    {
        asked.append({QStringLiteral("pageSetup"), {}, {}, {}, {}, {}});
        if (pageSetupAnswers.isEmpty()) {
            unexpected << QStringLiteral("pageSetup");
            return false;
        }
        return pageSetupAnswers.dequeue();
    }
    QAction *popupMenu(QMenu *menu, const QPoint &) override
    {
        Asked a{QStringLiteral("menu"), menu ? menu->title() : QString(), {}, {}, {}, {}};
        const QList<QAction *> actions = menu ? menu->actions() : QList<QAction *>();
        for (QAction *action : actions) {
            if (!action->isSeparator())
                a.menuEntries << action->text();
        }
        asked.append(a);
        if (menuChoices.isEmpty()) {
            unexpected << QStringLiteral("menu: ") + a.menuEntries.join(QLatin1Char('|'));
            return nullptr;
        }
        const QString choice = menuChoices.dequeue();
        for (QAction *action : actions) {
            if (!choice.isEmpty() && action->text() == choice)
                return action;
        }
        return nullptr;
    }

    // Installs a fresh scripted instance and returns it; the previous one is restored by
    // the guard's destructor.
    class Guard
    {
    public:
        Guard()
        {
            auto owned = std::make_unique<ScriptedDialogs>();
            dialogs = owned.get();
            previous = Dialogs::install(std::move(owned));
        }
        ~Guard() { Dialogs::install(std::move(previous)); }
        ScriptedDialogs *operator->() const { return dialogs; }
        ScriptedDialogs &operator*() const { return *dialogs; }
        Guard(const Guard &) = delete;
        Guard &operator=(const Guard &) = delete;

    private:
        ScriptedDialogs *dialogs = nullptr;
        std::unique_ptr<Dialogs> previous;
    };

private:
    QString file(const QString &kind, const QString &caption, const QString &dir, const QString &filter)
    {
        asked.append({kind, caption, dir, filter, {}, {}});
        if (fileNames.isEmpty()) {
            unexpected << kind + QStringLiteral(": ") + caption;
            return {};
        }
        return fileNames.dequeue();
    }
};
