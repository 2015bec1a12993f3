#include "Modal.h"

#include <QAbstractButton>

#include <QTimer>

#include <deque>
#include <utility>

namespace vornik::ui {

namespace {
struct TestState {
    bool on = false;
    std::deque<Modal::Button> answers;
    std::deque<Modal::DialogAnswer> dialogs;
    std::vector<Modal::Shown> shown;
    int dialogsRun = 0;
    bool refusing = false;
};

// Dialogs open, and what waits for the last of them to close. Main thread only.
int g_dialogsOpen = 0;
std::vector<std::pair<QPointer<QObject>, std::function<void()>>> g_afterDialogs;

struct DialogOpen {
    DialogOpen() { ++g_dialogsOpen; }
    ~DialogOpen() {
        if (--g_dialogsOpen > 0 || g_afterDialogs.empty())
            return;
        for (auto& [context, run] : std::exchange(g_afterDialogs, {})) {
            if (context)
                QTimer::singleShot(0, context, std::move(run));
        }
    }
};

TestState& state() {
    static TestState s;
    return s;
}

QString& applicationTitle() {
    static QString title;
    return title;
}
} // namespace

Modal::Button Modal::show(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
                          QMessageBox::StandardButtons buttons, const std::map<Button, QString>& labels) {
    TestState& s = state();
    if (s.refusing)
        return QMessageBox::Cancel;
    if (s.on) {
        s.shown.push_back({caption, text, icon});
        if (s.answers.empty())
            return QMessageBox::Ok;
        const Button answer = s.answers.front();
        s.answers.pop_front();
        return answer;
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    for (const auto& [button, label] : labels) {
        if (QAbstractButton* shown = box.button(button))
            shown->setText(label);
    }
    return static_cast<Button>(box.exec());
}

void Modal::setApplicationTitle(const QString& title) {
    applicationTitle() = title;
}

void Modal::notice(QWidget* parent, const QString& text) {
    // Each window names its own caption: an application display name would be appended to every
    // window's title bar.
    show(parent, QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok);
}

void Modal::error(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Critical, QStringLiteral("Message"), text, QMessageBox::Ok);
}

void Modal::inform(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Information, QStringLiteral("Message"), text, QMessageBox::Ok);
}

Modal::Button Modal::ask(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons) {
    return show(parent, QMessageBox::Question, QStringLiteral("Message"), text, buttons);
}

Modal::Button Modal::ask(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                         const std::map<Button, QString>& labels) {
    return show(parent, QMessageBox::Question, QStringLiteral("Message"), text, buttons, labels);
}

int Modal::exec(QDialog& dialog) {
    TestState& s = state();
    if (s.refusing)
        return QDialog::Rejected;
    const DialogOpen open;
    if (!s.on)
        return dialog.exec();
    ++s.dialogsRun;
    if (s.dialogs.empty())
        return QDialog::Rejected;
    const DialogAnswer answer = std::move(s.dialogs.front());
    s.dialogs.pop_front();
    return answer(dialog);
}

int Modal::dialogsOpen() {
    return g_dialogsOpen;
}

void Modal::whenNoDialog(QObject* context, std::function<void()> run) {
    if (g_dialogsOpen == 0) {
        run();
        return;
    }
    g_afterDialogs.emplace_back(context, std::move(run));
}

void Modal::refuseFromNowOn() {
    state().refusing = true;
}

void Modal::setTestMode(bool on) {
    state().on = on;
}
void Modal::queueAnswer(Button answer) {
    state().answers.push_back(answer);
}
void Modal::queueDialog(DialogAnswer answer) {
    state().dialogs.push_back(std::move(answer));
}
const std::vector<Modal::Shown>& Modal::shown() {
    return state().shown;
}
int Modal::dialogsRun() {
    return state().dialogsRun;
}

void Modal::reset() {
    TestState& s = state();
    s.answers.clear();
    s.dialogs.clear();
    s.shown.clear();
    s.dialogsRun = 0;
    s.refusing = false;
}

} // namespace vornik::ui
