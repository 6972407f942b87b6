#pragma once
// Installs the services the print windows take from the program: window
// placement in the settings file (and, later, context help).

namespace qp::addressbook {

void InstallWindowHooks();

} // namespace qp::addressbook
