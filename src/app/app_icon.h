#pragma once
// The application icon, carried inside the program, and the desktop
// identity that ties the running program to its menu entry.

#include <QIcon>

namespace qp::app {

inline constexpr const char* kDesktopId = "org.quillpost.Quillpost";

QIcon applicationIcon();
// Every window without an icon of its own shows the application's.
void installApplicationIcon();

} // namespace qp::app
