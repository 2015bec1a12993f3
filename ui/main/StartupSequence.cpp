#include "StartupSequence.h"

#include "JoystickPage.h"
#include "KeyLabels.h"
#include "MainWindow.h"
#include "Modal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTabBar>

#include <stdexcept>

namespace vornik::ui {

StartupSequence::StartupSequence(TVornik& window, const Platform& platform, const StartupOptions& options,
                                 const PlatformHooks& hooks)
    : m_window(window), m_platform(platform), m_options(options), m_hooks(hooks) {}

void StartupSequence::run() {
    try {
        steps();
    } catch (const std::exception& e) {
        // What was built so far stays; the window still opens.
        Modal::error(&m_window, QString::fromStdString(e.what()));
        if (!m_window.isVisible())
            m_window.show();
    }
}

void StartupSequence::steps() {
    Configuration& config = m_window.config();
    QTabWidget* pages = m_window.PageControl1();

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
    config.joystickBindings = JoystickBindingTable{};
    config.keyBindings = KeyBindingTable{};

    // 4. The program's own window, for naming untitled windows.
    if (m_hooks.setApplicationWindow)
        m_hooks.setApplicationWindow(static_cast<WindowHandle>(m_window.winId()));
    config.targets.OwnApplicationHandle = m_platform.windows.applicationHandle();
    config.targets.UntitledWindowCounter = 0;

    // 5., 6. Named keys, joysticks.
    buildNamedKeyList(config.namedKeys);
    m_window.engine().detectJoysticks();

    // 7. Button pictures.
    m_window.pictures().loadButtonPictures();

    // 8. One page per joystick with consecutive system ids from 0.
    for (int n = 1; n <= kMaxJoysticks && config.present(n); ++n)
        m_window.addJoystickPage(n, pages->count());

    // 9., 10. Shown; its caption is the application's title (Modal gets it at construction).
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        m_window.adjustSize();
        m_window.move(screen->availableGeometry().center() - m_window.rect().center());
    }
    m_window.show();

    // 11. The two design-time pages go behind the joystick pages.
    for (int i = 0; i < 2; ++i)
        pages->tabBar()->moveTab(0, pages->count() - 1);
    pages->setCurrentIndex(0);

    // 12. to 15.
    m_window.RefreshTargetWindows();
    for (int n = 1; n <= kMaxJoysticks && config.present(n); ++n)
        SetupJoystickGrid(m_window.joystickPage(n).BindingGrid, config.caps(n), config.present(n),
                          &config.joystickBindings[n]);
    m_window.FillKeyBindingList();
    m_window.RefreshMoveGrid();

    // Without a way to send key events the program can still show what the joysticks do.
    const std::string unavailable = m_platform.output.unavailableReason();
    if (!unavailable.empty())
        Modal::error(&m_window, QCoreApplication::translate("Vornik", "無法送出按鍵：%1。\n按鍵綁定不會有作用，搖桿的即時顯示仍可使用。")
                                    .arg(QString::fromStdString(unavailable)));
}

void StartupSequence::loadKeyMapFile() {
    QString path = m_exeDirectory + QStringLiteral("keymap");
    // An installed program keeps it in the data folder beside its bin folder.
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/vornik/keymap");
    if (!QFileInfo::exists(path) && m_options.exeDirectory.isEmpty() && QFileInfo::exists(installed))
        path = QDir::cleanPath(installed);
    const KeyMapLoad result = loadKeyMap(path.toStdString(), m_window.config().keyMap);
    if (result.status == KeyMapLoad::Missing)
        Modal::notice(&m_window, QStringLiteral("miss file !"));
    else if (result.status == KeyMapLoad::Failed)
        // Start-up goes on with the records read before the fault (none for a short file): the rest
        // of the program does not depend on them.
        Modal::error(&m_window, QCoreApplication::translate("Vornik", "按鍵對照檔 \"%1\" 有誤：%2")
                                    .arg(QDir::toNativeSeparators(QString::fromStdString(result.file)),
                                         QString::fromStdString(result.detail)));
}

} // namespace vornik::ui
