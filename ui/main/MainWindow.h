#pragma once

// TVornik, the main window: builds the window and its menu, owns the configuration, the engine and its
// timer, hosts the joystick pages, the keyboard page and the move page, and owns the tray icon, the
// file dialogs and the way out. Its start-up steps are in StartupSequence, and what the engine asks
// of it is answered by its EngineBridge.

#include "Configuration.h"
#include "Engine.h"
#include "EngineBridge.h"
#include "FileCommands.h"
#include "JoystickGrid.h"
#include "JoystickPage.h"
#include "PictureStore.h"
#include "ProfileKeeper.h"
#include "Platform.h"
#include "QtTickDriver.h"
#include "TimerEx.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QToolButton>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace vornik::ui {

class KeyboardPage;
class MovePage;
class Tform2;
class TForm3;
class PadSettingsDialog;
class WindowsKeysDialog;
class TForm4;
class TForm5;
class TForm6;

struct StartupOptions {
    QString exeDirectory;      // empty: the directory of the running executable
    bool allProcesses = false; // the "/allproc" argument
    bool runTimer = true;      // tests run TimerEx1Timer themselves
    uint32_t restInterval = 0; // ms between ticks while the engine is idle; 0: none (TickScheduler)
    QString profile;           // a profile file loaded after the start-up sequence (absolute path)
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
    static const QString kCaption;

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
    const PictureStore& pictures() const { return m_pictures; }
    JoystickPage& joystickPage(int joystick) { return m_joystickPages.at(static_cast<std::size_t>(joystick - 1)); }
    int joystickPageCount() const { return m_joystickPageCount; }
    QString exeDirectory() const { return m_exeDirectory; }
    QTabWidget* PageControl1() const { return m_pages; }
    KeyboardPage* keyboardPage() const { return m_keyboardPage; }
    MovePage* movePage() const { return m_movePage; }
    QComboBox* cb1() const { return m_targetList; }
    // The open-file and save-file dialogs of the two file commands.
    QFileDialog* op1();
    QFileDialog* sa1();

    // "讀取舊檔" and "另存新檔", from the toolbar and the menu.
    void SpeedButton5Click();
    void SpeedButton6Click();
    FileCommands& fileCommands() { return *m_fileCommands; }
    ProfileKeeper& profileKeeper() { return *m_keeper; }

    void FillKeyBindingList();
    void RefreshMoveGrid();
    void RefreshTargetWindows();
    void cb1Change(int index);

    // Background mode: hides every window and shows the tray icon; refused when the desktop has
    // no notification area, since nothing could bring the program back.
    void EnterBackgroundMode();
    // A left or right press on the icon restores the program, once the press has been delivered.
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    bool inBackground() const { return m_background; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    // Where the keys go: a small button at the right end of the page tabs, its text as tooltip and
    // accessible name, and the same text under "Vornik" in the tray icon's tooltip.
    void showTargetState(const TargetState& state);
    // Sends through the backend's output `name` from now on, letting go of every key first, and
    // keeps the choice for later starts; says once why it cannot send, when it cannot.
    void chooseOutput(const std::string& name);
    // The profile in use changed (a load, a save, a restore): the sign names it anew.
    void profileInUseChanged();
    QToolButton* targetStateButton() const { return m_targetState; }

    void TimerEx1Timer();
    TTimerEx& TimerEx1() { return *m_tickTimer; }
    // Where every tick starts: the timer, the announced changes, the user's clicks.
    QtTickDriver& ticks() { return *m_ticks; }
    void showAbout();
    // "Windows 按鍵設定…": OK with a change counts as an edit of the bindings.
    void editWindowsKeys();
    // Whether the backend sends keys the Windows way, so that the profile's Windows key settings act.
    bool windowsKeysInEffect() const { return m_windowsKeysInEffect; }

    // Page "搖桿 n" for joystick n at tab position `index`, its controls built and its grid's handlers set.
    void addJoystickPage(int joystick, int index);

    // What the engine asks of the window, and what it tells it.
    EngineBridge& engineHost() { return m_bridge; }
    // Once main() knows the window: the start-up questions (the recovery profile, which profile to
    // open) and the profile loaded at start-up. A signal meanwhile ends the program (ending()).
    void restoreSetup();
    // Another start handed over its command line: the window comes to the front and `profile`, if
    // any, is loaded, unsaved changes asked about first.
    void openRequested(const QString& profile);
    void bringToFront();
    // Releases every key the program holds down, closes the windows and leaves the event loop;
    // unsaved tables go to the recovery profile, since no question can be asked on this way out.
    void endProgram();
    // The session may be ending (the session manager's commitDataRequest, Windows' WM_QUERYENDSESSION):
    // every held key is released, then the recovery profile is brought up to date; returns once the
    // disk has it. The program itself goes on until it is told to end.
    void keepSetupNow();
    // The program is on its way out: no more questions.
    bool ending() const { return m_ending; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void buildMenu();
    void leaveBackgroundMode();
    void releaseKeys();
    void bindingsEdited();
    // Opens the pointer settings of joystick n; OK with a change counts as an edit of the bindings.
    void editPadSettings(int joystick);
    void releaseKeysWhenTicked(QCheckBox* stopBox);
    void tablesReplaced();
    // Sends keys as the profile's Windows key settings say, where the backend has the Windows outputs.
    // Whoever calls it has let go of every key first: a key-up goes through the output then chosen.
    void applyWindowsKeys();

    Platform m_platform;
    StartupOptions m_options;
    PlatformHooks m_hooks;
    EngineBridge m_bridge; // before the engine, which keeps a reference to it
    std::unique_ptr<Configuration> m_config;
    std::unique_ptr<Engine> m_engine;
    PictureStore m_pictures;
    std::array<JoystickPage, kMaxJoysticks> m_joystickPages{};
    JoystickGrid m_joystickGrid;
    int m_joystickPageCount = 0;
    QString m_exeDirectory;
    bool m_background = false;
    bool m_ending = false; // no more questions: the program is on its way out

    QWidget* m_toolBar = nullptr;
    QToolButton* m_openProfile = nullptr;
    QToolButton* m_saveProfile = nullptr;
    QToolButton* m_hideToTray = nullptr;
    QToolButton* m_refreshTargets = nullptr;
    QComboBox* m_targetList = nullptr;
    QToolButton* m_targetState = nullptr;
    QTabWidget* m_pages = nullptr;
    KeyboardPage* m_keyboardPage = nullptr;
    MovePage* m_movePage = nullptr;
    QWidget* m_hiddenPictures = nullptr;
    QFileDialog* m_openDialog = nullptr;
    QFileDialog* m_saveDialog = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    std::unique_ptr<TTimerEx> m_tickTimer;
    std::unique_ptr<QtTickDriver> m_ticks;
    std::unique_ptr<FileCommands> m_fileCommands;
    std::unique_ptr<ProfileKeeper> m_keeper;
    std::vector<QAction*> m_recentActions;
    Tform2* m_about = nullptr;
    std::function<void()> m_dialogMaker;
    PadSettingsDialog* m_padSettings = nullptr; // built when first opened
    WindowsKeysDialog* m_windowsKeys = nullptr; // built when first opened
    bool m_windowsKeysInEffect = false;
    TargetState m_shownState{}; // what the sign says now, shown again when the profile in use changes
};

} // namespace vornik::ui
