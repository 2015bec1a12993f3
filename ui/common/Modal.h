#pragma once

// Every message box and every modal dialog of the program is run through here, so that tests can
// answer them from a queue instead of blocking in a nested event loop.

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <vector>

namespace vornik::ui {

class Modal {
public:
    using Button = QMessageBox::StandardButton;
    using DialogAnswer = std::function<int(QDialog&)>;

    struct Shown {
        QString caption;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };

    // A plain notice with an OK button, captioned with the application's title ("miss file !").
    static void notice(QWidget* parent, const QString& text);
    // The application's title: the main window's caption, set once it exists.
    static void setApplicationTitle(const QString& title);
    // The program's own boxes carry the caption "Message".
    static void error(QWidget* parent, const QString& text);
    // A word where nothing is wrong (what was done, a step to take first): the information icon.
    static void inform(QWidget* parent, const QString& text);
    static Button ask(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons);
    // The same with some buttons named for what they do ("Unsaved settings", a file's name).
    static Button ask(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                      const std::map<Button, QString>& labels);
    // Runs a dialog modally; QDialog::Accepted or QDialog::Rejected.
    static int exec(QDialog& dialog);
    // How many dialogs are open now (nested ones counted), in the program and in test mode alike.
    static int dialogsOpen();
    // Runs `run` now when no dialog is open, else once the last one has closed (from the event loop,
    // and only while `context` lives): what replaces the tables must not land under a dialog that
    // edits them, whose OK would then write its edit into the new tables.
    static void whenNoDialog(QObject* context, std::function<void()> run);

    // The program is ending before its message loop runs: every later box answers Cancel and every
    // dialog is rejected, without showing anything.
    static void refuseFromNowOn();

    // Test mode: nothing is shown. Boxes take the next queued answer (OK when none is queued);
    // dialogs run the next queued function (Rejected when none is queued). Every box is recorded.
    static void setTestMode(bool on);
    static void queueAnswer(Button answer);
    static void queueDialog(DialogAnswer answer);
    static const std::vector<Shown>& shown();
    static int dialogsRun();
    static void reset();

private:
    static Button show(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
                       QMessageBox::StandardButtons buttons, const std::map<Button, QString>& labels = {});
};

} // namespace vornik::ui
