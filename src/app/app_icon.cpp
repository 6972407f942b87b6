#include "app/app_icon.h"

#include <QGuiApplication>

// Resources of a static library are registered by hand, at global scope.
static void registerIconResources() {
    Q_INIT_RESOURCE(quillpost_icons);
}

namespace qp::app {

QIcon applicationIcon() {
    registerIconResources();
    QIcon icon;
    // The drawn sizes first; the SVG serves every other size when Qt's SVG
    // support is installed.
    icon.addFile(QStringLiteral(":/icons/quillpost-48.png"), QSize(48, 48));
    icon.addFile(QStringLiteral(":/icons/quillpost-256.png"), QSize(256, 256));
    icon.addFile(QStringLiteral(":/icons/quillpost.svg"));
    return icon;
}

void installApplicationIcon() {
    QGuiApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));
}

} // namespace qp::app
