#pragma once
// "Dial Phone Number": sends the dial sequence to a modem on a serial port.

#include "addressbook/dial_sequence.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace qp::addressbook {

class TDialWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 1040;
    TDialWindow(const QString& number, QWidget* parent = nullptr);

    // Dials with what the window shows.
    DialResult Dial();
    // The device behind a port list entry.
    QString deviceAt(int index) const;

    QLineEdit* numberBox() const { return number_; }
    QLineEdit* prefixBox() const { return prefix_; }
    QLineEdit* initBox() const { return init_; }
    QComboBox* portBox() const { return port_; }
    QComboBox* methodBox() const { return method_; }
    QPushButton* helpButton() const { return help_; }

    // Replaces the serial line (tests).
    void setLine(DialLine line) { line_ = std::move(line); }

private:
    QLineEdit* number_ = nullptr;
    QLineEdit* prefix_ = nullptr;
    QLineEdit* init_ = nullptr;
    QComboBox* port_ = nullptr;
    QComboBox* method_ = nullptr;
    QPushButton* help_ = nullptr;
    DialLine line_;
};

// A line on a Qt serial port: opened write-only, no settings changed.
DialLine SerialPortLine(QWidget* parent);

} // namespace qp::addressbook
