#pragma once

#include <string>

// The plug-in's key in the machine registry, as an installer and a user
// leave it.
namespace voltara::winhost::registry {

// The key with "Install Path" holding value; false when it cannot be written.
bool writeInstallPath(const std::string& value);
// The key without the value, as an installer that wrote no path leaves it.
bool removeInstallPath();
// No key at all.
bool removeKey();
// The value; empty when absent.
std::string installPath();

} // namespace voltara::winhost::registry
