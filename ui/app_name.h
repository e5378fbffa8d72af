#pragma once
// The application name: window title, message box caption, settings folder and help file name.
#include <QString>

inline constexpr char kAppName[] = "Lumicast";

inline QString AppName() {
    return QString::fromLatin1(kAppName);
}
