#pragma once
#include <QPageSize>
#include <QSizeF>
#include <QString>

namespace qp::print {

enum : int { kPaperUser = 0, kPaperLetter = 1, kPaperA4 = 9, kPaperA5 = 11 };

// The page size for a platform paper code (Letter 1, A4 9, A5 11, envelopes
// 19-23 and 27-38); invalid for unknown codes.
QPageSize PageSizeForCode(int code);
// A user paper of w x h inches.
QPageSize UserPageSize(double widthInches, double heightInches);

} // namespace qp::print
