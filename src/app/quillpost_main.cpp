// Quillpost: the program folder first, one running program per user and
// folder, then the main window, whose first showing does the rest of the
// start-up (the file to open, the printer check, Getting Started).
#include "addressbook/ui/address_main.h"
#include "addressbook/ui/single_instance.h"
#include "addressbook/ui/window_hooks_adapter.h"
#include "help/help_service.h"
#include "labels/label_stock.h"
#include "store/program_folder.h"
#include "store/shared_routines.h"
#include "store/ui/common_dialogs.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillpost"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillpost"));

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
