#pragma once
// One Quillpost per user and program folder: the first start listens on a
// local socket; a second start asks it to bring its window forward and ends.

#include <QObject>
#include <QString>

class QLocalServer;

namespace qp::addressbook {

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket name for this user and program folder.
    static QString ServerName();

    explicit TSingleInstance(QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this is the only running program (and now listens); false
    // when another one runs, which has been asked to come forward.
    bool Claim();

signals:
    void raiseRequested();

private:
    QLocalServer* server_ = nullptr;
};

// Brings `window` forward: restored when minimized, else raised and activated.
void BringForward(QWidget& window);

} // namespace qp::addressbook
