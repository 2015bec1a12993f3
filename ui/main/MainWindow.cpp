#include "MainWindow.h"

#include "AboutBox.h"
#include "FixedItemHeight.h"
#include "Fonts.h"
#include "KeyboardPage.h"
#include "Modal.h"
#include "MovePage.h"
#include "Named.h"
#include "SettingsDialogs.h"
#include "StartupSequence.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QStyle>
#include <QToolButton>

#include <stdexcept>
#include <utility>

namespace vornik::ui {

namespace {
constexpr int kClientWidth = 536;
constexpr int kClientHeight = 373;
constexpr int kToolBarHeight = 28;
} // namespace

TVornik::TVornik(const Platform& platform, StartupOptions options, PlatformHooks hooks)
    : m_platform(platform), m_options(std::move(options)), m_hooks(std::move(hooks)), m_bridge(m_platform.windows),
      m_config(std::make_unique<Configuration>()),
      m_engine(std::make_unique<Engine>(*m_config, m_platform, m_bridge, m_options.allProcesses)),
      m_joysticks(*m_config, m_pictures), m_output(m_hooks.chooseOutput, m_engine->player()) {
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

    m_files = std::make_unique<ProfileFiles>(
        this, *m_config, m_options.folders, [this] { tablesReplaced(); }, [this] { m_sign->profileChanged(); });
    m_exit = std::make_unique<ProgramExit>(*this, *m_engine, m_files->keeper(), m_options.quit);
    m_settings = std::make_unique<SettingsDialogs>(this, *m_config, m_output, [this] { bindingsEdited(); });
    m_joysticks.setPageControl(
        m_pages, {[this] { releaseKeys(); }, [this](int joystick) { return m_settings->editPadSettings(joystick); }});
    m_bridge.attach({this, m_background, &m_joysticks, m_keyboardPage, m_keyboardPage->CheckBox5(), m_targetList,
                     m_sign.get(), &m_files->keeper(), m_exit.get()});
    buildMenu();

    m_clock = std::make_unique<TickClock>(*m_engine, m_platform, this, m_options.runTimer, m_options.restInterval);
    m_clock->timer().setOnTimer([this](TTimerEx&) { TimerEx1Timer(); });

    // Start-up, once the window, the engine and the file commands exist.
    StartupSequence startup(
        {this, m_config.get(), m_engine.get(), &m_pictures, m_pages, &m_joysticks, m_keyboardPage, m_movePage},
        m_platform, m_options.exeDirectory, m_hooks.setApplicationWindow);
    startup.run();
    m_exeDirectory = startup.exeDirectory();
    m_output.apply(m_config->windowsKeys);
}

TVornik::~TVornik() {
    // The clock goes first: no tick may reach a half-destroyed window.
    m_clock.reset();
}

void TVornik::restoreSetup() {
    // A refused profile is shown and the program goes on with empty tables.
    m_files->keeper().restoreAtStartup(m_options.profile, [this] { return ending(); });
}

void TVornik::openRequested(const QString& profile) {
    if (ending())
        return;
    bringToFront();
    // A request that comes while a dialog is open (its event loop runs the timers) waits for it.
    Modal::whenNoDialog(this, [this, profile] {
        if (!ending())
            m_files->keeper().openRequested(profile);
    });
}

void TVornik::buildWindow() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    buildToolBar(client);

    m_pages = named(new QTabWidget(client), "PageControl1",
                    {0, kToolBarHeight, kClientWidth, kClientHeight - kToolBarHeight});
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
    m_joysticks.grid().setOnBindingEdited([this] { bindingsEdited(); });
    // A ticked stop box stops its bindings, which would otherwise never release their keys.
    connect(m_keyboardPage->CheckBox5(), &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            releaseKeys();
    });
    m_pages->addTab(m_movePage, QCoreApplication::translate("Vornik", "招式記錄"));
    // Lay the page control out now, so pages built during start-up know their size.
    QResizeEvent layoutNow(m_pages->size(), QSize());
    QCoreApplication::sendEvent(m_pages, &layoutNow);

    // The hidden picture store.
    auto* hiddenPictures = named(new QWidget(client), "Panel1", {});
    hiddenPictures->hide();
    for (int i = 0; i < 9; ++i)
        named(new QLabel(hiddenPictures), QStringLiteral("mimg%1").arg(i), {})->setPixmap(m_pictures.mimg(i));
    named(new QLabel(hiddenPictures), "keybu", {})->setPixmap(m_pictures.keybu());

    m_background = new BackgroundMode(*this, m_pictures.appIcon(), m_options.trayAvailable);
    m_sign = std::make_unique<TargetStateSign>(m_pages, m_background->tray(), m_hooks.outputInUse, [this] {
        return m_files ? m_files->keeper().currentFile() : QString();
    });
    // Clicking the window would bring it to the front and so change the state: the sign's tooltip
    // shows on hover while another program is in front.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TVornik::buildToolBar(QWidget* client) {
    m_toolBar = named(new QWidget(client), "ToolBar1", {0, 0, kClientWidth, kToolBarHeight});
    const auto button = [this](const char* name, int x, int width, const QString& hint) {
        auto* made = named(new QToolButton(m_toolBar), name, {x, 2, width, 24});
        made->setToolTip(hint);
        made->setAutoRaise(true);
        return made;
    };
    QToolButton* open = button("SpeedButton5", 2, 24, QCoreApplication::translate("Vornik", "讀取舊檔"));
    open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    QToolButton* save = button("SpeedButton6", 26, 24, QCoreApplication::translate("Vornik", "另存新檔"));
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    QToolButton* hide = button("SpeedButton1", 54, 24, QCoreApplication::translate("Vornik", "背景執行"));
    hide->setIcon(m_pictures.appIcon());
    QToolButton* refresh = button("SpeedButton8", 82, 65, QString());
    refresh->setText(QCoreApplication::translate("Vornik", "Refeash"));
    m_targetList = named(new QComboBox(m_toolBar), "cb1", {150, 3, kClientWidth - 150, 22});
    setFixedItemHeight(m_targetList, 13);
    m_targetList->setMaxVisibleItems(24);
    connect(open, &QToolButton::clicked, this, &TVornik::SpeedButton5Click);
    connect(save, &QToolButton::clicked, this, &TVornik::SpeedButton6Click);
    connect(hide, &QToolButton::clicked, this, &TVornik::EnterBackgroundMode);
    connect(refresh, &QToolButton::clicked, this, &TVornik::RefreshTargetWindows);
    connect(m_targetList, &QComboBox::activated, this, &TVornik::cb1Change);
}

void TVornik::setDialogs(Tform2* about, TForm4* moveEditor, TForm5* recorder, TForm6* keyBinding,
                         TForm3* joystickBinding) {
    // The pages open the other dialogs; the window itself opens only the About box.
    m_about = about;
    m_keyboardPage->setDialog(keyBinding);
    m_movePage->setDialogs(moveEditor, recorder);
    m_joysticks.grid().setDialog(joystickBinding);
}

void TVornik::setDialogMaker(std::function<void()> make) {
    m_dialogMaker = std::move(make);
    const auto needed = [this] {
        if (m_dialogMaker)
            std::exchange(m_dialogMaker, {})();
    };
    m_keyboardPage->setOnDialogNeeded(needed);
    m_movePage->setOnDialogNeeded(needed);
    m_joysticks.grid().setOnDialogNeeded(needed);
}

void TVornik::showAbout() {
    if (m_about == nullptr && m_dialogMaker)
        std::exchange(m_dialogMaker, {})();
    if (m_about != nullptr)
        Modal::exec(*m_about);
}

void TVornik::FillKeyBindingList() {
    m_keyboardPage->FillKeyBindingList();
}

void TVornik::RefreshMoveGrid() {
    m_movePage->RefreshMoveGrid();
}

void TVornik::tablesReplaced() {
    // Keys pressed for the old bindings would get no key-up from the new ones; a layer switched to
    // under the old ones means nothing under the new.
    releaseKeys();
    m_engine->resetLayers();
    m_sign->profileChanged();
    m_output.apply(m_config->windowsKeys);
    FillKeyBindingList();
    RefreshMoveGrid();
    m_joysticks.layOutGrids();
}

void TVornik::bindingsEdited() {
    releaseKeys();
    m_files->keeper().markChanged();
}

void TVornik::closeEvent(QCloseEvent* event) {
    if (!m_exit->mayClose()) {
        event->ignore();
        return;
    }
    m_clock->stop();
    m_exit->keepSetupNow();
    m_background->tray()->hide();
    m_pictures.freeButtonPictures();
    event->accept();
}

void TVornik::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_targetList != nullptr)
        m_targetList->setFixedWidth(m_toolBar->width() - m_targetList->x());
}

} // namespace vornik::ui
