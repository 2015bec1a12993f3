#include "MovePage.h"

#include "DrawGrid.h"
#include "Modal.h"
#include "MoveEditor.h"
#include "MoveRecorder.h"
#include "Named.h"
#include "PictureStore.h"
#include "Texts.h"

#include <QStringList>

#include <QCoreApplication>
#include <QResizeEvent>

#include <algorithm>

namespace vornik::ui {

namespace {
constexpr int kGridTop = 26;
constexpr int kGridHeight = 292;
} // namespace

MovePage::MovePage(Configuration& config, const PictureStore& pictures, QWidget* parent)
    : QWidget(parent), m_config(config), m_pictures(pictures) {
    m_edit = named(new QPushButton(QCoreApplication::translate("Vornik", "編輯"), this), "Button1", {1, 0, 57, 25});
    QPalette blue = m_edit->palette();
    blue.setColor(QPalette::ButtonText, Qt::blue);
    m_edit->setPalette(blue);
    m_deleteAll = named(new QPushButton(QCoreApplication::translate("Vornik", "刪除"), this), "Button2", {61, 0, 57, 25});
    m_moveGrid = named(new DrawGrid(this), "l1", {0, kGridTop, 528, kGridHeight});
    m_moveGrid->setOnDrawCell([this](DrawGrid&, int col, int row, QPainter& painter, const QRect& rect) {
        l1DrawCell(col, row, painter, rect);
    });
    m_moveGrid->setOnDblClick([this](DrawGrid&) { l1DblClick(); });
    m_moveGrid->setOnCellText([this](const DrawGrid&, int col, int row) { return cellText(col, row); });
    connect(m_edit, &QPushButton::clicked, this, &MovePage::Button1Click);
    connect(m_deleteAll, &QPushButton::clicked, this, &MovePage::Button2Click);
}

void MovePage::setDialogs(TForm4* editor, TForm5* recorder) {
    m_editor = editor;
    m_recorder = recorder;
    if (m_editor) {
        m_editor->setKeyPictures(&m_config.keyMap, &m_pictures.keybu());
        m_editor->setRecorder(recorder);
    }
    if (m_recorder)
        m_recorder->setEditor(editor);
}

// The grid sits on the bottom of the page at its full width, keeping its height.
void MovePage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_moveGrid->setGeometry(0, event->size().height() - kGridHeight, event->size().width(), kGridHeight);
}

void MovePage::RefreshMoveGrid() {
    m_moveGrid->setDefaultRowHeight(32);
    m_moveGrid->setColCount(3);
    m_moveGrid->setRowCount(1 + kMoveSlots);
    const int widths[] = {55, 150, 270};
    for (int c = 0; c < 3; ++c)
        m_moveGrid->setColWidth(c, widths[c]);
    m_moveGrid->repaintGrid();
}

QString MovePage::cellText(int col, int row) const {
    if (row == 0) {
        static const char* const headers[] = {QT_TRANSLATE_NOOP("Vornik", "編號"), QT_TRANSLATE_NOOP("Vornik", "名稱"),
                                              QT_TRANSLATE_NOOP("Vornik", "內容")};
        return col >= 0 && col < 3 ? QCoreApplication::translate("Vornik", headers[col]) : QString();
    }
    if (row < 1 || row > kMoveSlots)
        return {};
    const Move& move = m_config.moves[row];
    const QString none = QCoreApplication::translate("Vornik", "沒有");
    switch (col) {
    case 0:
        return QString::number(row);
    case 1:
        return move.Name.Length == 0 ? none : moveName(move);
    case 2: {
        if (move.StepCount <= 0)
            return none;
        QStringList steps;
        for (int s = 1; s <= std::min(move.StepCount, kMaxMoveSteps); ++s)
            steps.append(stepText(move.Steps[s]));
        return steps.join(QStringLiteral(", "));
    }
    default:
        return {};
    }
}

DrawOps MovePage::cellOps(int col, int row, const QRect& rect) const {
    // Right and bottom are one past the cell, as the layout of the texts expects.
    const int left = rect.left();
    const int right = rect.left() + rect.width();
    const int cx = (left + right - 32) / 2;
    const int my = (rect.top() + rect.top() + rect.height()) / 2;
    const QPoint centred(cx, my - 5);
    const QString none = QCoreApplication::translate("Vornik", "沒有");
    DrawOps ops;
    if (row == 0) {
        static const QString headers[] = {QCoreApplication::translate("Vornik", "編號"), QCoreApplication::translate("Vornik", "名稱"), QCoreApplication::translate("Vornik", "內容")};
        if (col >= 0 && col < 3)
            ops.push_back(textOp(headers[col], centred));
        return ops;
    }
    if (row < 1 || row > kMoveSlots)
        return ops;
    const Move& move = m_config.moves[row];
    switch (col) {
    case 0:
        ops.push_back(textOp(QString::number(row), centred));
        break;
    case 1:
        if (move.Name.Length == 0)
            ops.push_back(textOp(none, centred));
        else
            ops.push_back(textOp(moveName(move), QPoint(left + 5, my - 5)));
        break;
    case 2: {
        if (move.StepCount <= 0) {
            ops.push_back(textOp(none, centred));
            break;
        }
        const QFontMetrics metrics = m_moveGrid->fontMetrics();
        const int steps = std::min(move.StepCount, kMaxMoveSteps);
        int x = 0;
        for (int s = 1; s <= steps; ++s) {
            for (const int key : {move.Steps[s].Key, move.Steps[s].ChordKey}) {
                const int w = key != 0 ? appendKeyPicture(ops, m_config.keyMap, m_pictures.keybu(), key, left + 5 + x,
                                                          my, metrics)
                                       : 0;
                x += w + 5;
            }
            // A comma after every step, the last one included.
            ops.push_back(textOp(QStringLiteral(","), QPoint(left + x, my - 4)));
        }
        break;
    }
    default:
        break;
    }
    return ops;
}

void MovePage::l1DrawCell(int col, int row, QPainter& painter, const QRect& rect) {
    // The commas and "沒有" of the key strip go on the cell without a background of their own.
    if (col == 2 && row >= 1) {
        painter.setBrush(Qt::NoBrush);
        painter.setBackgroundMode(Qt::TransparentMode);
    }
    paintDrawOps(painter, cellOps(col, row, rect));
}

void MovePage::l1DblClick() {
    if (!m_editor && m_dialogNeeded)
        m_dialogNeeded();
    if (!m_editor)
        return;
    const int slot = std::clamp(m_moveGrid->selectionTop(), 1, kMoveSlots);
    m_editor->EditedMove() = m_config.moves[slot];
    m_editor->LoadEditor();
    if (Modal::exec(*m_editor) != QDialog::Accepted)
        return;
    m_config.moves[slot] = m_editor->EditedMove();
    RefreshMoveGrid();
    if (m_movesChanged)
        m_movesChanged();
}

void MovePage::Button1Click() {
    l1DblClick();
}

void MovePage::Button2Click() {
    if (Modal::ask(this, QCoreApplication::translate("Vornik", "是否確定把所有招式記錄刪除？"), QMessageBox::Ok | QMessageBox::Cancel) !=
        QMessageBox::Ok)
        return;
    clearAllMoves(m_config.moves);
    RefreshMoveGrid();
    if (m_movesChanged)
        m_movesChanged();
}

} // namespace vornik::ui
