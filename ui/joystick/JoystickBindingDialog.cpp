#include "JoystickBindingDialog.h"

#include "DrawGrid.h"
#include "FixedItemHeight.h"
#include "Fonts.h"
#include "JoystickGrid.h"
#include "JoystickPage.h"
#include "Language.h"
#include "Modal.h"
#include "Named.h"
#include "PictureStore.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace vornik::ui {

namespace {
QFrame* frame(QWidget* parent, const char* name, const QRect& geometry) {
    auto* f = named(new QFrame(parent), name, geometry);
    f->setFrameShape(QFrame::Box);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

constexpr QSize kKeyboardSize(427, 119);
} // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QCoreApplication::translate("Vornik", "設定"));
    setFont(programFont(12));
    setFixedSize(486, 460);

    // The frames first, so that they lie beneath the controls they group.
    frame(this, "Bevel1", {8, 16, 473, 377});
    frame(this, "Bevel2", {16, 40, 457, 145});
    frame(this, "Bevel3", {16, 200, 457, 49});
    frame(this, "Bevel4", {16, 264, 457, 65});
    frame(this, "Bevel5", {16, 344, 457, 41});

    m_useBinding = named(new QCheckBox(QCoreApplication::translate("Vornik", "使用對應鍵"), this), "CheckBox1", {24, 8, 89, 17});
    QFont bold = font();
    bold.setBold(true);
    m_useBinding->setFont(bold);
    // The check box stands on the outer frame's top edge, which it hides.
    m_useBinding->setAutoFillBackground(true);

    m_bindKeys = named(new QRadioButton(QCoreApplication::translate("Vornik", "鍵盤"), this), "RadioButton1", {32, 32, 57, 17});
    m_bindKeys->setAutoFillBackground(true);
    m_bindKeys->setChecked(true);
    m_keyboardView = named(new QLabel(this), "kbimg", QRect(QPoint(32, 56), kKeyboardSize));
    m_keyboardView->setCursor(Qt::PointingHandCursor);
    m_keyboardView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_keyboardView->installEventFilter(this);
    m_bindMove = named(new QRadioButton(QCoreApplication::translate("Vornik", "招式記錄"), this), "RadioButton2", {32, 192, 73, 17});
    m_bindMove->setAutoFillBackground(true);

    const QFont labelFont = programFont(16);
    m_moveLabel = named(new QLabel(QCoreApplication::translate("Vornik", "對應的招式記錄："), this), "Label1", {48, 226, 128, 16});
    m_moveLabel->setFont(labelFont);
    m_moveLabel->adjustSize();
    m_moveList = named(new QComboBox(this), "cb1", {176, 224, 145, 21});
    m_moveList->setEditable(false);
    setFixedItemHeight(m_moveList, 13);
    // A pointer button or wheel notch, on the right of the same frame.
    m_bindPointer = named(new QRadioButton(QCoreApplication::translate("Vornik", "滑鼠"), this), "RadioButton3",
                          {336, 192, 57, 17});
    m_bindPointer->setAutoFillBackground(true);
    m_pointerList = named(new QComboBox(this), "cbPointer", {336, 224, 129, 21});
    m_pointerList->setEditable(false);
    for (int target = 1; target <= kPointerTargets; ++target)
        m_pointerList->addItem(pointerTargetName(target));
    setFixedItemHeight(m_pointerList, 13);

    // A layer switch, in its own frame under the auto-fire.
    m_bindLayer = named(new QRadioButton(QCoreApplication::translate("Vornik", "切換層"), this), "RadioButton4",
                        {32, 336, 73, 17});
    m_bindLayer->setAutoFillBackground(true);
    m_layerTarget = named(new QComboBox(this), "cbLayer", {48, 358, 161, 21});
    m_layerTarget->setAccessibleName(QCoreApplication::translate("Vornik", "切換到哪一層"));
    m_layerHow = named(new QComboBox(this), "cbLayerHow", {224, 358, 241, 21});
    m_layerHow->setAccessibleName(QCoreApplication::translate("Vornik", "怎樣切換"));
    // In the order of LayerSwitch.
    m_layerHow->addItems({QCoreApplication::translate("Vornik", "按住時用這一層"),
                          QCoreApplication::translate("Vornik", "按一下開，再按一下關"),
                          QCoreApplication::translate("Vornik", "只用於下一個按鍵"),
                          QCoreApplication::translate("Vornik", "回到上一層")});
    connect(m_layerHow, &QComboBox::currentIndexChanged, this, [this] { RadioButton1Click(); });

    // When the binding fires, and with which input pressed together: which binding is shown.
    auto* when = named(new QLabel(QCoreApplication::translate("Vornik", "何時作用："), this), "LabelWhen",
                       {16, 404, 80, 16});
    m_activator = named(new QComboBox(this), "cbActivator", {96, 400, 137, 21});
    when->setBuddy(m_activator);
    when->adjustSize();
    m_activator->move(when->geometry().right() + 6, 400);
    // In the order of Activator.
    m_activator->addItems({QCoreApplication::translate("Vornik", "按下時"), QCoreApplication::translate("Vornik", "輕按（放開時）"),
                           QCoreApplication::translate("Vornik", "長按"), QCoreApplication::translate("Vornik", "連按兩下"),
                           QCoreApplication::translate("Vornik", "放開時")});
    auto* with = named(new QLabel(QCoreApplication::translate("Vornik", "同時按下："), this), "LabelWith",
                       {0, 404, 80, 16});
    with->adjustSize();
    with->move(m_activator->geometry().right() + 12, 404);
    m_with = named(new QComboBox(this), "cbWith", {with->geometry().right() + 6, 400, 0, 21});
    m_with->resize(std::max(100, width() - 16 - m_with->x()), 21);
    with->setBuddy(m_with);
    connect(m_activator, &QComboBox::currentIndexChanged, this, &TForm3::SlotChosen);
    connect(m_with, &QComboBox::currentIndexChanged, this, &TForm3::SlotChosen);

    m_autoFire = named(new QCheckBox(QCoreApplication::translate("Vornik", "連續發射"), this), "CheckBox2", {32, 256, 89, 17});
    m_autoFire->setAutoFillBackground(true);
    m_autoFireStyle = named(new QWidget(this), "Panel1", {40, 280, 105, 41});
    m_automatic = named(new QRadioButton(QCoreApplication::translate("Vornik", "連續發射"), m_autoFireStyle), "auto", {8, 0, 89, 17});
    m_whileHeld = named(new QRadioButton(QCoreApplication::translate("Vornik", "按下發射"), m_autoFireStyle), "man", {8, 24, 89, 17});
    m_automatic->setChecked(true);

    m_autoFireDelay = named(new QSlider(Qt::Horizontal, this), "tb1", {168, 280, 281, 25});
    m_autoFireDelay->setRange(0, 10);
    m_autoFireDelay->setSingleStep(1);
    m_autoFireDelay->setPageStep(2);
    m_autoFireDelay->setTickInterval(1);
    m_autoFireDelay->setTickPosition(QSlider::TicksBelow);
    m_autoFireDelay->setValue(0);
    m_fastest = named(new QLabel(QCoreApplication::translate("Vornik", "最快"), this), "Label2", {168, 306, 40, 16});
    m_fastest->setFont(labelFont);
    m_fastest->setStyleSheet(QStringLiteral("color: red"));
    m_fastest->adjustSize();
    m_slowest = named(new QLabel(QCoreApplication::translate("Vornik", "最慢"), this), "Label3", {424, 306, 40, 16});
    m_slowest->setFont(labelFont);
    m_slowest->setStyleSheet(QStringLiteral("color: blue"));
    m_slowest->adjustSize();

    m_ok = named(new QPushButton(standardButtonText(QDialogButtonBox::Ok), this), "BitBtn2", {328, 430, 75, 25});
    m_cancel = named(new QPushButton(standardButtonText(QDialogButtonBox::Cancel), this), "BitBtn1", {408, 430, 75, 25});
    m_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The handlers also run when a control's state is changed from code, as the filling step does.
    connect(m_useBinding, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
    connect(m_autoFire, &QCheckBox::toggled, this, &TForm3::CheckBox2Click);
    connect(m_bindKeys, &QRadioButton::toggled, this, &TForm3::RadioButton1Click);
    connect(m_bindMove, &QRadioButton::toggled, this, &TForm3::RadioButton2Click);
    connect(m_bindPointer, &QRadioButton::toggled, this, &TForm3::RadioButton3Click);
    connect(m_bindLayer, &QRadioButton::toggled, this, &TForm3::RadioButton3Click);

    m_keyboardImage = QPixmap(kKeyboardSize);
    m_keyboardImage.fill(Qt::lightGray);
    m_keyboardView->setPixmap(m_keyboardImage);
    CheckBox1Click();
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                    screen() != nullptr ? screen()->availableGeometry() : QRect(QPoint(), size())));
}

void TForm3::setSources(const MoveTable* moves, const KeyMap* keyMap, const QPixmap* keybu) {
    m_moves = moves;
    m_keyMap = keyMap;
    m_keybu = keybu;
    DrawKeyMarks();
}

void TForm3::CheckBox1Click() {
    const bool use = m_useBinding->isChecked();
    m_bindKeys->setEnabled(use);
    m_bindMove->setEnabled(use);
    m_bindPointer->setEnabled(use);
    m_bindLayer->setEnabled(use);
    m_autoFire->setEnabled(use && !m_bindLayer->isChecked());
    CheckBox2Click();
    RadioButton1Click();
    RadioButton2Click();
}

void TForm3::CheckBox2Click() {
    const bool autoFire = m_useBinding->isChecked() && m_autoFire->isChecked() && !m_bindLayer->isChecked();
    m_automatic->setEnabled(autoFire);
    m_whileHeld->setEnabled(autoFire);
    m_autoFireDelay->setEnabled(autoFire);
}

void TForm3::RadioButton1Click() {
    const bool use = m_useBinding->isChecked();
    m_keyboardView->setEnabled(use && m_bindKeys->isChecked());
    m_moveList->setEnabled(use && m_bindMove->isChecked());
    m_pointerList->setEnabled(use && m_bindPointer->isChecked());
    m_layerHow->setEnabled(use && m_bindLayer->isChecked());
    // Going back names no layer.
    m_layerTarget->setEnabled(use && m_bindLayer->isChecked() && m_layerHow->currentIndex() + 1 != LayerBack);
    // A layer switch does not auto-fire.
    m_autoFire->setEnabled(use && !m_bindLayer->isChecked());
    CheckBox2Click();
}

void TForm3::RadioButton2Click() {
    RadioButton1Click();
}

void TForm3::RadioButton3Click() {
    RadioButton1Click();
}

void TForm3::restoreKeyboard() {
    m_marks.clear();
    if (m_keybu != nullptr && !m_keybu->isNull())
        m_keyboardImage = m_keybu->copy();
    m_keyboardView->setPixmap(m_keyboardImage);
}

void TForm3::DrawKeyMarks() {
    restoreKeyboard();
    if (m_keyMap == nullptr || m_selectedKeyCount == 0)
        return;
    QPainter painter(&m_keyboardImage);
    painter.setPen(QPen(QColor(0, 0, 255), 1));
    painter.setBrush(Qt::NoBrush);
    for (int slot = 0; slot < m_selectedKeyCount; ++slot) {
        // A key drawn twice on the picture (two Enter keys) is circled wherever it stands.
        for (int r = 1; r <= std::min<int>(m_keyMap->Count, kMaxKeyMapRecords); ++r) {
            const KeyMapRecord& k = m_keyMap->Records[r];
            if (k.VirtualKey != m_selectedKeys[static_cast<std::size_t>(slot)])
                continue;
            const QRect box(QPoint(std::min(k.Left, k.Right), std::min(k.Top, k.Bottom)),
                            QPoint(std::max(k.Left, k.Right), std::max(k.Top, k.Bottom)));
            painter.drawEllipse(box);
            m_marks.push_back(box);
        }
    }
    painter.end();
    m_keyboardView->setPixmap(m_keyboardImage);
}

void TForm3::kbimgMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    if (m_keyMap == nullptr)
        return;
    const int record = FindKeyAtPoint(*m_keyMap, x, y);
    if (record < 1)
        return;
    const int k = m_keyMap->Records[record].VirtualKey;
    const auto first = m_selectedKeys.begin();
    const auto last = first + m_selectedKeyCount;
    const auto found = std::find(first, last, k);
    if (found != last) {
        // The later keys move down one slot each; the slot freed at the end keeps its old code.
        std::copy(found + 1, last, found);
        --m_selectedKeyCount;
    } else if (m_selectedKeyCount == 3) {
        Modal::notice(this, QCoreApplication::translate("Vornik", "只可以同時按下") + QString::number(3) + QCoreApplication::translate("Vornik", "個鍵"));
    } else {
        m_selectedKeys[static_cast<std::size_t>(m_selectedKeyCount++)] = k;
    }
    DrawKeyMarks();
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    // Event filters see events before a disabled widget drops them.
    if (watched == m_keyboardView && event->type() == QEvent::MouseButtonPress && m_keyboardView->isEnabled()) {
        // The label shows the picture unscaled at its top-left corner: label and picture
        // coordinates are the same.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        kbimgMouseDown(mouse->button(), mouse->modifiers(), at.x(), at.y());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::load(const JoystickBinding& entry) {
    m_moveList->clear();
    if (m_moves != nullptr) {
        for (int slot = 1; slot <= kMoveSlots; ++slot)
            m_moveList->addItem(moveName((*m_moves)[slot]));
    }
    m_moveList->setCurrentIndex(-1);
    m_selectedKeyCount = 0;
    m_autoFire->setChecked(entry.AutoFireMode != AutoFireNone);
    restoreKeyboard();
    m_autoFireDelay->setValue(entry.AutoFireDelay);
    if (entry.BindingKind == BindingKeys) {
        // A count out of 0..3 (a hand-edited profile) is taken at its nearest valid value.
        m_selectedKeyCount = std::clamp(entry.KeyCount, 0, 3);
        m_selectedKeys = {entry.Key1, entry.Key2, entry.Key3};
        DrawKeyMarks();
        m_bindKeys->setChecked(true);
    } else if (entry.BindingKind == BindingMove) {
        if (entry.Key1 >= 1 && entry.Key1 <= m_moveList->count())
            m_moveList->setCurrentIndex(entry.Key1 - 1);
        m_bindMove->setChecked(true);
    } else if (entry.BindingKind == BindingPointer) {
        m_pointerList->setCurrentIndex(std::clamp(entry.Key1, 1, kPointerTargets) - 1);
        m_bindPointer->setChecked(true);
    } else if (entry.BindingKind == BindingLayer) {
        m_layerTarget->setCurrentIndex(std::clamp(entry.Key1, 1, kMaxLayers) - 1);
        m_layerHow->setCurrentIndex(std::clamp(entry.Key2, 1, static_cast<int>(LayerBack)) - 1);
        m_bindLayer->setChecked(true);
    }
    m_useBinding->setChecked(entry.BindingKind != BindingNone);
    CheckBox1Click();
}

void TForm3::save(JoystickBinding& entry) const {
    if (m_useBinding->isChecked() && m_bindKeys->isChecked()) {
        entry.KeyCount = m_selectedKeyCount;
        entry.Key1 = m_selectedKeys[0];
        entry.Key2 = m_selectedKeys[1];
        entry.Key3 = m_selectedKeys[2];
        entry.BindingKind = BindingKeys;
    }
    if (m_useBinding->isChecked() && m_bindMove->isChecked()) {
        entry.Key1 = m_moveList->currentIndex() + 1;
        entry.BindingKind = BindingMove;
    }
    if (m_useBinding->isChecked() && m_bindPointer->isChecked()) {
        // The button alone: nothing is pressed with it.
        entry.Key1 = std::max(m_pointerList->currentIndex(), 0) + 1;
        entry.Key2 = entry.Key3 = entry.KeyCount = 0;
        entry.BindingKind = BindingPointer;
    }
    if (m_useBinding->isChecked() && m_bindLayer->isChecked()) {
        entry.Key2 = m_layerHow->currentIndex() + 1;
        entry.Key1 = entry.Key2 == LayerBack ? 0 : m_layerTarget->currentIndex() + 1;
        entry.Key3 = entry.KeyCount = 0;
        entry.BindingKind = BindingLayer;
    }
    if (!m_useBinding->isChecked())
        entry.BindingKind = BindingNone;
    if (m_autoFire->isChecked() && entry.BindingKind != BindingLayer) {
        entry.AutoFireDelay = m_autoFireDelay->value();
        entry.AutoFireMode = m_automatic->isChecked() ? AutoFireAutomatic : AutoFireWhileHeld;
    } else {
        entry.AutoFireMode = AutoFireNone;
    }
}

TForm3::Slot& TForm3::slot(int activator, int with) {
    for (Slot& s : m_slots) {
        if (s.activator == activator && s.with == with)
            return s;
    }
    m_slots.push_back(Slot{activator, with, {}});
    return m_slots.back();
}

int TForm3::chosenActivator() const {
    return std::clamp(m_activator->currentIndex(), 0, kActivators - 1);
}

int TForm3::chosenWith() const {
    return m_with->currentData().toInt();
}

void TForm3::SlotChosen() {
    if (m_filling)
        return;
    // Two inputs pressed together fire as they go down.
    if (chosenWith() != 0 && chosenActivator() != ActivatePress) {
        m_activator->setCurrentIndex(ActivatePress); // comes back here
        return;
    }
    m_activator->setEnabled(chosenWith() == 0);
    save(slot(m_shownActivator, m_shownWith).binding);
    m_shownActivator = chosenActivator();
    m_shownWith = chosenWith();
    load(slot(m_shownActivator, m_shownWith).binding);
}

bool TForm3::EditJoystickBinding(DrawGrid& grid, ProfileTables& tables, int joystick, int layer,
                                 const JoystickCaps& caps, bool present) {
    JoystickBlock& block = tables.joystickBindings[joystick];
    const int e = joystickEntryOfRow(grid.selectionTop(), caps, &block);
    if (e < 1 || e > kPadEntries || layer < 1 || layer > kMaxLayers)
        return false;
    // Every binding of the input on the layer, the first one that binds something shown first.
    m_slots.clear();
    for (int a = 0; a < kActivators; ++a) {
        if (const JoystickBinding* b = tables.binding(joystick, e, layer, a, 0))
            m_slots.push_back(Slot{a, 0, *b});
    }
    for (const LayeredBinding& b : tables.layeredBindings[joystick]) {
        if (b.Entry == e && b.Layer == layer && b.With != 0)
            m_slots.push_back(Slot{b.Activator, b.With, b.Binding});
    }
    const auto first = std::find_if(m_slots.begin(), m_slots.end(),
                                    [](const Slot& s) { return s.binding.BindingKind != BindingNone; });
    const Slot shown = first != m_slots.end() ? *first : slot(ActivatePress, 0);

    m_filling = true;
    m_layerTarget->clear();
    const PadSettings& pad = tables.pad(joystick);
    for (int l = 1; l <= kMaxLayers; ++l)
        m_layerTarget->addItem(layerName(pad, l));
    m_with->clear();
    m_with->addItem(QCoreApplication::translate("Vornik", "（不用）"), 0);
    for (int other = 1; other <= kPadEntries; ++other) {
        const bool bound = std::any_of(m_slots.begin(), m_slots.end(), [&](const Slot& s) { return s.with == other; });
        if (other != e && (entryOnPad(caps, other) || bound))
            m_with->addItem(entryName(caps, other), other);
    }
    m_activator->setCurrentIndex(shown.activator);
    m_with->setCurrentIndex(std::max(0, m_with->findData(shown.with)));
    m_activator->setEnabled(shown.with == 0);
    m_shownActivator = shown.activator;
    m_shownWith = shown.with;
    m_filling = false;
    load(shown.binding);

    // The caption names the input, with the name printed on a pad's button, and a layer above the first.
    const QString input = entryName(caps, e);
    setWindowTitle(layer == 1 ? QCoreApplication::translate("Vornik", "設定：%1").arg(input)
                              : QCoreApplication::translate("Vornik", "設定：%1（%2）").arg(input, layerName(pad, layer)));
    const int answer = Modal::exec(*this);
    setWindowTitle(QCoreApplication::translate("Vornik", "設定"));
    if (answer != QDialog::Accepted)
        return false;
    save(slot(m_shownActivator, m_shownWith).binding);
    for (const Slot& s : m_slots) {
        if (isPlainSlot(layer, s.activator, s.with))
            block[e] = s.binding; // kept as the dialog left it, as it always was
        else if (s.binding.BindingKind == BindingNone)
            tables.removeBinding(joystick, e, layer, s.activator, s.with);
        else
            tables.bindingAt(joystick, e, layer, s.activator, s.with) = s.binding;
    }
    SetupJoystickGrid(&grid, caps, present, &block);
    return true;
}

} // namespace vornik::ui
