#pragma once
// Shared by the window tests: a private program folder and a recorder for
// the message boxes.

#include "store/ui/common_dialogs.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <vector>

namespace qp::test {

// Points the program folder at a fresh temporary folder with DATA/ and
// sysdata/ for the lifetime of the object.
class ProgramHome {
public:
    ProgramHome()
        : wasSet_(qEnvironmentVariableIsSet("QUILLPOST_HOME")), saved_(qgetenv("QUILLPOST_HOME")) {
        qputenv("QUILLPOST_HOME", dir_.path().toLocal8Bit());
        QDir(dir_.path()).mkpath(QStringLiteral("DATA"));
        QDir(dir_.path()).mkpath(QStringLiteral("sysdata"));
    }
    ~ProgramHome() {
        if (wasSet_)
            qputenv("QUILLPOST_HOME", saved_);
        else
            qunsetenv("QUILLPOST_HOME");
    }
    QString path(const QString& name = {}) const { return dir_.filePath(name); }
    QString settingsPath() const { return path(QStringLiteral("QUILLP.ini")); }
    QByteArray settingsText() const {
        QFile f(settingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeSettings(const QByteArray& text) const {
        QFile f(settingsPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

private:
    QTemporaryDir dir_;
    bool wasSet_;
    QByteArray saved_;
};

// Records every message box and answers the questions from a queue (No
// when it runs dry).
class MessageRecorder {
public:
    MessageRecorder() {
        qp::ui::SetMessageHandler([this](const qp::ui::MessageRequest& r) {
            seen.push_back(r);
            if (answers.empty())
                return r.kind == qp::ui::MessageKind::Info;
            bool a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~MessageRecorder() { qp::ui::SetMessageHandler(nullptr); }
    QStringList texts() const {
        QStringList out;
        for (const auto& r : seen)
            out << r.text;
        return out;
    }

    std::vector<qp::ui::MessageRequest> seen;
    std::deque<bool> answers;
};

} // namespace qp::test
