#pragma once
// The fuzz targets that draw or lay out text need a QGuiApplication; under
// libFuzzer nothing else makes one.

#include <QGuiApplication>

namespace qp::fuzz {

// Makes the process's QGuiApplication, offscreen unless a platform is set,
// when there is none yet.
inline void ensureGuiApplication() {
    if (QGuiApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillpost_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

} // namespace qp::fuzz
