#pragma once
// Every window the program has so far, built for inspection in a private
// program folder with an empty address file.
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <vector>

namespace qp::helptest {

struct BuiltWindow {
    QString key; // the class its entry table is named after
    std::unique_ptr<QWidget> window;
};

class WindowShelf {
public:
    WindowShelf();
    ~WindowShelf();
    std::vector<BuiltWindow> build();

private:
    struct State;
    std::unique_ptr<State> state_;
    QTemporaryDir dir_;
    bool homeWasSet_ = qEnvironmentVariableIsSet("QUILLPOST_HOME");
    QByteArray savedHome_ = qgetenv("QUILLPOST_HOME");
};

} // namespace qp::helptest
