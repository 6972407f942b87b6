#include "addressbook/ui/single_instance.h"

#include "store/shared_routines.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

namespace qp::addressbook {

namespace {
constexpr char kRaise[] = "raise\n";
}

QString TSingleInstance::ServerName() {
    QByteArray folder = QByteArray::fromStdString(store::ProgramFolder());
    QString hash = QString::fromLatin1(
        QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(12));
    return QStringLiteral("quillpost-%1-%2").arg(getuid()).arg(hash);
}

TSingleInstance::TSingleInstance(QObject* parent) : QObject(parent) {}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Claim() {
    const QString name = ServerName();
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(500)) {
            probe.write(kRaise);
            probe.waitForBytesWritten(500);
            probe.disconnectFromServer();
            return false;
        }
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name)) {
        // A socket file left by a program that did not end cleanly.
        QLocalServer::removeServer(name);
        server_->listen(name);
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("raise"))
                    emit raiseRequested();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

void BringForward(QWidget& window) {
    if (window.isMinimized())
        window.showNormal();
    window.raise();
    window.activateWindow();
}

} // namespace qp::addressbook
