#include "PictureStore.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

static void initVornikResources() {
    Q_INIT_RESOURCE(vornik);
}

namespace vornik::ui {

namespace {
QPixmap loadPicture(const QString& name) {
    QPixmap picture(QStringLiteral(":/") + name);
    if (picture.isNull())
        throw std::runtime_error("missing picture resource \"" + name.toStdString() + "\"");
    return picture;
}
} // namespace

void initResources() {
    static const bool done = (initVornikResources(), true);
    (void)done;
}

QString buttonResourceName(int number, ButtonState state) {
    return state == ButtonState::Released ? QString::number(number) + QLatin1Char('b')
                                          : QLatin1Char('_') + QString::number(number);
}

void PictureStore::loadStaticPictures() {
    initResources();
    m_keyboard = loadPicture(QStringLiteral("keyboard"));
    for (int i = 0; i < 9; ++i)
        m_direction[static_cast<std::size_t>(i)] = loadPicture(QStringLiteral("mimg%1").arg(i));
    m_appIcon = QIcon(loadPicture(QStringLiteral("vornik")));
}

void PictureStore::loadButtonPictures() {
    initResources();
    for (int n = 1; n <= 32; ++n)
        m_released[static_cast<std::size_t>(n - 1)] = loadPicture(buttonResourceName(n, ButtonState::Released));
    for (int n = 1; n <= 32; ++n)
        m_pressed[static_cast<std::size_t>(n - 1)] = loadPicture(buttonResourceName(n, ButtonState::Pressed));
}

void PictureStore::freeButtonPictures() {
    m_released.fill(QPixmap());
    m_pressed.fill(QPixmap());
}

const QPixmap& PictureStore::button(int number, ButtonState state) const {
    const auto i = static_cast<std::size_t>(number - 1);
    return state == ButtonState::Released ? m_released.at(i) : m_pressed.at(i);
}

QRect keyRectangle(const KeyMap& map, int code) {
    const int r = FindKeyMapRecord(map, code);
    if (r < 1)
        return {};
    const KeyMapRecord& k = map.Records[r];
    return QRect(std::min(k.Left, k.Right), std::min(k.Top, k.Bottom), std::abs(k.Right - k.Left),
                 std::abs(k.Bottom - k.Top));
}

} // namespace vornik::ui
