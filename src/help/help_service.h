#pragma once
// The program's way into help: the viewer on a topic, and a help component
// for every window that has an entry table.
#include "help/help_table.h"

#include <functional>
#include <optional>

class QApplication;
class QWidget;

namespace qp::help {

class TODSHelp;

// Installs the print windows' help hook, watches windows as they open to
// give them their help component, and serves "What's this?" menus.
void InstallHelp(QApplication& app);

// The viewer: on a topic by context number (0 opens nothing), on its
// contents, on its keyword search, on the page about the viewer itself.
void ShowTopic(int topic);
void ShowContents();
void SearchHelp();
void HowToUseHelp();
// For the dialogs' setHelpHandler.
std::function<void(int)> TopicHandler();
// Replaces what ShowTopic does (tests); an empty function restores it.
void SetTopicOpener(std::function<void(int)> opener);

// The window's component, made from the table of its class (or of its
// objectName) when there is one; nothing when neither has a table.
TODSHelp* AttachHelp(QWidget& window);
// "qp::x::TName" -> "TName".
QString WindowKey(const QWidget& window);
std::optional<TODSHelpText> LoadWindowTable(const QString& key);
QStringList WindowTableKeys();

// The main window's Help menu items ("&Contents", "Search for Help On",
// "How to Use Help") are pointed at the viewer's modes.
void WireMainHelpMenu(QWidget& mainWindow);

} // namespace qp::help
