#pragma once
// A temporary program folder per test, and small document builders.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

namespace qp::testing {

class TRichTextHome {
public:
    TRichTextHome() {
        Old_ = qgetenv("QUILLPOST_HOME");
        HadOld_ = qEnvironmentVariableIsSet("QUILLPOST_HOME");
        qputenv("QUILLPOST_HOME", Dir_.path().toUtf8());
    }
    ~TRichTextHome() {
        if (HadOld_)
            qputenv("QUILLPOST_HOME", Old_);
        else
            qunsetenv("QUILLPOST_HOME");
    }
    QString File(const QString& name) const { return Dir_.filePath(name); }
    bool Write(const QString& name, const QByteArray& data) const {
        QFile f(File(name));
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }
    QByteArray Read(const QString& name) const {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir Dir_;
    QByteArray Old_;
    bool HadOld_ = false;
};

} // namespace qp::testing
