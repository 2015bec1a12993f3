#pragma once

// A main window on the fake platform, started from a directory of the test's own, with every
// message box and dialog answered by the test.

#include "AboutBox.h"
#include "FakePlatform.h"
#include "JoystickBindingDialog.h"
#include "KeyboardBindingDialog.h"
#include "KeyboardPage.h"
#include "MainWindow.h"
#include "Modal.h"
#include "MoveEditor.h"
#include "MovePage.h"
#include "MoveRecorder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace vornik::ui::test {

class UiFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Modal::setTestMode(true);
        Modal::reset();
        ASSERT_TRUE(m_dir.isValid());
        m_savedCurrent = QDir::currentPath();
    }

    void TearDown() override {
        m_dialogs = {};
        m_main.reset();
        Modal::reset();
        QDir::setCurrent(m_savedCurrent);
    }

    // The key-map file the build ships, beside the test executable.
    static QString shippedKeyMap() { return QCoreApplication::applicationDirPath() + QStringLiteral("/keymap"); }
    QString exeDir() const { return m_dir.path(); }
    // The user's folders, fresh for every test.
    UserFolders folders() const {
        return {m_dir.filePath(QStringLiteral("config")), m_dir.filePath(QStringLiteral("state")),
                m_dir.filePath(QStringLiteral("profiles")), m_session};
    }
    QString m_session; // the desktop session the next start runs in; empty: none
    void installKeyMap() { ASSERT_TRUE(QFile::copy(shippedKeyMap(), m_dir.filePath(QStringLiteral("keymap")))); }
    void writeKeyMap(const QByteArray& bytes) {
        QFile file(m_dir.filePath(QStringLiteral("keymap")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Starts the program: the main window, then the dialogs in their order, then the start-up questions.
    TVornik& start(StartupOptions options = {}, PlatformHooks hooks = {}) {
        if (options.exeDirectory.isEmpty())
            options.exeDirectory = exeDir();
        options.folders = folders();
        options.runTimer = false;
        options.trayAvailable = [this] { return m_trayAvailable; };
        options.quit = [this] { ++m_quits; };
        m_main = std::make_unique<TVornik>(m_fake.platform, options, std::move(hooks));
        m_dialogs.about = new Tform2(m_main.get());
        m_dialogs.moveEditor = new TForm4(m_main.get());
        m_dialogs.recorder = new TForm5(m_main.get());
        m_dialogs.keyBinding = new TForm6(m_main.get());
        m_dialogs.joystickBinding = new TForm3(m_main.get());
        m_main->setDialogs(m_dialogs.about, m_dialogs.moveEditor, m_dialogs.recorder, m_dialogs.keyBinding, m_dialogs.joystickBinding);
        m_main->restoreSetup();
        return *m_main;
    }

    // Start-up with the shipped key-map file.
    TVornik& startWithKeyMap() {
        installKeyMap();
        return start();
    }

    QStringList tabCaptions() const {
        QStringList captions;
        for (int i = 0; i < m_main->PageControl1()->count(); ++i)
            captions << m_main->PageControl1()->tabText(i);
        return captions;
    }

    QStringList messages() const {
        QStringList texts;
        for (const Modal::Shown& shown : Modal::shown())
            texts << shown.text;
        return texts;
    }

    struct Dialogs {
        Tform2* about = nullptr;
        TForm4* moveEditor = nullptr;
        TForm5* recorder = nullptr;
        TForm6* keyBinding = nullptr;
        TForm3* joystickBinding = nullptr;
    };

    FakePlatform m_fake;
    std::unique_ptr<TVornik> m_main;
    Dialogs m_dialogs;
    bool m_trayAvailable = true;
    int m_quits = 0;

private:
    QTemporaryDir m_dir;
    QString m_savedCurrent;
};

} // namespace vornik::ui::test
