#pragma once
// The edit boxes of the main window's record area: overtype typing unless
// the insert toggle is on, Enter to the next field, a double-click that asks
// for editing, and text Windows-1252 cannot hold refused with a message.

#include "addressbook/ui/dialog_support.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace qp::addressbook {

// The keyboard's insert toggle, shared by every record editor; off at start
// (typing replaces the character at the caret). The Insert key flips it.
bool InsertToggleOn();
void SetInsertToggle(bool on);

// The message for text that holds `character`, which Windows-1252 cannot.
QString Windows1252RefusalMessage(const QString& character);
// The first character of `text` Windows-1252 cannot hold, or empty.
QString FirstNonWindows1252Character(const QString& text);

// Refuses what Windows-1252 cannot hold (and says so once per refusal);
// turns letters to upper case when asked (the middle initial).
class TRecordFieldValidator : public TWindows1252Validator {
    Q_OBJECT
public:
    explicit TRecordFieldValidator(bool upperCase, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;
signals:
    void refused(const QString& character) const;

private:
    bool upperCase_;
};

class TRecordLineEdit : public QLineEdit {
    Q_OBJECT
public:
    // `field` is the address file field shown ("LNAME").
    TRecordLineEdit(const QString& field, bool upperCase, QWidget* parent = nullptr);
    const QString& field() const { return field_; }

signals:
    void editRequested();
    void refused(const QString& character);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString field_;
};

class TMemoEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TMemoEdit(QWidget* parent = nullptr);

signals:
    // Typing or a double-click while the box is read-only.
    void editRequested();
    void refused(const QString& character);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

// True for a key that types a character (overtype and edit-on-typing apply):
// not a control, navigation or function key.
bool TypesCharacter(const QKeyEvent& event);

} // namespace qp::addressbook
