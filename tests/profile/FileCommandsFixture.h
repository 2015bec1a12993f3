#pragma once

// The program's window with its file commands answered by the test, and the shared rich tables.

#include "ProfileTestSupport.h"
#include "UiFixture.h"

#include "Big5.h"
#include "DrawGrid.h"
#include "FileCommands.h"
#include "Profile.h"

#include <QAction>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

namespace vornik::ui::test {

inline const QRect kCell(56, 33, 150, 32);

class FileCommandsFixture : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        ASSERT_TRUE(m_files.isValid());
        installKeyMap();
        m_fake.joysticks.plug(0);
    }

    QString file(const QString& name) const { return m_files.filePath(name); }

    // The dialogs the commands ran, and what the next one answers (empty: Cancel).
    void answerWith(const QString& path) {
        m_main->fileCommands().setChooser([this, path](QFileDialog& dialog) {
            m_asked.push_back(&dialog);
            return path;
        });
    }
    void clickButton(const char* name) { m_main->findChild<QToolButton*>(QLatin1String(name))->click(); }
    void triggerMenu(const char* name) { m_main->findChild<QAction*>(QLatin1String(name))->trigger(); }

    // The tables of the shared rich set, with a keyboard entry that plays the named move 2.
    static Configuration tables() {
        Configuration c = vornik::test::richConfiguration();
        c.keyBindings[1] = {2, AutoFireNone, 0}; // TAB
        return c;
    }
    void setTables(const Configuration& c) {
        Configuration& mine = m_main->config();
        mine.keyBindings = c.keyBindings;
        mine.joystickBindings = c.joystickBindings;
        mine.moves = c.moves;
    }

    QStringList listTexts() const {
        QStringList texts;
        const QTreeWidget* l3 = m_main->keyboardPage()->l3();
        for (int r = 0; r < l3->topLevelItemCount(); ++r) {
            for (int c = 0; c < 4; ++c)
                texts << l3->topLevelItem(r)->text(c);
        }
        return texts;
    }
    QString listRow(const char* label) const {
        const QTreeWidget* l3 = m_main->keyboardPage()->l3();
        for (int r = 0; r < l3->topLevelItemCount(); ++r) {
            if (l3->topLevelItem(r)->text(0) == QLatin1String(label))
                return l3->topLevelItem(r)->text(1);
        }
        return {};
    }
    QStringList moveGridTexts(int slot) const {
        QStringList texts;
        for (const DrawOp& op : m_main->movePage()->cellOps(1, slot, kCell))
            texts << op.text;
        return texts;
    }
    static QByteArray readAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeAll(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A valid profile text with one change that the loader must refuse.
    static QByteArray refusedProfile() {
        std::string text;
        EXPECT_TRUE(profileText(tables(), text));
        const std::size_t at = text.find("\"number\": 2");
        EXPECT_NE(at, std::string::npos);
        text.replace(at, 11, "\"number\": 101");
        return QByteArray::fromStdString(text);
    }

    QTemporaryDir m_files;
    std::vector<QFileDialog*> m_asked;
};

} // namespace vornik::ui::test
