#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace vornik::ui {

// Gives a dialog control its component name (tests find it by that name) and its place.
template <typename W> W* named(W* widget, const char* name, const QRect& geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

} // namespace vornik::ui
