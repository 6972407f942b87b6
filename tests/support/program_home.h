#pragma once
// Points the program folder ($QUILLPOST_HOME) at a folder for the lifetime of
// the object and then puts back what was there before, so that no test falls
// back on the user's own program folder after it.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <optional>
#include <utility>

namespace qp::test {

class ScopedProgramHome {
public:
    // A fresh temporary folder, removed with the object.
    ScopedProgramHome() : dir_(std::in_place) {
        qputenv("QUILLPOST_HOME", dir_->path().toLocal8Bit());
    }
    explicit ScopedProgramHome(const QString& folder) {
        qputenv("QUILLPOST_HOME", folder.toLocal8Bit());
    }
    ~ScopedProgramHome() {
        if (wasSet_)
            qputenv("QUILLPOST_HOME", saved_);
        else
            qunsetenv("QUILLPOST_HOME");
    }
    ScopedProgramHome(const ScopedProgramHome&) = delete;
    ScopedProgramHome& operator=(const ScopedProgramHome&) = delete;

    bool isValid() const { return !dir_ || dir_->isValid(); }
    QString path() const {
        return dir_ ? dir_->path() : QString::fromLocal8Bit(qgetenv("QUILLPOST_HOME"));
    }

private:
    const bool wasSet_ = qEnvironmentVariableIsSet("QUILLPOST_HOME");
    const QByteArray saved_ = qgetenv("QUILLPOST_HOME");
    std::optional<QTemporaryDir> dir_;
};

} // namespace qp::test
