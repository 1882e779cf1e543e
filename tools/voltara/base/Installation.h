#pragma once

#include <string>

namespace voltara {

// Where the files that belong to this program lie, told from where its
// executable lies: in the build tree the plug-in is beside it and the
// factory content is the checkout's content/; once installed
// (`make install`) they are PREFIX/lib/voltara/voltara_fx.so and
// PREFIX/share/voltara/content beside PREFIX/bin/voltara.
namespace Installation {

// The folder of the running executable, without a trailing '/'.
std::string executableFolder();
// The plug-in library the tool loads unless --plugin names another.
std::string plugin();
// The factory content folder (holding Presets/Default.fxb).
std::string contentFolder();

} // namespace Installation
} // namespace voltara
