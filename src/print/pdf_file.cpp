#include "print/pdf_file.h"

#include "store/atomic_file.h"
#include "store/open_files.h"

#include <QIODevice>
#include <QPdfWriter>

#include <optional>
#include <string>

namespace qp::print {

namespace {

// The PDF engine's output, gathered into blocks (the engine writes many
// small pieces) and written through the atomic file, whose first failure is
// kept for Finish.
class TAtomicDevice : public QIODevice {
public:
    explicit TAtomicDevice(store::AtomicFile& file) : File_(file) {}
    bool isSequential() const override { return true; }
    bool Flush() {
        if (Block_.empty())
            return true;
        auto st = File_.write(Block_);
        Block_.clear();
        if (!st)
            setErrorString(QString::fromStdString(st.error()));
        return st.ok();
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override {
        Block_.append(data, std::size_t(len));
        if (Block_.size() >= kBlockSize && !Flush())
            return -1;
        return len;
    }

private:
    static constexpr std::size_t kBlockSize = 256 * 1024;
    store::AtomicFile& File_;
    std::string Block_;
};

} // namespace

struct TPdfFile::TState {
    std::optional<store::AtomicFile> File;
    std::unique_ptr<TAtomicDevice> Device;
    std::unique_ptr<QPdfWriter> Writer;
};

TPdfFile::TPdfFile() : S_(std::make_unique<TState>()) {}

TPdfFile::~TPdfFile() {
    S_->Writer.reset();
    S_->Device.reset();
    S_->File.reset();
}

bool TPdfFile::Open(const QString& path, const QPageLayout& layout, int resolution,
                    const QString& title, QString* error) {
    if (const QString problem = OutputFileProblem(path); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    auto file = store::AtomicFile::create(path.toStdString());
    if (!file) {
        if (error)
            *error = QString::fromStdString(file.error());
        return false;
    }
    S_->File.emplace(std::move(*file));
    S_->Device = std::make_unique<TAtomicDevice>(*S_->File);
    S_->Device->open(QIODevice::WriteOnly);
    S_->Writer = std::make_unique<QPdfWriter>(S_->Device.get());
    S_->Writer->setPageLayout(layout);
    S_->Writer->setResolution(resolution);
    S_->Writer->setTitle(title);
    S_->Writer->setCreator(QStringLiteral("Quillpost"));
    return true;
}

QPdfWriter* TPdfFile::Writer() const {
    return S_->Writer.get();
}

bool TPdfFile::Finish(bool painterEnded, QString* error) {
    if (!S_->File) {
        if (error)
            *error = QStringLiteral("No PDF file is open.");
        return false;
    }
    S_->Writer.reset();
    S_->Device->Flush(); // a failure stays with the file and comes back from commit
    S_->Device.reset();
    store::AtomicFile file = std::move(*S_->File);
    S_->File.reset();
    const std::string target = file.target().string();
    if (!painterEnded) {
        if (error)
            *error = QStringLiteral("Unable to finish the PDF file \"%1\".")
                         .arg(QString::fromStdString(target));
        return false; // the temporary file goes with `file`
    }
    if (auto st = file.commit(); !st) {
        if (error)
            *error = QString::fromStdString(st.error());
        return false;
    }
    return true;
}

QString OutputFileProblem(const QString& path) {
    if (auto st = store::checkNotOpenFile(path.toStdString()); !st)
        return QString::fromStdString(st.error());
    return {};
}

} // namespace qp::print
