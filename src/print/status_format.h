#pragma once
#include <QString>
#include <QStringList>

namespace qp::print {

// Expands a status format: %p/%P page, %0..%9 status lines, %% a percent sign.
QString FormatStatus(const QString& format, int page, const QStringList& lines);

} // namespace qp::print
