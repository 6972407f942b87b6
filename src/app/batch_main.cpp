// quillpost-batch: Quillpost's jobs from the command line.

#include "app/batch/batch_command.h"

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    // Headless whatever the session: fonts and painting without a display.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        std::string runtime = "/tmp/runtime-" + std::to_string(getuid());
        mkdir(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    std::ios::sync_with_stdio(false);
    int status = qp::batch::runBatch(argc, argv, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
