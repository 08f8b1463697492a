#pragma once

#include <QLineEdit>
#include <QString>

#include <string>
#include <string_view>

// The core's rules take and give UTF-8 text; the window's controls hold QString.

inline QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string textOf(const QLineEdit& edit) {
    return edit.text().toStdString();
}
