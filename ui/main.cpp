// Program entry: the application, one per user session (a later start hands its profile over and
// ends), the main window (whose creation runs the start-up sequence), the dialogs once each in their
// fixed order, the start-up questions, then the message loop until the main window closes.

#include "AboutBox.h"
#include "CommandLine.h"
#include "OutputSetting.h"
#include "FileCommands.h"
#include "JoystickBindingDialog.h"
#include "KeyboardBindingDialog.h"
#include "Language.h"
#include "MainWindow.h"
#include "Modal.h"
#include "MoveEditor.h"
#include "MoveRecorder.h"
#include "NativePlatform.h"
#include "ProfileKeeper.h"
#include "SessionEnd.h"
#include "SignalExit.h"
#include "SingleInstance.h"
#include "TargetWindows.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QLocale>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <stdexcept>

namespace {
class ReportFirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::fprintf(stderr, "vornik: shown at %lld ms\n",
                         static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
            watched->removeEventFilter(this);
        }
        return false;
    }
};
// The window while it exists, for the way out that skips every handler: the X connection broke and
// the toolkit or Xlib calls exit(). Nothing can be released without the connection; the recovery
// profile is brought up to date, and the player told why the program ended.
vornik::ui::TVornik* g_window = nullptr;
// The display the window is on, named in the message of that way out.
std::string g_display;

void keepSetupAtExit() {
    if (g_window == nullptr)
        return;
    g_window->profileKeeper().writeRecoveryNow();
    std::fprintf(stderr, "vornik: lost the connection to %s; unsaved changes will be offered at the next start\n",
                 g_display.c_str());
}

// A later start's --target NAME or --target-front (`program` empty): chooses the target without
// bringing the window to the front (the game keeps the focus).
void chooseRequestedTarget(vornik::ui::TVornik& main, const QString& program) {
    auto& targets = main.engine().targets();
    const bool chosen = program.isEmpty() ? targets.SelectFrontTarget() : targets.SelectProgramTarget(program.toStdString());
    if (!chosen)
        std::fprintf(stderr, "vornik: %s\n",
                     program.isEmpty() ? "no window in front to make the target"
                                       : ("no window of a program named " + program.toStdString()).c_str());
    main.ticks().scheduler().userActed(); // the state sign follows at once
}

std::string displayDescription() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return "the X display " + qEnvironmentVariable("DISPLAY").toStdString();
    if (platform.startsWith(QLatin1String("wayland"))) {
        const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
        return "the Wayland display " + (name.isEmpty() ? std::string("wayland-0") : name.toStdString());
    }
    return "the display";
}
} // namespace

int main(int argc, char** argv) {
    using namespace vornik::ui;
    // --help and --version need no window and no display.
    const CommandLine commandLine = CommandLine::parse(argc, argv);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::fputs(CommandLine::usage().c_str(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(CommandLine::versionLine().c_str(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "vornik: %s\n%s", commandLine.error.c_str(), CommandLine::usage().c_str());
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    // What the backend asks of the process before the toolkit starts (on X11: no xcb GL integration).
    vornik::prepareNativeToolkit();
    QApplication app(argc, argv);

    // "/allproc" counts only as the first argument; the options do not move it.
    const QStringList arguments = commandLine.withoutOptions(QCoreApplication::arguments());
    const QString profile = commandLine.load.empty()
                                ? profileArgument(arguments)
                                : profileArgument({arguments.value(0), QString::fromStdString(commandLine.load)});
    const bool targetAsked = !commandLine.target.empty() || commandLine.targetFront;
    if (targetAsked && !profile.isEmpty()) {
        std::fprintf(stderr, "vornik: '--target' and '--target-front' take no profile\n%s", CommandLine::usage().c_str());
        return 2;
    }
    const QStringList request = !targetAsked ? SingleInstance::openRequest(profile)
                                : commandLine.targetFront
                                    ? SingleInstance::targetFrontRequest()
                                    : SingleInstance::targetRequest(QString::fromStdString(commandLine.target));
    SingleInstance instance;
    switch (instance.start(request)) {
    case SingleInstance::Role::First:
        break;
    case SingleInstance::Role::HandedOver:
        if (!commandLine.output.empty())
            std::fprintf(stderr, "vornik: --output applies to a new start: the Vornik already running keeps its way "
                                 "of sending keys\n");
        return 0;
    case SingleInstance::Role::Failed:
        std::fprintf(stderr, "vornik: another Vornik runs in this session (%s) but does not answer\n",
                     qPrintable(instance.lockPath()));
        return 1;
    }
    // The language, before any window: --lang, else the choice remembered, else the user's language.
    applyLanguage(chooseLanguage(QString::fromStdString(commandLine.language),
                                 rememberedLanguage(UserFolders::current().settingsFile()),
                                 QLocale::system().uiLanguages()));

    // Signals are honoured from here on, start-up included: before the main window exists a signal
    // leaves any box that is up, refuses the rest, and the program ends once the window is built.
    // (Windows has no such signals: there the handler is never called.)
    TVornik* mainWindow = nullptr;
    bool endRequested = false;
    SignalExit onSignal([&](int) {
        if (mainWindow != nullptr) {
            mainWindow->endProgram();
            return;
        }
        endRequested = true;
        Modal::refuseFromNowOn();
        QCoreApplication::exit(0);
    });

    StartupOptions options;
    options.allProcesses = arguments.size() > 1 && arguments[1] == QLatin1String("/allproc");
    options.profile = profile;
    PlatformHooks hooks;
    std::unique_ptr<vornik::NativePlatform> backend;
    try {
        backend = vornik::makeNativePlatform();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vornik: %s\n", e.what());
        return 1;
    }
    // --output: before the window, so that the start-up says once why that way cannot send.
    if (!commandLine.output.empty() && !backend->chooseOutput(commandLine.output)) {
        std::string offered;
        for (const std::string& name : backend->outputNames())
            offered += (offered.empty() ? "" : ", ") + name;
        std::fprintf(stderr, "vornik: no way of sending keys called '%s' here: %s\n", commandLine.output.c_str(),
                     offered.c_str());
        return 2;
    }
    // Else the way chosen in the file menu at an earlier start, while the backend still has it.
    if (commandLine.output.empty()) {
        const QString remembered = rememberedOutput(UserFolders::current().settingsFile());
        if (!remembered.isEmpty())
            backend->chooseOutput(remembered.toStdString());
    }
    hooks.outputNames = [&backend] { return backend->outputNames(); };
    hooks.setApplicationWindow = [&backend](vornik::WindowHandle window) { backend->setApplicationWindow(window); };
    hooks.outputInUse = [&backend] { return backend->outputInUse(); };
    hooks.chooseOutput = [&backend](const std::string& name) { return backend->chooseOutput(name); };
    const vornik::Platform& platform = backend->platform();

    TVornik main(platform, options, hooks);
    if (endRequested) {
        main.endProgram();
        return 0;
    }
    mainWindow = &main;
    // A signal during a move stops the move at once; the main thread then ends the program.
    onSignal.setInterrupt([](void* window) noexcept { static_cast<TVornik*>(window)->engine().requestStop(); }, &main);
    // The dialogs are built when one is first opened: the window is on screen sooner, and a
    // program that is only left running never holds them.
    std::unique_ptr<Tform2> about;
    std::unique_ptr<TForm4> moveEditor;
    std::unique_ptr<TForm5> recorder;
    std::unique_ptr<TForm6> keyBinding;
    std::unique_ptr<TForm3> joystickBinding;
    main.setDialogMaker([&] {
        about = std::make_unique<Tform2>(&main);
        moveEditor = std::make_unique<TForm4>(&main);
        recorder = std::make_unique<TForm5>(&main);
        keyBinding = std::make_unique<TForm6>(&main);
        joystickBinding = std::make_unique<TForm3>(&main);
        main.setDialogs(about.get(), moveEditor.get(), recorder.get(), keyBinding.get(), joystickBinding.get());
    });
    g_window = &main;
    g_display = displayDescription();
    std::atexit(keepSetupAtExit);
    instance.setWindow(static_cast<quintptr>(main.winId()));
    // The session manager is about to end the session (on Windows: WM_QUERYENDSESSION), and Windows
    // ends it (WM_ENDSESSION, which ends the program as a signal does): no signal comes before the
    // process goes.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &main, [&main] { main.keepSetupNow(); });
    SessionEnd sessionEnd([&main] { main.keepSetupNow(); }, [&main] { main.endProgram(); });

    // For bench/run app: the wall-clock time of the main window's first paint, on stderr.
    if (qEnvironmentVariableIsSet("VORNIK_REPORT_SHOWN"))
        main.installEventFilter(new ReportFirstPaint(&main));

    // The start-up questions, once the window is up and a signal reaches it.
    main.restoreSetup();
    if (main.ending()) {
        g_window = nullptr;
        return 0;
    }
    // Later starts of the program: after the handler that received them has returned.
    instance.setHandler([&main](const QStringList& request) {
        const QString program = SingleInstance::targetOf(request);
        if (!program.isEmpty() || SingleInstance::targetsFront(request)) {
            QTimer::singleShot(0, &main, [&main, program] { chooseRequestedTarget(main, program); });
            return;
        }
        const QString requested = SingleInstance::profileOf(request);
        QTimer::singleShot(0, &main, [&main, requested] { main.openRequested(requested); });
    });

    // This start's own --target or --target-front, once the window is up.
    if (targetAsked) {
        const QString program = QString::fromStdString(commandLine.target);
        QTimer::singleShot(0, &main, [&main, program] { chooseRequestedTarget(main, program); });
    }

    // For the soak run: the longest the event loop did not turn, seen by a timer due every 10 ms (a
    // box's own event loop turns it too). Only then: the probe would wake an idle program 100 times a
    // second.
    const bool reportTicks = qEnvironmentVariableIsSet("VORNIK_REPORT_TICKS");
    QTimer stallProbe;
    QElapsedTimer sinceProbe;
    qint64 longestStallMs = 0;
    if (reportTicks) {
        constexpr int kProbeMs = 10;
        stallProbe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&stallProbe, &QTimer::timeout, [&] {
            longestStallMs = std::max(longestStallMs, sinceProbe.restart() - kProbeMs);
        });
        sinceProbe.start();
        stallProbe.start(kProbeMs);
    }
    const int status = app.exec();
    // For the soak run: how long the longest tick took, and the longest stall of the event loop.
    if (reportTicks) {
        std::fprintf(stderr, "vornik: longest tick %.2f ms\n",
                     std::chrono::duration<double, std::milli>(main.ticks().scheduler().longestTick()).count());
        std::fprintf(stderr, "vornik: longest stall %lld ms\n", static_cast<long long>(longestStallMs));
    }
    onSignal.setInterrupt(nullptr, nullptr);
    mainWindow = nullptr;
    g_window = nullptr;
    return status;
}
