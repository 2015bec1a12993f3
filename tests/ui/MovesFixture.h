#pragma once

// The move page, the editor and the recorder inside a started main window with the shipped key map.
// Recordings are made by pressing real key events on the shown recorder.

#include "UiFixture.h"

#include "Big5.h"
#include "DrawGrid.h"
#include "KeyPicture.h"
#include "Texts.h"

#include <QSignalSpy>
#include <QTest>

namespace vornik::ui::test {

class MovesFixture : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        installKeyMap();
        start();
        page = m_main->movePage();
        editor = m_dialogs.moveEditor;
        recorder = m_dialogs.recorder;
    }
    void TearDown() override {
        if (recorder)
            recorder->hide();
        UiFixture::TearDown();
    }

    Configuration& config() { return m_main->config(); }
    const KeyMapRecord& keyRecord(int code) {
        const int r = FindKeyMapRecord(config().keyMap, code);
        EXPECT_GE(r, 1) << "no key-map record for " << code;
        return config().keyMap.Records[std::max(r, 1)];
    }

    static std::string big5(const char* utf8) { return *utf8ToBig5(utf8); }
    void nameMove(Move& move, const char* utf8) { setMoveName(move, big5(utf8)); }

    // Opens the recorder from the editor's record button; `keys` presses keys on it while it is shown.
    // Returns whether the recorder closed itself.
    bool record(const std::function<void(TForm5&)>& keys) {
        bool closedItself = false;
        Modal::queueDialog([&](QDialog& dialog) {
            auto& form = static_cast<TForm5&>(dialog);
            QSignalSpy finished(&form, &QDialog::finished);
            form.show();
            QApplication::setActiveWindow(&form);
            keys(form);
            closedItself = !finished.isEmpty();
            form.hide();
            return QDialog::Rejected;
        });
        editor->SpeedButton1Click();
        return closedItself;
    }
    // A key as the window system delivers it: to the focus widget of the active window.
    static void press(TForm5& form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && (focus == &form || form.isAncestorOf(focus)) ? focus : &form, key, modifiers);
    }

    static std::vector<MoveStep> steps(const Move& move) {
        std::vector<MoveStep> list;
        for (int s = 1; s <= move.StepCount; ++s)
            list.push_back(move.Steps[s]);
        return list;
    }

    static std::vector<QString> texts(const DrawOps& ops) {
        std::vector<QString> list;
        for (const DrawOp& op : ops) {
            if (op.kind == DrawOp::Kind::Text)
                list.push_back(op.text);
        }
        return list;
    }

    MovePage* page = nullptr;
    TForm4* editor = nullptr;
    TForm5* recorder = nullptr;
};

} // namespace vornik::ui::test

namespace vornik {
inline void PrintTo(const MoveStep& s, std::ostream* os) {
    *os << "{" << s.Key << ", " << s.ChordKey << "}";
}
} // namespace vornik
