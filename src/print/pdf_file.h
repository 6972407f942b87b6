#pragma once
// A PDF written whole or not at all: the pages go to a temporary file beside
// the target, which replaces the target only when the painter ended, every
// byte was written and the file reached the disk. Otherwise the old file is
// left as it was and the error names the reason.

#include <QPageLayout>
#include <QString>

#include <memory>

class QPdfWriter;

namespace qp::print {

class TPdfFile {
public:
    TPdfFile();
    ~TPdfFile(); // an unfinished file is dropped
    TPdfFile(const TPdfFile&) = delete;
    TPdfFile& operator=(const TPdfFile&) = delete;

    bool Open(const QString& path, const QPageLayout& layout, int resolution, const QString& title,
              QString* error);
    QPdfWriter* Writer() const;
    // Call after QPainter::end(), with its result.
    bool Finish(bool painterEnded, QString* error);

private:
    struct TState;
    std::unique_ptr<TState> S_;
};

// An output file may not be a file of an open table (whatever name it is
// given by); empty when `path` may be written, else why not.
QString OutputFileProblem(const QString& path);

} // namespace qp::print
