#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace vornik::ui {

// Gives a control its component name (tests find it by that name) and its place in its parent.
// A control sized to its text (a label, a check box) is placed with an empty size and then
// adjustSize()d, since its text differs between the languages.
template <typename W> W* named(W* widget, const QString& name, const QRect& geometry) {
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

template <typename W> W* named(W* widget, const char* name, const QRect& geometry) {
    return named(widget, QString::fromLatin1(name), geometry);
}

} // namespace vornik::ui
