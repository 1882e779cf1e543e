#pragma once

// Marks a C entry that the host finds by name. On Windows the module-definition
// file exports the plain names; elsewhere the symbol is made visible and, where
// the C++ name cannot be the exported one (`main`), renamed in the object file.
#if defined(_WIN32)
#define VOLTARA_EXPORT
#define VOLTARA_EXPORT_NAME(name)
#else
#define VOLTARA_EXPORT __attribute__((visibility("default")))
#define VOLTARA_EXPORT_NAME(name) __asm__(name)
#endif
