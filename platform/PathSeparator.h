#pragma once

namespace voltara {

// Separator of folders in file paths on the system the library runs on.
#ifdef _WIN32
constexpr char pathSeparator = '\\';
#else
constexpr char pathSeparator = '/';
#endif

} // namespace voltara
