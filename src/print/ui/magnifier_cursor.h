#pragma once
#include <QCursor>

namespace qp::print {
// A magnifying-glass pointer, drawn so that it stays sharp on high-DPI screens.
QCursor MagnifierCursor();
} // namespace qp::print
