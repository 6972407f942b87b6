#include "store/ui/common_dialogs.h"

#include "print/printer_setup.h"
#include "store/settings_file.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace qp::ui {

namespace {

MessageHandler& handler() {
    static MessageHandler h;
    return h;
}

QWidget*& mainWindow() {
    static QWidget* w = nullptr;
    return w;
}

bool ask(MessageKind kind, const QString& text, const QString& title, QWidget* parent) {
    if (handler())
        return handler()({kind, text, title});
    QMessageBox box(kind == MessageKind::Info ? QMessageBox::Information : QMessageBox::Question,
                    title, text, QMessageBox::NoButton, parent ? parent : MainWindow());
    if (kind == MessageKind::Info) {
        box.addButton(QMessageBox::Ok);
        box.exec();
        return true;
    }
    auto* yes = box.addButton(QMessageBox::Yes);
    auto* no = box.addButton(QMessageBox::No);
    box.setDefaultButton(kind == MessageKind::YesNo ? yes : no);
    box.setEscapeButton(static_cast<QAbstractButton*>(no));
    box.exec();
    return box.clickedButton() == static_cast<QAbstractButton*>(yes);
}

int logicalDpi(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

QRect available(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

std::string section(const QWidget& window) {
    return store::PlacementSectionName(WindowClassName(window).toStdString(), logicalDpi(window));
}

} // namespace

void ShowInfo(const QString& text, QWidget* parent) {
    ask(MessageKind::Info, text, QStringLiteral("Information"), parent);
}

bool AskYesNo(const QString& text, const QString& title, QWidget* parent) {
    return ask(MessageKind::YesNo, text, title, parent);
}

bool AskYesNoDefaultNo(const QString& text, const QString& title, QWidget* parent) {
    return ask(MessageKind::YesNoDefaultNo, text, title, parent);
}

void SetMessageHandler(MessageHandler h) {
    handler() = std::move(h);
}

void SetMainWindow(QWidget* window) {
    mainWindow() = window;
}

QWidget* MainWindow() {
    return mainWindow();
}

QString WindowClassName(const QWidget& window) {
    QString name = QString::fromLatin1(window.metaObject()->className());
    int colon = name.lastIndexOf(QLatin1String("::"));
    return colon < 0 ? name : name.mid(colon + 2);
}

void SaveWindowPlacement(QWidget& window) {
    auto settings = store::SettingsFile::standard();
    QRect normal = window.isMaximized() ? window.normalGeometry() : window.geometry();
    store::WindowPlacement p;
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    p.maximized = window.isMaximized();
    (void)store::WriteWindowPlacement(settings, section(window), p);
}

void RestoreWindowPlacement(QWidget& window, bool designedMaximized) {
    auto settings = store::SettingsFile::standard();
    store::WindowPlacement p =
        store::ReadWindowPlacement(settings, section(window), designedMaximized);
    if (p.bottom == 0) {
        CenterDialog(window);
    } else {
        QRect screen = available(window);
        p = store::FitPlacementToScreen(p, screen.right() + 1, screen.bottom() + 1);
        window.setGeometry(p.left, p.top, p.right - p.left, p.bottom - p.top);
    }
    if (p.maximized)
        window.showMaximized();
    SaveWindowPlacement(window);
}

void CenterDialog(QWidget& window) {
    QWidget* main = MainWindow();
    QSize size =
        window.frameGeometry().size().isValid() ? window.frameGeometry().size() : window.sizeHint();
    QRect over;
    if (!main || main == &window || main->isMaximized() || !main->isVisible())
        over = available(window);
    else
        over = main->frameGeometry();
    window.move(over.left() + (over.width() - size.width()) / 2,
                over.top() + (over.height() - size.height()) / 2);
}

bool CheckPrinterReady(QWidget* parent) {
    auto& setup = print::TPrinterSetup::Shared();
    if (setup.PrinterNames().isEmpty()) {
        ShowInfo(QStringLiteral("There are no installed printers.\r\nUnable to perform printer "
                                "related operations"),
                 parent);
        return false;
    }
    if (setup.DeviceName().isEmpty()) {
        setup.SelectPrinter(setup.PrinterIndex());
        if (setup.DeviceName().isEmpty()) {
            ShowInfo(QStringLiteral("There is no default printer selected.\r\nUnable to perform "
                                    "printer related operations"),
                     parent);
            return false;
        }
    }
    return true;
}

} // namespace qp::ui
