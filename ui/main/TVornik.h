#pragma once

// The main window: owns the configuration, the engine and its timer; runs the start-up sequence;
// hosts the joystick pages, the keyboard page and the move page; answers the engine's questions.

#include "Configuration.h"
#include "Engine.h"
#include "EngineHost.h"
#include "FileCommands.h"
#include "JoystickGrid.h"
#include "JoystickPage.h"
#include "PictureStore.h"
#include "ProfileKeeper.h"
#include "Platform.h"
#include "QtInputWake.h"
#include "TickWake.h"
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

namespace vornik::ui {

class KeyboardPage;
class MovePage;
class Tform2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

struct StartupOptions {
    QString exeDirectory;      // empty: the directory of the running executable
    bool allProcesses = false; // the "/allproc" argument
    bool runTimer = true;      // tests run TimerEx1Timer themselves
    uint32_t restInterval = 1000; // ms between ticks while the engine is idle (TickWake)
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
};

class TVornik : public QMainWindow, public EngineHost {
    Q_OBJECT
public:
    static const QString kCaption;

    explicit TVornik(const Platform& platform, StartupOptions options = {}, PlatformHooks hooks = {});
    ~TVornik() override;

    // The dialogs are created after the main window and handed over here.
    void setDialogs(Tform2* about, TForm4* moveEditor, TForm5* recorder, TForm6* keyBinding, TForm3* joystickBinding);

    Configuration& config() { return *m_config; }
    Engine& engine() { return *m_engine; }
    const PictureStore& pictures() const { return m_pictures; }
    JoystickPage& joystickPage(int joystick) { return m_joystickPages.at(static_cast<std::size_t>(joystick - 1)); }
    int joystickPageCount() const { return m_joystickPageCount; }
    QString exeDirectory() const { return m_exeDirectory; }
    QTabWidget* PageControl1() const { return m_pageControl; }
    KeyboardPage* keyboardPage() const { return m_keyboardPage; }
    MovePage* movePage() const { return m_movePage; }
    QComboBox* cb1() const { return m_cb1; }
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

    void TimerEx1Timer();
    TTimerEx& TimerEx1() { return *m_timerEx1; }
    // Runs the engine's InputTick as soon as a joystick input changes between two ticks.
    QtInputWake& inputWake() { return *m_inputWake; }
    void showAbout();

    // EngineHost
    bool mainWindowVisible() override;
    bool testBoxTicked(int joystick) override;
    bool stopBoxTicked(int joystick) override;
    bool keyboardStopBoxTicked() override;
    void showDirectionPicture(int joystick, int picture) override;
    void showButtonPicture(int joystick, int button, bool pressed) override;
    // Inserts the new joystick's page after the last joystick page, built as at start-up.
    void joystickAttached(int joystick) override;
    void clearTargetItems() override;
    void addTargetItem(const std::string& title) override;
    void selectTargetItem(int index) override;
    void targetChosen(uint32_t processId) override;
    Answer askConnectionError(const std::string& text) override;
    // Releases every key the program holds down, closes the windows and leaves the event loop.
    void endProgram() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void buildMenu();
    void runStartup();
    void startupSteps();
    void loadKeyMapFile();
    void addJoystickPage(int joystick, int index);
    void leaveBackgroundMode();
    void releaseKeys();
    void bindingsEdited();
    void releaseKeysWhenTicked(QCheckBox* stopBox);
    void tablesReplaced();

    Platform m_platform;
    StartupOptions m_options;
    PlatformHooks m_hooks;
    std::unique_ptr<Configuration> m_config;
    std::unique_ptr<Engine> m_engine;
    PictureStore m_pictures;
    std::array<JoystickPage, kMaxJoysticks> m_joystickPages{};
    JoystickGrid m_joystickGrid;
    int m_joystickPageCount = 0;
    QString m_exeDirectory;
    bool m_background = false;
    bool m_keysReleased = false;
    bool m_ending = false; // no more questions: the program is on its way out
    uint32_t m_lastTarget = 0; // the process last chosen as the target

    QWidget* m_toolBar1 = nullptr;
    QToolButton* m_speedButton5 = nullptr;
    QToolButton* m_speedButton6 = nullptr;
    QToolButton* m_speedButton1 = nullptr;
    QToolButton* m_speedButton8 = nullptr;
    QComboBox* m_cb1 = nullptr;
    QTabWidget* m_pageControl = nullptr;
    KeyboardPage* m_keyboardPage = nullptr;
    MovePage* m_movePage = nullptr;
    QWidget* m_panel1 = nullptr;
    QFileDialog* m_op1 = nullptr;
    QFileDialog* m_sa1 = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    std::unique_ptr<TTimerEx> m_timerEx1;
    std::unique_ptr<QtInputWake> m_inputWake;
    std::unique_ptr<TickWake> m_tickWake; // null when tests run the ticks themselves
    std::unique_ptr<FileCommands> m_fileCommands;
    std::unique_ptr<ProfileKeeper> m_keeper;
    std::vector<QAction*> m_recentActions;
    Tform2* m_about = nullptr;
    TForm3* m_form3 = nullptr;
    TForm4* m_form4 = nullptr;
    TForm5* m_form5 = nullptr;
    TForm6* m_form6 = nullptr;
};

} // namespace vornik::ui
