// Quillpost: the program folder first, one running program per user and
// folder, then the main window, whose first showing does the rest of the
// start-up (the file to open, the printer check, Getting Started).
#include "addressbook/ui/address_main.h"
#include "addressbook/ui/single_instance.h"
#include "addressbook/ui/window_hooks_adapter.h"
#include "app/app_icon.h"
#include "help/help_service.h"
#include "labels/label_stock.h"
#include "store/program_folder.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered before any window system is needed.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("quillpost %s\n", QP_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: quillpost [--version] [--help]\n\n"
                        "Quillpost keeps mailing lists and prints labels, envelopes, letters and\n"
                        "reports from them. Its address files and system tables live in the\n"
                        "program folder: $QUILLPOST_HOME when set, else ~/.local/share/Quillpost.\n"
                        "The same jobs run without a window through quillpost-batch.\n");
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillpost"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillpost"));
    QApplication::setApplicationVersion(QStringLiteral(QP_VERSION));
    qp::app::installApplicationIcon();

    qp::addressbook::TSingleInstance instance;
    if (!instance.Claim())
        return 0;
    if (auto st = qp::store::prepareProgramFolder(qp::store::ProgramFolder()); !st)
        qp::ui::ShowInfo(QString::fromStdString(st.error()));
    if (auto st = qp::labels::seedLabelCatalogue(qp::store::ProgramFolder()); !st)
        qp::ui::ShowInfo(QString::fromStdString(st.error()));
    qp::addressbook::InstallWindowHooks();
    qp::help::InstallHelp(app);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    qp::addressbook::TAddressMain window;
    qp::ui::SetMainWindow(&window);
    qp::help::WireMainHelpMenu(window);
    QObject::connect(&instance, &qp::addressbook::TSingleInstance::raiseRequested, &window,
                     [&window] { qp::addressbook::BringForward(window); });
    QApplication::restoreOverrideCursor();
    window.show();
    return app.exec();
}
