#include "TVornik.h"

#include "DrawGrid.h"
#include "FixedItemHeight.h"
#include "Fonts.h"
#include "KeyLabels.h"
#include "KeyboardPage.h"
#include "Language.h"
#include "Modal.h"
#include "MovePage.h"
#include "ProfileKeeper.h"
#include "QtTimerHooks.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TForm5.h"
#include "TForm6.h"
#include "Tform2.h"

#include <QCoreApplication>
#include <QApplication>
#include <QCloseEvent>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>

#include <stdexcept>

namespace vornik::ui {

const QString TVornik::kCaption = QStringLiteral("Vornik   (熱鍵：CTRL+J)");

namespace {
constexpr int kClientWidth = 536;
constexpr int kClientHeight = 373;
constexpr int kToolBarHeight = 28;
constexpr int kTimerInterval = 30; // ms between the end of one tick and the next

QToolButton* speedButton(QWidget* parent, const char* name, const QString& hint, const QRect& geometry) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setGeometry(geometry);
    return b;
}
} // namespace

TVornik::TVornik(const Platform& platform, StartupOptions options, PlatformHooks hooks)
    : m_platform(platform), m_options(std::move(options)), m_hooks(std::move(hooks)),
      m_config(std::make_unique<Configuration>()),
      m_engine(std::make_unique<Engine>(*m_config, m_platform, *this, m_options.allProcesses)),
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
    // run one tick and waits for it, so ticks never overlap.
    m_timerEx1 = std::make_unique<TTimerEx>(qtTimerHooks([this](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            Modal::error(this, QString::fromStdString(e.what()));
        } catch (...) {
            Modal::error(this, QStringLiteral("unknown error in the engine tick"));
        }
    }));
    m_timerEx1->setEnabled(m_options.runTimer);
    m_timerEx1->setInterval(kTimerInterval);
    m_timerEx1->setThreadPriority(tpHighest);
    m_timerEx1->setThreadSafe(false);
    m_timerEx1->setOnTimer([this](TTimerEx&) { TimerEx1Timer(); });
    // A press goes out at once rather than at the next tick.
    m_inputWake = std::make_unique<QtInputWake>(
        m_platform.joysticks, [this] { return m_engine->joystickInputChanged(); },
        [this] {
            if (!m_tickWake || !m_tickWake->wake())
                m_engine->InputTick();
        });
    // While the engine is idle the ticks rest until an input changes.
    if (m_options.runTimer)
        m_tickWake = std::make_unique<TickWake>(*m_engine, m_platform, *m_timerEx1, kTimerInterval,
                                                m_options.restInterval, [this] { TimerEx1Timer(); });

    m_fileCommands = std::make_unique<FileCommands>(
        this, *m_config,
        FileCommands::Hooks{[this] { return op1(); }, [this] { return sa1(); }, [this] { tablesReplaced(); },
                            [this](const QString& path) { m_keeper->fileUsed(path); }});
    m_keeper = std::make_unique<ProfileKeeper>(this, *m_config, *m_fileCommands, [this] { tablesReplaced(); },
                                               m_options.folders);

    runStartup();
    // A refused profile is shown and the program goes on with empty tables.
    m_keeper->restoreAtStartup(m_options.profile);
}

TVornik::~TVornik() {
    // The worker and the input watch go first: no tick may reach a half-destroyed window.
    m_tickWake.reset();
    m_timerEx1.reset();
    m_inputWake.reset();
}

void TVornik::buildWindow() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    m_toolBar1 = new QWidget(client);
    m_toolBar1->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar1->setGeometry(0, 0, kClientWidth, kToolBarHeight);
    QStyle* style = this->style();
    m_speedButton5 = speedButton(m_toolBar1, "SpeedButton5", QCoreApplication::translate("Vornik", "讀取舊檔"), {2, 2, 24, 24});
    m_speedButton5->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    m_speedButton6 = speedButton(m_toolBar1, "SpeedButton6", QCoreApplication::translate("Vornik", "另存新檔"), {26, 2, 24, 24});
    m_speedButton6->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    m_speedButton1 = speedButton(m_toolBar1, "SpeedButton1", QCoreApplication::translate("Vornik", "背景執行"), {54, 2, 24, 24});
    m_speedButton1->setIcon(m_pictures.appIcon());
    m_speedButton8 = speedButton(m_toolBar1, "SpeedButton8", QString(), {82, 2, 65, 24});
    m_speedButton8->setText(QCoreApplication::translate("Vornik", "Refeash"));
    m_cb1 = new QComboBox(m_toolBar1);
    m_cb1->setObjectName(QStringLiteral("cb1"));
    m_cb1->setGeometry(150, 3, kClientWidth - 150, 22);
    setFixedItemHeight(m_cb1, 13);
    m_cb1->setMaxVisibleItems(24);
    connect(m_speedButton5, &QToolButton::clicked, this, &TVornik::SpeedButton5Click);
    connect(m_speedButton6, &QToolButton::clicked, this, &TVornik::SpeedButton6Click);
    connect(m_speedButton1, &QToolButton::clicked, this, &TVornik::EnterBackgroundMode);
    connect(m_speedButton8, &QToolButton::clicked, this, &TVornik::RefreshTargetWindows);
    connect(m_cb1, &QComboBox::activated, this, &TVornik::cb1Change);

    m_pageControl = new QTabWidget(client);
    m_pageControl->setObjectName(QStringLiteral("PageControl1"));
    m_pageControl->setFont(programFont(12));
    m_pageControl->setGeometry(0, kToolBarHeight, kClientWidth, kClientHeight - kToolBarHeight);
    m_keyboardPage = new KeyboardPage(*m_config, m_pictures);
    m_keyboardPage->setObjectName(QStringLiteral("TabSheet3"));
    m_pageControl->addTab(m_keyboardPage, QCoreApplication::translate("Vornik", "鍵盤"));
    m_movePage = new MovePage(*m_config, m_pictures);
    m_movePage->setObjectName(QStringLiteral("TabSheet4"));
    m_movePage->setOnMovesChanged([this] {
        FillKeyBindingList();
        bindingsEdited();
    });
    m_keyboardPage->setOnBindingEdited([this] { bindingsEdited(); });
    m_joystickGrid.setOnBindingEdited([this] { bindingsEdited(); });
    releaseKeysWhenTicked(m_keyboardPage->CheckBox5());
    m_pageControl->addTab(m_movePage, QCoreApplication::translate("Vornik", "招式記錄"));
    // Lay the page control out now, so pages built during start-up know their size.
    QResizeEvent layoutNow(m_pageControl->size(), QSize());
    QCoreApplication::sendEvent(m_pageControl, &layoutNow);

    // The hidden picture store.
    m_panel1 = new QWidget(client);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->hide();
    for (int i = 0; i < 9; ++i) {
        auto* picture = new QLabel(m_panel1);
        picture->setObjectName(QStringLiteral("mimg%1").arg(i));
        picture->setPixmap(m_pictures.mimg(i));
    }
    auto* keybu = new QLabel(m_panel1);
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
    m_about = about;
    m_form4 = moveEditor;
    m_form5 = recorder;
    m_form6 = keyBinding;
    m_form3 = joystickBinding;
    m_keyboardPage->setDialog(keyBinding);
    m_movePage->setDialogs(moveEditor, recorder);
    m_joystickGrid.setDialog(joystickBinding);
}

void TVornik::runStartup() {
    try {
        startupSteps();
    } catch (const std::exception& e) {
        // What was built so far stays; the window still opens.
        Modal::error(this, QString::fromStdString(e.what()));
        if (!isVisible())
            show();
    }
}

void TVornik::startupSteps() {
    // 1. The executable's directory becomes the current one.
    QString dir = m_options.exeDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : m_options.exeDirectory;
    dir = QDir::cleanPath(QDir(dir).absolutePath());
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    m_exeDirectory = dir;
    QDir::setCurrent(dir);

    // 2. Key-map file.
    loadKeyMapFile();

    // 3. Every binding zero.
    m_config->joystickBindings = JoystickBindingTable{};
    m_config->keyBindings = KeyBindingTable{};

    // 4. The program's own window, for naming untitled windows.
    if (m_hooks.setApplicationWindow)
        m_hooks.setApplicationWindow(static_cast<WindowHandle>(winId()));
    m_config->targets.OwnApplicationHandle = m_platform.windows.applicationHandle();
    m_config->targets.UntitledWindowCounter = 0;

    // 5., 6. Named keys, joysticks.
    buildNamedKeyList(m_config->namedKeys);
    m_engine->detectJoysticks();

    // 7. Button pictures.
    m_pictures.loadButtonPictures();

    // 8. One page per joystick with consecutive system ids from 0.
    for (int n = 1; n <= kMaxJoysticks && m_config->present(n); ++n)
        addJoystickPage(n, m_pageControl->count());

    // 9., 10. Shown; its caption is the application's title (Modal gets it at construction).
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
    show();

    // 11. The two design-time pages go behind the joystick pages.
    for (int i = 0; i < 2; ++i)
        m_pageControl->tabBar()->moveTab(0, m_pageControl->count() - 1);
    m_pageControl->setCurrentIndex(0);

    // 12. to 15.
    RefreshTargetWindows();
    for (int n = 1; n <= kMaxJoysticks && m_config->present(n); ++n)
        SetupJoystickGrid(joystickPage(n).BindingGrid, m_config->caps(n), m_config->present(n));
    FillKeyBindingList();
    RefreshMoveGrid();

    // Without a way to send key events the program can still show what the joysticks do.
    const std::string unavailable = m_platform.keyboard.unavailableReason();
    if (!unavailable.empty())
        Modal::error(this, QCoreApplication::translate("Vornik", "無法送出按鍵：%1。\n按鍵綁定不會有作用，搖桿的即時顯示仍可使用。")
                               .arg(QString::fromStdString(unavailable)));
}

// Page "搖桿 n" for joystick n at tab position `index`, its controls built and its grid's handlers set.
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
    if (page.BindingGrid != nullptr) {
        page.BindingGrid->setTag(n);
        page.BindingGrid->setOnDrawCell([this](DrawGrid& grid, int col, int row, QPainter& p, const QRect& r) {
            m_joystickGrid.DCell(grid, col, row, p, r);
        });
        page.BindingGrid->setOnDblClick([this](DrawGrid& grid) { m_joystickGrid.DbC(grid); });
    }
    // Built before it goes in: the controls of a page added to a shown window then show with it.
    m_pageControl->setTabToolTip(m_pageControl->insertTab(index, sheet, QCoreApplication::translate("Vornik", "搖桿 %1").arg(n)), name);
    m_joystickPageCount = n;
}

void TVornik::loadKeyMapFile() {
    QString path = m_exeDirectory + QStringLiteral("keymap");
    // An installed program keeps it in the data folder beside its bin folder.
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/vornik/keymap");
    if (!QFileInfo::exists(path) && m_options.exeDirectory.isEmpty() && QFileInfo::exists(installed))
        path = QDir::cleanPath(installed);
    const KeyMapLoad result = loadKeyMap(path.toStdString(), m_config->keyMap);
    if (result.status == KeyMapLoad::Missing)
        Modal::notice(this, QStringLiteral("miss file !"));
    else if (result.status == KeyMapLoad::Failed)
        // Start-up goes on with the records read before the fault (none for a short file): the rest
        // of the program does not depend on them.
        Modal::error(this, QString::fromStdString(result.error));
}

// The file dialogs are built on first use: each costs about a quarter of a second.
QFileDialog* TVornik::op1() {
    if (m_op1 == nullptr) {
        m_op1 = new QFileDialog(this);
        m_op1->setObjectName(QStringLiteral("op1"));
        m_op1->setAcceptMode(QFileDialog::AcceptOpen);
    }
    return m_op1;
}

QFileDialog* TVornik::sa1() {
    if (m_sa1 == nullptr) {
        m_sa1 = new QFileDialog(this);
        m_sa1->setObjectName(QStringLiteral("sa1"));
        m_sa1->setAcceptMode(QFileDialog::AcceptSave);
    }
    return m_sa1;
}

void TVornik::SpeedButton5Click() {
    m_fileCommands->openProfile();
}

void TVornik::SpeedButton6Click() {
    m_fileCommands->saveProfileAs();
}

void TVornik::tablesReplaced() {
    // Keys pressed for the old bindings would get no key-up from the new ones.
    releaseKeys();
    FillKeyBindingList();
    RefreshMoveGrid();
    for (int n = 1; n <= m_joystickPageCount; ++n) {
        if (DrawGrid* grid = joystickPage(n).BindingGrid)
            grid->repaintGrid();
    }
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

void TVornik::TimerEx1Timer() {
    m_engine->EngineTick();
    m_inputWake->tickEnded();
    if (m_tickWake)
        m_tickWake->tickEnded();
}

void TVornik::showAbout() {
    if (m_about != nullptr)
        Modal::exec(*m_about);
}

bool TVornik::mainWindowVisible() {
    return isVisible() || m_background;
}

bool TVornik::testBoxTicked(int joystick) {
    const JoystickPage& page = joystickPage(joystick);
    return page.TestCheckBox != nullptr && page.TestCheckBox->isChecked();
}

bool TVornik::stopBoxTicked(int joystick) {
    const JoystickPage& page = joystickPage(joystick);
    return page.StopCheckBox != nullptr && page.StopCheckBox->isChecked();
}

bool TVornik::keyboardStopBoxTicked() {
    return m_keyboardPage->CheckBox5()->isChecked();
}

void TVornik::showDirectionPicture(int joystick, int picture) {
    ui::showDirectionPicture(joystickPage(joystick), m_pictures, picture);
}

void TVornik::showButtonPicture(int joystick, int button, bool pressed) {
    ui::showButtonPicture(joystickPage(joystick), m_pictures, button, pressed);
}

void TVornik::joystickAttached(int joystick) {
    // Before "鍵盤"; inserting a page leaves the current page current.
    addJoystickPage(joystick, m_pageControl->indexOf(m_keyboardPage));
    SetupJoystickGrid(joystickPage(joystick).BindingGrid, m_config->caps(joystick), m_config->present(joystick));
}

void TVornik::clearTargetItems() {
    m_cb1->clear();
}

void TVornik::addTargetItem(const std::string& title) {
    // Adding to an empty list would select the first item; a refreshed list shows no selection.
    const QSignalBlocker quiet(m_cb1);
    const int selected = m_cb1->currentIndex();
    m_cb1->addItem(QString::fromStdString(title));
    m_cb1->setCurrentIndex(selected);
}

void TVornik::selectTargetItem(int index) {
    const QSignalBlocker quiet(m_cb1);
    m_cb1->setCurrentIndex(index);
}

EngineHost::Answer TVornik::askConnectionError(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Modal::ask(this, shown, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok ? Answer::Ok
                                                                                             : Answer::Cancel;
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

void TVornik::targetChosen(uint32_t processId) {
    // CTRL+J held down chooses the same target on every tick: only a change counts.
    if (processId == m_lastTarget)
        return;
    m_lastTarget = processId;
    // After the tick or the combo's handler has returned: a load may ask about unsaved changes.
    QTimer::singleShot(0, this, [this, processId] {
        if (!m_ending)
            m_keeper->targetProgramChanged(m_platform.windows.processExecutableName(processId));
    });
}

void TVornik::endProgram() {
    // No question can be asked on this way out: unsaved tables go to the recovery profile.
    m_ending = true;
    m_keeper->writeRecovery();
    m_engine->requestStop();
    releaseKeys();
    close();
    // Leaves every event loop, a modal dialog's included.
    m_options.quit();
}

void TVornik::closeEvent(QCloseEvent* event) {
    if (!m_ending && !m_keeper->confirmClose()) {
        event->ignore();
        return;
    }
    m_ending = true;
    m_timerEx1->setEnabled(false);
    releaseKeys();
    m_tray->hide();
    m_pictures.freeButtonPictures();
    event->accept();
}

void TVornik::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_cb1 != nullptr)
        m_cb1->setFixedWidth(m_toolBar1->width() - m_cb1->x());
}

} // namespace vornik::ui
