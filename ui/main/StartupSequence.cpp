#include "StartupSequence.h"

#include "JoystickPages.h"
#include "KeyLabels.h"
#include "KeyboardPage.h"
#include "Modal.h"
#include "MovePage.h"
#include "PictureStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTabBar>

#include <stdexcept>

namespace vornik::ui {

StartupSequence::StartupSequence(const Parts& parts, const Platform& platform, const QString& exeDirectory,
                                 std::function<void(WindowHandle)> setApplicationWindow)
    : m_parts(parts), m_platform(platform), m_givenDirectory(exeDirectory),
      m_setApplicationWindow(std::move(setApplicationWindow)) {}

void StartupSequence::run() {
    try {
        steps();
    } catch (const std::exception& e) {
        // What was built so far stays; the window still opens.
        Modal::error(m_parts.window, QString::fromStdString(e.what()));
        if (!m_parts.window->isVisible())
            m_parts.window->show();
    }
}

void StartupSequence::steps() {
    Configuration& config = *m_parts.config;
    QMainWindow& window = *m_parts.window;
    QTabWidget* pages = m_parts.pages;

    // 1. The executable's directory becomes the current one.
    QString dir = m_givenDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : m_givenDirectory;
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
    if (m_setApplicationWindow)
        m_setApplicationWindow(static_cast<WindowHandle>(window.winId()));
    config.targets.OwnApplicationHandle = m_platform.windows.applicationHandle();
    config.targets.UntitledWindowCounter = 0;

    // 5., 6. Named keys, joysticks.
    buildNamedKeyList(config.namedKeys);
    m_parts.engine->detectJoysticks();

    // 7. Button pictures.
    m_parts.pictures->loadButtonPictures();

    // 8. One page per joystick with consecutive system ids from 0.
    for (int n = 1; n <= kMaxJoysticks && config.present(n); ++n)
        m_parts.joysticks->add(n, pages->count(), m_parts.keyboardPage->size());

    // 9., 10. Shown; its caption is the application's title (Modal gets it at construction).
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        window.adjustSize();
        window.move(screen->availableGeometry().center() - window.rect().center());
    }
    window.show();

    // 11. The two design-time pages go behind the joystick pages.
    for (int i = 0; i < 2; ++i)
        pages->tabBar()->moveTab(0, pages->count() - 1);
    pages->setCurrentIndex(0);

    // 12. to 15.
    m_parts.engine->targets().RefreshTargetWindows();
    m_parts.joysticks->layOutGrids();
    m_parts.keyboardPage->FillKeyBindingList();
    m_parts.movePage->RefreshMoveGrid();

    // Without a way to send key events the program can still show what the joysticks do.
    const std::string unavailable = m_platform.output.unavailableReason();
    if (!unavailable.empty())
        Modal::error(&window, QCoreApplication::translate("Vornik", "無法送出按鍵：%1。\n按鍵綁定不會有作用，搖桿的即時顯示仍可使用。")
                                    .arg(QString::fromStdString(unavailable)));
}

void StartupSequence::loadKeyMapFile() {
    QString path = m_exeDirectory + QStringLiteral("keymap");
    // An installed program keeps it in the data folder beside its bin folder.
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/vornik/keymap");
    if (!QFileInfo::exists(path) && m_givenDirectory.isEmpty() && QFileInfo::exists(installed))
        path = QDir::cleanPath(installed);
    const KeyMapLoad result = loadKeyMap(path.toStdString(), m_parts.config->keyMap);
    if (result.status == KeyMapLoad::Missing)
        Modal::notice(m_parts.window, QStringLiteral("miss file !"));
    else if (result.status == KeyMapLoad::Failed)
        // Start-up goes on with the records read before the fault (none for a short file): the rest
        // of the program does not depend on them.
        Modal::error(m_parts.window, QCoreApplication::translate("Vornik", "按鍵對照檔 \"%1\" 有誤：%2")
                                    .arg(QDir::toNativeSeparators(QString::fromStdString(result.file)),
                                         QString::fromStdString(result.detail)));
}

} // namespace vornik::ui
