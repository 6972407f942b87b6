#include "addressbook/ui/dial_window.h"

#include "store/settings_file.h"
#include "store/ui/common_dialogs.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace qp::addressbook {

DialLine SerialPortLine(QWidget* parent) {
    auto port = std::make_shared<QSerialPort>();
    DialLine line;
    line.open = [port](const std::string& device) {
        port->setPortName(QString::fromStdString(device));
        return port->open(QIODevice::WriteOnly);
    };
    line.write = [port](const std::string& bytes) {
        const qint64 n = port->write(bytes.data(), qint64(bytes.size()));
        if (n != qint64(bytes.size()))
            return false;
        while (port->bytesToWrite() > 0)
            if (!port->waitForBytesWritten(2000))
                return false;
        return true;
    };
    line.close = [port] { port->close(); };
    line.wait = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    };
    line.error = [parent](const std::string& text) { ui::ShowInfo(ui::qs(text), parent); };
    line.inform = line.error;
    line.ask = [parent](const std::string& text) {
        return ui::AskYesNo(ui::qs(text), QStringLiteral("Dial"), parent);
    };
    return line;
}

namespace {
constexpr const char* kDeviceKey = "Device";
} // namespace

TDialWindow::TDialWindow(const QString& number, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TDialWindow"));
    setWindowTitle(QStringLiteral("Dial Phone Number"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    number_ = new QLineEdit(number, this);
    number_->setObjectName(QStringLiteral("edNumber"));
    prefix_ = new QLineEdit(this);
    prefix_->setObjectName(QStringLiteral("edPrefix"));
    init_ = new QLineEdit(this);
    init_->setObjectName(QStringLiteral("edInit"));
    port_ = new QComboBox(this);
    port_->setObjectName(QStringLiteral("cbPort"));
    for (int i = 0; i < 4; ++i)
        port_->addItem(QStringLiteral("COM %1").arg(i + 1), QString::fromStdString(ComDevice(i)));
    for (const auto& info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
        if (name.startsWith(QStringLiteral("ttyUSB")) || name.startsWith(QStringLiteral("ttyACM")))
            port_->addItem(info.systemLocation(), info.systemLocation());
    }
    method_ = new QComboBox(this);
    method_->setObjectName(QStringLiteral("cbMethod"));
    method_->addItems({QStringLiteral("Tone"), QStringLiteral("Pulse")});
    form->addRow(QStringLiteral("Number to Dial"), number_);
    form->addRow(QStringLiteral("Prefix"), prefix_);
    form->addRow(QStringLiteral("Modem Initialization String"), init_);
    form->addRow(QStringLiteral("Port"), port_);
    form->addRow(QStringLiteral("Method"), method_);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    auto* dial = new QPushButton(QStringLiteral("Dial"), this);
    dial->setObjectName(QStringLiteral("btnDial"));
    dial->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    help_ = new QPushButton(QStringLiteral("Help"), this);
    help_->setObjectName(QStringLiteral("btnHelp"));
    buttons->addStretch(1);
    buttons->addWidget(dial);
    buttons->addWidget(cancel);
    buttons->addWidget(help_);
    layout->addLayout(buttons);
    connect(dial, &QPushButton::clicked, this, [this] { Dial(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const auto settings = store::ReadDialingSettings(store::SettingsFile::standard());
    prefix_->setText(ui::qs(settings.prefix));
    init_->setText(ui::qs(settings.init));
    port_->setCurrentIndex(std::clamp(settings.port, 0, 3));
    // A modem chosen by its device path last time, when it is still there.
    const std::string device =
        store::SettingsFile::standard().readString("Dialing", kDeviceKey, "");
    if (!device.empty())
        if (int i = port_->findData(ui::qs(device)); i >= 4)
            port_->setCurrentIndex(i);
    method_->setCurrentIndex(settings.method == 1 ? 1 : 0);
    line_ = SerialPortLine(this);
    ui::CenterDialog(*this);
}

QString TDialWindow::deviceAt(int index) const {
    return port_->itemData(index).toString();
}

DialResult TDialWindow::Dial() {
    // The help buttons go while the modem is driven, the pointer-help one too.
    help_->hide();
    for (auto* b : findChildren<QToolButton*>())
        if (b->text() == QLatin1String("?"))
            b->hide();
    auto settings = store::SettingsFile::standard();
    store::DialingSettings dialing = store::ReadDialingSettings(settings);
    dialing.prefix = prefix_->text().toStdString();
    dialing.init = init_->text().toStdString();
    // The port key holds COM ports only; another modem is kept by its path.
    const bool comPort = port_->currentIndex() < 4;
    if (comPort)
        dialing.port = port_->currentIndex();
    (void)settings.writeString("Dialing", kDeviceKey,
                               comPort ? std::string()
                                       : deviceAt(port_->currentIndex()).toStdString());
    dialing.method = method_->currentIndex();
    (void)store::WriteDialingSettings(settings, dialing);

    DialRequest request;
    request.number = (prefix_->text() + number_->text()).toStdString();
    request.init = dialing.init;
    request.pulse = dialing.method == 1;
    request.device = deviceAt(port_->currentIndex()).toStdString();
    return RunDial(request, line_);
}

} // namespace qp::addressbook
