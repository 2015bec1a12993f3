#include "MainWindow.h"

#include "AboutBox.h"
#include "DrawGrid.h"
#include "FixedItemHeight.h"
#include "Fonts.h"
#include "JoystickBindingDialog.h"
#include "KeyboardBindingDialog.h"
#include "KeyboardPage.h"
#include "Language.h"
#include "Modal.h"
#include "MoveEditor.h"
#include "MovePage.h"
#include "MoveRecorder.h"
#include "Named.h"
#include "NativePlatform.h"
#include "OutputSetting.h"
#include "PadSettingsDialog.h"
#include "ProfileKeeper.h"
#include "QtTimerHooks.h"
#include "StartupSequence.h"
#include "TargetStateText.h"
#include "WindowsKeysDialog.h"

#include <QCoreApplication>
#include <QApplication>
#include <QCloseEvent>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QMenuBar>
#include <QStyle>
#include <QToolTip>

#include <stdexcept>
#include <utility>

namespace vornik::ui {

const QString TVornik::kCaption = QStringLiteral("Vornik   (熱鍵：CTRL+J)");

namespace {
constexpr int kClientWidth = 536;
constexpr int kClientHeight = 373;
constexpr int kToolBarHeight = 28;
constexpr int kTimerInterval = 30; // ms between the end of one tick and the next
} // namespace

TVornik::TVornik(const Platform& platform, StartupOptions options, PlatformHooks hooks)
    : m_platform(platform), m_options(std::move(options)), m_hooks(std::move(hooks)),
      m_bridge(*this, m_platform.windows), m_config(std::make_unique<Configuration>()),
      m_engine(std::make_unique<Engine>(*m_config, m_platform, m_bridge, m_options.allProcesses)),
      m_joystickGrid(*m_config, m_pictures, m_joystickPages) {
    setObjectName(QStringLiteral("Vornik"));
    setWindowTitle(QCoreApplication::translate("Vornik", "Vornik   (熱鍵：CTRL+J)"));
    Modal::setApplicationTitle(windowTitle());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(programFont(12));
    try {
        m_pictures.loadStaticPictures();
    } catch (const std::exception& e) {
        Modal::error(this, QString::fromStdString(e.what()));
    }
    setWindowIcon(m_pictures.appIcon());
    buildWindow();
    buildMenu();

    // The engine's clock: a worker of the highest priority sleeps Interval, then has the main thread
    // run one tick (through the scheduler) and waits for it.
    m_tickTimer = std::make_unique<TTimerEx>(qtTimerHooks([this](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            Modal::error(this, QString::fromStdString(e.what()));
        } catch (...) {
            Modal::error(this, QCoreApplication::translate("Vornik", "按鍵引擎發生不明的錯誤。"));
        }
    }));
    m_tickTimer->setEnabled(m_options.runTimer);
    m_tickTimer->setInterval(kTimerInterval);
    m_tickTimer->setThreadPriority(tpHighest);
    m_tickTimer->setThreadSafe(false);
    m_tickTimer->setOnTimer([this](TTimerEx&) { TimerEx1Timer(); });
    // Every tick starts through the scheduler: a press goes out at once rather than at the next tick,
    // and while the engine is idle the ticks rest until an input changes (not when tests run them).
    std::function<void(uint32_t)> setInterval;
    if (m_options.runTimer)
        setInterval = [this](uint32_t ms) { m_tickTimer->setInterval(ms); };
    m_ticks = std::make_unique<QtTickDriver>(*m_engine, m_platform, std::move(setInterval), kTimerInterval,
                                             m_options.restInterval);

    m_fileCommands = std::make_unique<FileCommands>(
        this, *m_config,
        FileCommands::Hooks{[this] { return op1(); }, [this] { return sa1(); }, [this] { tablesReplaced(); },
                            [this](const QString& path) {
                                m_keeper->fileUsed(path);
                                profileInUseChanged();
                            }});
    m_keeper = std::make_unique<ProfileKeeper>(this, *m_config, *m_fileCommands, [this] { tablesReplaced(); },
                                               m_options.folders);

    // Start-up, once the window, the engine and the file commands exist.
    StartupSequence startup(*this, m_platform, m_options, m_hooks);
    startup.run();
    m_exeDirectory = startup.exeDirectory();
    applyWindowsKeys();
}

void TVornik::restoreSetup() {
    // A refused profile is shown and the program goes on with empty tables.
    m_keeper->restoreAtStartup(m_options.profile, [this] { return m_ending; });
}

void TVornik::bringToFront() {
    if (m_background)
        leaveBackgroundMode();
    showNormal();
    raise();
    activateWindow();
}

void TVornik::openRequested(const QString& profile) {
    if (m_ending)
        return;
    bringToFront();
    // A request that comes while a dialog is open (its event loop runs the timers) waits for it.
    Modal::whenNoDialog(this, [this, profile] {
        if (!m_ending)
            m_keeper->openRequested(profile);
    });
}

TVornik::~TVornik() {
    // The worker and the input watch go first: no tick may reach a half-destroyed window.
    m_tickTimer.reset();
    m_ticks.reset();
}

void TVornik::buildWindow() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    m_toolBar = named(new QWidget(client), "ToolBar1", {0, 0, kClientWidth, kToolBarHeight});
    QStyle* style = this->style();
    m_openProfile = named(new QToolButton(m_toolBar), "SpeedButton5", {2, 2, 24, 24});
    m_openProfile->setToolTip(QCoreApplication::translate("Vornik", "讀取舊檔"));
    m_openProfile->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    m_saveProfile = named(new QToolButton(m_toolBar), "SpeedButton6", {26, 2, 24, 24});
    m_saveProfile->setToolTip(QCoreApplication::translate("Vornik", "另存新檔"));
    m_saveProfile->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    m_hideToTray = named(new QToolButton(m_toolBar), "SpeedButton1", {54, 2, 24, 24});
    m_hideToTray->setToolTip(QCoreApplication::translate("Vornik", "背景執行"));
    m_hideToTray->setIcon(m_pictures.appIcon());
    m_refreshTargets = named(new QToolButton(m_toolBar), "SpeedButton8", {82, 2, 65, 24});
    m_refreshTargets->setText(QCoreApplication::translate("Vornik", "Refeash"));
    for (QToolButton* button : {m_openProfile, m_saveProfile, m_hideToTray, m_refreshTargets})
        button->setAutoRaise(true);
    m_targetList = named(new QComboBox(m_toolBar), "cb1", {150, 3, kClientWidth - 150, 22});
    setFixedItemHeight(m_targetList, 13);
    m_targetList->setMaxVisibleItems(24);
    connect(m_openProfile, &QToolButton::clicked, this, &TVornik::SpeedButton5Click);
    connect(m_saveProfile, &QToolButton::clicked, this, &TVornik::SpeedButton6Click);
    connect(m_hideToTray, &QToolButton::clicked, this, &TVornik::EnterBackgroundMode);
    connect(m_refreshTargets, &QToolButton::clicked, this, &TVornik::RefreshTargetWindows);
    connect(m_targetList, &QComboBox::activated, this, &TVornik::cb1Change);

    m_pages = named(new QTabWidget(client), "PageControl1", {0, kToolBarHeight, kClientWidth, kClientHeight - kToolBarHeight});
    m_pages->setFont(programFont(12));
    m_keyboardPage = new KeyboardPage(*m_config, m_pictures);
    m_keyboardPage->setObjectName(QStringLiteral("TabSheet3"));
    m_pages->addTab(m_keyboardPage, QCoreApplication::translate("Vornik", "鍵盤"));
    m_movePage = new MovePage(*m_config, m_pictures);
    m_movePage->setObjectName(QStringLiteral("TabSheet4"));
    m_movePage->setOnMovesChanged([this] {
        FillKeyBindingList();
        bindingsEdited();
    });
    m_keyboardPage->setOnBindingEdited([this] { bindingsEdited(); });
    m_joystickGrid.setOnBindingEdited([this] { bindingsEdited(); });
    releaseKeysWhenTicked(m_keyboardPage->CheckBox5());
    m_pages->addTab(m_movePage, QCoreApplication::translate("Vornik", "招式記錄"));
    // In the corner right of the tabs, so the window's layout stays as it is; shown once a tick has
    // looked. A click shows the text at once, for whoever cannot wait for the tooltip.
    m_targetState = new QToolButton(m_pages);
    m_targetState->setObjectName(QStringLiteral("TargetState"));
    m_targetState->setAutoRaise(true);
    m_targetState->setIconSize(QSize(16, 16));
    m_targetState->setFixedSize(20, 20);
    m_targetState->hide();
    m_pages->setCornerWidget(m_targetState, Qt::TopRightCorner);
    // Clicking the window would bring it to the front and so change the state: its tooltips show on
    // hover while another program is in front.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    connect(m_targetState, &QToolButton::clicked, this, [this] {
        QToolTip::showText(m_targetState->mapToGlobal(QPoint(0, m_targetState->height())), m_targetState->toolTip(),
                           m_targetState);
    });
    // Lay the page control out now, so pages built during start-up know their size.
    QResizeEvent layoutNow(m_pages->size(), QSize());
    QCoreApplication::sendEvent(m_pages, &layoutNow);

    // The hidden picture store.
    m_hiddenPictures = new QWidget(client);
    m_hiddenPictures->setObjectName(QStringLiteral("Panel1"));
    m_hiddenPictures->hide();
    for (int i = 0; i < 9; ++i) {
        auto* picture = new QLabel(m_hiddenPictures);
        picture->setObjectName(QStringLiteral("mimg%1").arg(i));
        picture->setPixmap(m_pictures.mimg(i));
    }
    auto* keybu = new QLabel(m_hiddenPictures);
    keybu->setObjectName(QStringLiteral("keybu"));
    keybu->setPixmap(m_pictures.keybu());

    m_tray = new QSystemTrayIcon(m_pictures.appIcon(), this);
    m_tray->setToolTip(QStringLiteral("Vornik"));
    connect(m_tray, &QSystemTrayIcon::activated, this, &TVornik::trayActivated);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TVornik::buildMenu() {
    QMenu* file = menuBar()->addMenu(QCoreApplication::translate("Vornik", "檔案"));
    file->setObjectName(QStringLiteral("FileMenu"));
    QAction* open = file->addAction(QCoreApplication::translate("Vornik", "讀取舊檔..."));
    open->setObjectName(QStringLiteral("OpenAction"));
    QAction* save = file->addAction(QCoreApplication::translate("Vornik", "另存新檔..."));
    save->setObjectName(QStringLiteral("SaveAction"));
    QAction* forGame = file->addAction(QCoreApplication::translate("Vornik", "設定此遊戲"));
    forGame->setObjectName(QStringLiteral("BindGameAction"));
    forGame->setToolTip(QCoreApplication::translate("Vornik", "目前的目標程式啟動或被選為目標時，自動載入這個設定檔"));
    QAction* windowsKeys = file->addAction(QCoreApplication::translate("Vornik", "Windows 按鍵設定…"));
    windowsKeys->setObjectName(QStringLiteral("WindowsKeysAction"));
    connect(windowsKeys, &QAction::triggered, this, &TVornik::editWindowsKeys);
    // The recent profiles go between the two separators, listed anew each time the menu opens.
    QAction* recentStart = file->addSeparator();
    QAction* recentEnd = file->addSeparator();
    connect(file, &QMenu::aboutToShow, this, [this, file, recentStart, recentEnd] {
        for (QAction* old : m_recentActions)
            file->removeAction(old);
        qDeleteAll(m_recentActions);
        m_recentActions.clear();
        const QStringList recent = m_keeper->recentProfiles();
        for (int i = 0; i < recent.size(); ++i) {
            auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(recent[i]).fileName()), file);
            action->setObjectName(QStringLiteral("RecentProfile%1").arg(i + 1));
            action->setToolTip(QDir::toNativeSeparators(recent[i]));
            const QString path = recent[i];
            connect(action, &QAction::triggered, this, [this, path] { m_keeper->openRecent(path); });
            file->insertAction(recentEnd, action);
            m_recentActions.push_back(action);
        }
        recentStart->setVisible(!recent.isEmpty());
    });
    // Both names in both languages: whoever cannot read one finds the other.
    QMenu* language = file->addMenu(QStringLiteral("語言 / Language"));
    language->setObjectName(QStringLiteral("LanguageMenu"));
    auto* languages = new QActionGroup(language);
    const QString current = rememberedLanguage(m_options.folders.settingsFile());
    for (const auto& [code, name] : {std::pair{"zh", "中文"}, std::pair{"en", "English"}}) {
        QAction* choice = language->addAction(QString::fromUtf8(name));
        choice->setObjectName(QStringLiteral("Language_%1").arg(QLatin1String(code)));
        choice->setCheckable(true);
        choice->setChecked(current == QLatin1String(code));
        languages->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, code] {
            rememberLanguage(m_options.folders.settingsFile(), QLatin1String(code));
            Modal::notice(this, QStringLiteral("下次啟動 Vornik 時生效。\nTakes effect when Vornik starts next."));
        });
    }
    // How keys are sent, where the backend has more than one way for the user to choose (the two
    // Windows ones follow the profile's Windows key settings instead).
    std::vector<std::string> ways;
    if (m_hooks.outputNames && m_hooks.chooseOutput) {
        for (const std::string& name : m_hooks.outputNames()) {
            if (name != kWindowsKeysOutput && name != kWindowsScanCodesOutput)
                ways.push_back(name);
        }
    }
    if (ways.size() > 1) {
        QMenu* output = file->addMenu(QCoreApplication::translate("Vornik", "送出按鍵的方式"));
        output->setObjectName(QStringLiteral("OutputMenu"));
        auto* group = new QActionGroup(output);
        for (const std::string& name : ways) {
            QAction* choice = output->addAction(QString::fromStdString(name));
            choice->setObjectName(QStringLiteral("Output_%1").arg(QString::fromStdString(name)));
            choice->setCheckable(true);
            group->addAction(choice);
            connect(choice, &QAction::triggered, this, [this, name] { chooseOutput(name); });
        }
        connect(output, &QMenu::aboutToShow, this, [this, output] {
            const std::string inUse = m_hooks.outputInUse ? m_hooks.outputInUse() : std::string();
            for (QAction* choice : output->actions())
                choice->setChecked(choice->text().toStdString() == inUse);
        });
    }
    file->addSeparator();
    QAction* hide = file->addAction(QCoreApplication::translate("Vornik", "&隱藏"));
    hide->setObjectName(QStringLiteral("HideAction"));
    file->addSeparator();
    QAction* quit = file->addAction(QCoreApplication::translate("Vornik", "&離開"));
    quit->setObjectName(QStringLiteral("QuitAction"));
    QMenu* about = menuBar()->addMenu(QCoreApplication::translate("Vornik", "關於"));
    about->setObjectName(QStringLiteral("AboutMenu"));
    QAction* copyright = about->addAction(QCoreApplication::translate("Vornik", "關於版權..."));
    copyright->setObjectName(QStringLiteral("AboutAction"));

    connect(open, &QAction::triggered, this, &TVornik::SpeedButton5Click);
    connect(save, &QAction::triggered, this, &TVornik::SpeedButton6Click);
    connect(forGame, &QAction::triggered, this, [this] {
        m_keeper->bindProgram(m_platform.windows.processExecutableName(m_config->targets.TargetProcessId));
    });
    connect(hide, &QAction::triggered, this, &TVornik::EnterBackgroundMode);
    connect(quit, &QAction::triggered, this, &TVornik::close);
    connect(copyright, &QAction::triggered, this, &TVornik::showAbout);
}

void TVornik::setDialogs(Tform2* about, TForm4* moveEditor, TForm5* recorder, TForm6* keyBinding,
                         TForm3* joystickBinding) {
    // The pages open the other dialogs; the window itself opens only the About box.
    m_about = about;
    m_keyboardPage->setDialog(keyBinding);
    m_movePage->setDialogs(moveEditor, recorder);
    m_joystickGrid.setDialog(joystickBinding);
}

void TVornik::addJoystickPage(int n, int index) {
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("JoystickSheet%1").arg(n));
    sheet->resize(m_keyboardPage->size());
    const QString name = QString::fromStdString(m_config->name(n));
    JoystickPage& page = joystickPage(n);
    BuildJoystickPage(page, sheet, m_config->caps(n), m_config->present(n), m_pictures);
    ShowJoystickName(page, sheet, name);
    if (page.StopCheckBox != nullptr)
        releaseKeysWhenTicked(page.StopCheckBox);
    if (page.PadSettingsButton != nullptr)
        connect(page.PadSettingsButton, &QToolButton::clicked, this, [this, n] { editPadSettings(n); });
    if (page.BindingGrid != nullptr) {
        page.BindingGrid->setTag(n);
        page.BindingGrid->setOnDrawCell([this](DrawGrid& grid, int col, int row, QPainter& p, const QRect& r) {
            m_joystickGrid.DCell(grid, col, row, p, r);
        });
        page.BindingGrid->setOnDblClick([this](DrawGrid& grid) { m_joystickGrid.DbC(grid); });
        page.BindingGrid->setOnCellText(
            [this](const DrawGrid& grid, int col, int row) { return m_joystickGrid.cellText(grid.tag(), col, row); });
    }
    // Built before it goes in: the controls of a page added to a shown window then show with it.
    m_pages->setTabToolTip(m_pages->insertTab(index, sheet, QCoreApplication::translate("Vornik", "搖桿 %1").arg(n)), name);
    m_joystickPageCount = n;
}

// The file dialogs are built on first use: each costs about a quarter of a second.
QFileDialog* TVornik::op1() {
    if (m_openDialog == nullptr) {
        m_openDialog = new QFileDialog(this);
        m_openDialog->setObjectName(QStringLiteral("op1"));
        m_openDialog->setAcceptMode(QFileDialog::AcceptOpen);
    }
    return m_openDialog;
}

QFileDialog* TVornik::sa1() {
    if (m_saveDialog == nullptr) {
        m_saveDialog = new QFileDialog(this);
        m_saveDialog->setObjectName(QStringLiteral("sa1"));
        m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    }
    return m_saveDialog;
}

void TVornik::SpeedButton5Click() {
    m_fileCommands->openProfile();
}

void TVornik::SpeedButton6Click() {
    m_fileCommands->saveProfileAs();
}

void TVornik::profileInUseChanged() {
    showTargetState(m_shownState);
}

void TVornik::tablesReplaced() {
    // Keys pressed for the old bindings would get no key-up from the new ones.
    releaseKeys();
    profileInUseChanged();
    applyWindowsKeys();
    FillKeyBindingList();
    RefreshMoveGrid();
    // A profile may keep bindings for a pad's missing right stick or triggers: rows for them.
    for (int n = 1; n <= m_joystickPageCount; ++n)
        SetupJoystickGrid(joystickPage(n).BindingGrid, m_config->caps(n), m_config->present(n),
                          &m_config->joystickBindings[n]);
}

void TVornik::FillKeyBindingList() {
    m_keyboardPage->FillKeyBindingList();
}

void TVornik::RefreshMoveGrid() {
    m_movePage->RefreshMoveGrid();
}

void TVornik::RefreshTargetWindows() {
    m_engine->targets().RefreshTargetWindows();
}

void TVornik::cb1Change(int index) {
    m_engine->targets().chooseTarget(index);
}

void TVornik::EnterBackgroundMode() {
    if (!m_options.trayAvailable()) {
        Modal::error(this, QCoreApplication::translate("Vornik", "這個桌面沒有通知區域（系統匣），無法背景執行：\n"
                                                                 "隱藏後將無法把程式叫回來。"));
        return;
    }
    m_tray->show();
    m_background = true;
    hide();
}

void TVornik::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    // Only a left (Trigger) or right (Context) button press restores.
    if (!m_background || (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::Context))
        return;
    // Hiding the icon deletes the widget that is still being handed this press (and, for the right
    // button, the context-menu event that follows it), so the restore waits for the event loop.
    QMetaObject::invokeMethod(this, &TVornik::leaveBackgroundMode, Qt::QueuedConnection);
}

void TVornik::leaveBackgroundMode() {
    if (!m_background)
        return;
    m_background = false;
    showNormal();
    raise();
    activateWindow();
    m_tray->hide();
}

void TVornik::showTargetState(const TargetState& state) {
    m_shownState = state;
    QString text = targetStateText(state, m_hooks.outputInUse ? m_hooks.outputInUse() : std::string());
    // Which profile the bindings come from.
    if (!text.isEmpty() && m_keeper) {
        const QString file = m_keeper->currentFile();
        text += QLatin1Char('\n') +
                (file.isEmpty() ? QCoreApplication::translate("Vornik", "設定檔：沒有（這些設定還沒存成檔案）")
                                : QCoreApplication::translate("Vornik", "設定檔：%1").arg(QFileInfo(file).fileName()));
    }
    m_targetState->setIcon(style()->standardIcon(targetStateIcon(state)));
    m_targetState->setToolTip(text);
    m_targetState->setAccessibleName(text);
    m_targetState->setVisible(!text.isEmpty());
    m_tray->setToolTip(text.isEmpty() ? QStringLiteral("Vornik") : QStringLiteral("Vornik\n") + text);
}

void TVornik::chooseOutput(const std::string& name) {
    releaseKeys(); // a key goes up through the output it went down through
    if (!m_hooks.chooseOutput || !m_hooks.chooseOutput(name))
        return;
    rememberOutput(m_options.folders.settingsFile(), QString::fromStdString(name));
    const std::string unavailable = m_platform.output.unavailableReason();
    if (!unavailable.empty())
        Modal::error(this, QCoreApplication::translate("Vornik", "無法送出按鍵：%1。").arg(QString::fromStdString(unavailable)));
    TimerEx1Timer(); // the sign, at once
}

void TVornik::TimerEx1Timer() {
    m_ticks->scheduler().timerFired();
}

void TVornik::setDialogMaker(std::function<void()> make) {
    m_dialogMaker = std::move(make);
    const auto needed = [this] {
        if (m_dialogMaker)
            std::exchange(m_dialogMaker, {})();
    };
    m_keyboardPage->setOnDialogNeeded(needed);
    m_movePage->setOnDialogNeeded(needed);
    m_joystickGrid.setOnDialogNeeded(needed);
}

void TVornik::showAbout() {
    if (m_about == nullptr && m_dialogMaker)
        std::exchange(m_dialogMaker, {})();
    if (m_about != nullptr)
        Modal::exec(*m_about);
}

void TVornik::releaseKeys() {
    m_engine->releaseHeldKeys();
}

void TVornik::releaseKeysWhenTicked(QCheckBox* stopBox) {
    // A ticked stop box stops its bindings, which would otherwise never release their keys.
    connect(stopBox, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            releaseKeys();
    });
}

void TVornik::bindingsEdited() {
    // The edited binding may hold a key that its new form would never release.
    releaseKeys();
    m_keeper->markChanged();
}

void TVornik::editPadSettings(int joystick) {
    if (m_padSettings == nullptr)
        m_padSettings = new PadSettingsDialog(this);
    m_padSettings->load(joystick, m_config->pad(joystick), m_config->caps(joystick));
    if (Modal::exec(*m_padSettings) != QDialog::Accepted)
        return;
    PadSettings edited = m_config->pad(joystick);
    m_padSettings->save(edited);
    if (edited == m_config->pad(joystick))
        return;
    m_config->pad(joystick) = edited;
    // A stick that stops pressing its direction keys must let go of them.
    bindingsEdited();
}

void TVornik::editWindowsKeys() {
    if (m_windowsKeys == nullptr)
        m_windowsKeys = new WindowsKeysDialog(this);
    m_windowsKeys->load(m_config->windowsKeys, m_windowsKeysInEffect);
    if (Modal::exec(*m_windowsKeys) != QDialog::Accepted)
        return;
    WindowsKeys edited = m_config->windowsKeys;
    m_windowsKeys->save(edited);
    if (edited == m_config->windowsKeys)
        return;
    m_config->windowsKeys = edited;
    bindingsEdited(); // lets go of every key before the output changes
    applyWindowsKeys();
}

void TVornik::applyWindowsKeys() {
    const WindowsKeys& keys = m_config->windowsKeys;
    m_windowsKeysInEffect =
        m_hooks.chooseOutput && m_hooks.chooseOutput(keys.scanCodesOnly ? kWindowsScanCodesOutput : kWindowsKeysOutput);
    m_engine->player().setMinimumPress(m_windowsKeysInEffect ? static_cast<uint32_t>(keys.minimumPressMs) : 0);
}

void TVornik::keepSetupNow() {
    // The keys first: a held chord would repeat into the window in front for as long as the disk takes.
    releaseKeys();
    m_keeper->writeRecoveryNow();
}

void TVornik::endProgram() {
    // No question can be asked on this way out: unsaved tables go to the recovery profile.
    m_ending = true;
    m_engine->requestStop();
    keepSetupNow();
    close();
    // Leaves every event loop, a modal dialog's included.
    m_options.quit();
}

void TVornik::closeEvent(QCloseEvent* event) {
    // Let go before asking: the question may stay up a while. A binding still held presses again
    // on the next tick when the close is cancelled.
    releaseKeys();
    if (!m_ending && !m_keeper->confirmClose()) {
        event->ignore();
        return;
    }
    m_ending = true;
    m_tickTimer->setEnabled(false);
    releaseKeys();
    m_keeper->writeRecoveryNow();
    m_tray->hide();
    m_pictures.freeButtonPictures();
    event->accept();
}

void TVornik::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_targetList != nullptr)
        m_targetList->setFixedWidth(m_toolBar->width() - m_targetList->x());
}

} // namespace vornik::ui
