#pragma once

// TVornik, the main window: builds the window, its toolbar and its pages, owns the configuration
// and the engine, and ties together the parts that do the rest: the menu (MainMenu), the engine's
// clock (TickClock), the profile files (ProfileFiles), background mode (BackgroundMode), the sign of
// where the keys go (TargetStateSign), the settings dialogs (SettingsDialogs), the output the
// Windows key settings choose (WindowsKeysOutput) and the ways out (ProgramExit). Its start-up steps
// are in StartupSequence, and what the engine asks of it is answered by its EngineBridge.

#include "BackgroundMode.h"
#include "Configuration.h"
#include "Engine.h"
#include "EngineBridge.h"
#include "JoystickPages.h"
#include "PictureStore.h"
#include "Platform.h"
#include "ProfileFiles.h"
#include "ProgramExit.h"
#include "TargetStateSign.h"
#include "TickClock.h"
#include "WindowsKeysOutput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QMainWindow>
#include <QSystemTrayIcon>
#include <QTabWidget>

#include <functional>
#include <memory>
#include <vector>

namespace vornik::ui {

class KeyboardPage;
class MovePage;
class SettingsDialogs;
class Tform2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

struct StartupOptions {
    QString exeDirectory;                         // empty: the directory of the running executable
    bool allProcesses = false;                    // the "/allproc" argument
    bool runTimer = true;                         // tests run TimerEx1Timer themselves
    uint32_t restInterval = 0;                    // ms between ticks while the engine is idle; 0: none (TickScheduler)
    QString profile;                              // a profile file loaded after the start-up sequence (absolute path)
    UserFolders folders = UserFolders::current(); // settings, recovery profile, game profiles
    std::function<bool()> trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    // Leaves the message loop for good; tests count the calls instead.
    std::function<void()> quit = [] { QCoreApplication::exit(0); };
};

// What a real backend needs beyond the platform seams.
struct PlatformHooks {
    // Told the main window's native handle once it exists (the program's own application window).
    std::function<void(WindowHandle)> setApplicationWindow;
    // The name of the output keys go out through ("xtest", "keybd_event"); empty: not told.
    std::function<std::string()> outputInUse;
    // Sends through the backend's output of that name from now on (NativePlatform::chooseOutput);
    // false when it has none by that name. Empty: the output never changes.
    std::function<bool(const std::string& name)> chooseOutput;
    // The backend's outputs by name (NativePlatform::outputNames); empty: none to choose from.
    std::function<std::vector<std::string>()> outputNames;
};

class TVornik : public QMainWindow {
    Q_OBJECT
public:
    explicit TVornik(const Platform& platform, StartupOptions options = {}, PlatformHooks hooks = {});
    ~TVornik() override;

    // The dialogs are created after the main window and handed over here.
    void setDialogs(Tform2* about, TForm4* moveEditor, TForm5* recorder, TForm6* keyBinding, TForm3* joystickBinding);
    // Instead of setDialogs at start-up: `make` builds the dialogs and hands them over with
    // setDialogs the first time one of them is to open.
    void setDialogMaker(std::function<void()> make);

    Configuration& config() { return *m_config; }
    Engine& engine() { return *m_engine; }
    PictureStore& pictures() { return m_pictures; }
    JoystickPage& joystickPage(int joystick) { return m_joysticks.page(joystick); }
    int joystickPageCount() const { return m_joysticks.count(); }
    QString exeDirectory() const { return m_exeDirectory; }
    QTabWidget* PageControl1() const { return m_pages; }
    KeyboardPage* keyboardPage() const { return m_keyboardPage; }
    MovePage* movePage() const { return m_movePage; }
    QComboBox* cb1() const { return m_targetList; }
    QFileDialog* op1() { return m_files->op1(); }
    QFileDialog* sa1() { return m_files->sa1(); }
    FileCommands& fileCommands() { return m_files->commands(); }
    ProfileKeeper& profileKeeper() { return m_files->keeper(); }

    // "讀取舊檔" and "另存新檔", from the toolbar and the menu.
    void SpeedButton5Click() { m_files->commands().openProfile(); }
    void SpeedButton6Click() { m_files->commands().saveProfileAs(); }
    void FillKeyBindingList();
    void RefreshMoveGrid();
    void RefreshTargetWindows() { m_engine->targets().RefreshTargetWindows(); }
    void cb1Change(int index) { m_engine->targets().chooseTarget(index); }

    void EnterBackgroundMode() { m_background->enter(); }
    void trayActivated(QSystemTrayIcon::ActivationReason reason) { m_background->activated(reason); }
    bool inBackground() const { return m_background->active(); }
    QSystemTrayIcon* trayIcon() const { return m_background->tray(); }
    QToolButton* targetStateButton() const { return m_sign->button(); }

    void TimerEx1Timer() { m_clock->fire(); }
    TTimerEx& TimerEx1() { return m_clock->timer(); }
    // Where every tick starts: the timer, the announced changes, the user's clicks.
    QtTickDriver& ticks() { return m_clock->ticks(); }
    void showAbout();
    bool windowsKeysInEffect() const { return m_output.windowsKeysInEffect(); }

    // What the engine asks of the window, and what it tells it.
    EngineBridge& engineHost() { return m_bridge; }
    // Once main() knows the window: the start-up questions (the recovery profile, which profile to
    // open) and the profile loaded at start-up. A signal meanwhile ends the program (ending()).
    void restoreSetup();
    // Another start handed over its command line: the window comes to the front and `profile`, if
    // any, is loaded, unsaved changes asked about first.
    void openRequested(const QString& profile);
    void bringToFront() { m_background->bringToFront(); }
    // The ways out (ProgramExit): the program told to end, the session about to end.
    void endProgram() { m_exit->endProgram(); }
    void keepSetupNow() { m_exit->keepSetupNow(); }
    bool ending() const { return m_exit->ending(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void buildToolBar(QWidget* client);
    void buildMenu();
    void releaseKeys() { m_engine->releaseHeldKeys(); }
    // The player chose another way of sending keys in the file menu; says at once when it cannot send.
    void chooseOutput(const std::string& name);
    // An edited binding may hold a key that its new form would never release.
    void bindingsEdited();
    void tablesReplaced();

    Platform m_platform;
    StartupOptions m_options;
    PlatformHooks m_hooks;
    EngineBridge m_bridge; // before the engine, which keeps a reference to it
    std::unique_ptr<Configuration> m_config;
    std::unique_ptr<Engine> m_engine;
    PictureStore m_pictures;
    JoystickPages m_joysticks;
    WindowsKeysOutput m_output;
    QString m_exeDirectory;

    QWidget* m_toolBar = nullptr;
    QComboBox* m_targetList = nullptr;
    QTabWidget* m_pages = nullptr;
    KeyboardPage* m_keyboardPage = nullptr;
    MovePage* m_movePage = nullptr;
    BackgroundMode* m_background = nullptr;
    std::unique_ptr<TargetStateSign> m_sign;
    std::unique_ptr<ProfileFiles> m_files;
    std::unique_ptr<ProgramExit> m_exit;
    std::unique_ptr<SettingsDialogs> m_settings;
    std::unique_ptr<TickClock> m_clock;
    Tform2* m_about = nullptr;
    std::function<void()> m_dialogMaker;
};

} // namespace vornik::ui
