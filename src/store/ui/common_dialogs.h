#pragma once
// The message boxes, window placement and printer check every window of the
// program shares. Tests replace the message boxes with a handler that
// records the text and gives the answer.

#include <QString>

#include <functional>

class QWidget;

namespace qp::ui {

// Information box titled "Information" with an Ok button.
void ShowInfo(const QString& text, QWidget* parent = nullptr);
// Yes is the default button.
bool AskYesNo(const QString& text, const QString& title, QWidget* parent = nullptr);
// No is the default button.
bool AskYesNoDefaultNo(const QString& text, const QString& title, QWidget* parent = nullptr);

enum class MessageKind { Info, YesNo, YesNoDefaultNo };
struct MessageRequest {
    MessageKind kind;
    QString text;
    QString title;
};
// Replaces the boxes (nullptr restores them); the handler's answer counts as
// Yes for the questions.
using MessageHandler = std::function<bool(const MessageRequest&)>;
void SetMessageHandler(MessageHandler handler);

// The main window, over which dialogs are centred.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();

// The window's class name without namespaces ("TAddressMain").
QString WindowClassName(const QWidget& window);

// Placement in the settings file, in the section named after the class (and
// the screen's pixels per inch when above 96).
void SaveWindowPlacement(QWidget& window);
void RestoreWindowPlacement(QWidget& window, bool designedMaximized = false);
// Centres over the main window, or on the screen when that is maximized or
// the window is the main window.
void CenterDialog(QWidget& window);

// True when printing is possible; otherwise says why in a message box.
bool CheckPrinterReady(QWidget* parent = nullptr);

inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace qp::ui
