#include "addressbook/ui/record_editors.h"

#include "store/codepage.h"

#include <QKeyEvent>
#include <QMimeData>

namespace qp::addressbook {

namespace {
bool insertToggle = false;
} // namespace

bool InsertToggleOn() {
    return insertToggle;
}

void SetInsertToggle(bool on) {
    insertToggle = on;
}

QString Windows1252RefusalMessage(const QString& character) {
    return QStringLiteral("The character \"%1\" cannot be stored in an address file, which "
                          "holds only the characters of Windows-1252 (Western European). It "
                          "was not entered.")
        .arg(character);
}

QString FirstNonWindows1252Character(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QString one = text.mid(i, n);
        if (!store::utf8ToCp1252Exact(one.toStdString()))
            return one;
        i += n - 1;
    }
    return {};
}

bool TypesCharacter(const QKeyEvent& event) {
    if (event.text().isEmpty() ||
        event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QChar c = event.text().at(0);
    return c.isPrint() || c.isSurrogate();
}

TRecordFieldValidator::TRecordFieldValidator(bool upperCase, QObject* parent)
    : TWindows1252Validator(parent), upperCase_(upperCase) {}

QValidator::State TRecordFieldValidator::validate(QString& input, int& pos) const {
    if (upperCase_)
        input = input.toUpper();
    State state = TWindows1252Validator::validate(input, pos);
    if (state == Invalid)
        emit refused(FirstNonWindows1252Character(input));
    return state;
}

TRecordLineEdit::TRecordLineEdit(const QString& field, bool upperCase, QWidget* parent)
    : QLineEdit(parent), field_(field) {
    setObjectName(QStringLiteral("ed") + field);
    auto* validator = new TRecordFieldValidator(upperCase, this);
    connect(validator, &TRecordFieldValidator::refused, this, &TRecordLineEdit::refused);
    setValidator(validator);
}

void TRecordLineEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        SetInsertToggle(!InsertToggleOn());
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        focusNextChild();
        event->accept();
        return;
    }
    if (!isReadOnly() && !InsertToggleOn() && TypesCharacter(*event) && !hasSelectedText() &&
        cursorPosition() < text().size())
        cursorForward(true, 1);
    QLineEdit::keyPressEvent(event);
}

void TRecordLineEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (isReadOnly())
        emit editRequested();
    QLineEdit::mouseDoubleClickEvent(event);
}

TMemoEdit::TMemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("edMEMO"));
    setTabChangesFocus(true);
}

void TMemoEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        SetInsertToggle(!InsertToggleOn());
        event->accept();
        return;
    }
    const bool typing = TypesCharacter(*event) ||
                        ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                         event->modifiers() == Qt::NoModifier);
    if (typing && isReadOnly())
        emit editRequested();
    if (typing && !isReadOnly()) {
        QString bad = FirstNonWindows1252Character(event->text());
        if (!bad.isEmpty()) {
            emit refused(bad);
            event->accept();
            return;
        }
    }
    setOverwriteMode(!InsertToggleOn());
    QPlainTextEdit::keyPressEvent(event);
}

void TMemoEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (isReadOnly())
        emit editRequested();
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

void TMemoEdit::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText()) {
        QString bad = FirstNonWindows1252Character(source->text());
        if (!bad.isEmpty()) {
            emit refused(bad);
            return;
        }
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void TMemoEdit::inputMethodEvent(QInputMethodEvent* event) {
    QString bad = FirstNonWindows1252Character(event->commitString());
    if (!bad.isEmpty()) {
        emit refused(bad);
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

} // namespace qp::addressbook
