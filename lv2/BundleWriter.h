#pragma once

#include "lv2/RackDescription.h"

#include <string>

namespace voltara::lv2 {

// Writes what the build generates from a RackDescription: the bundle's data
// (the templates of this folder filled in) and the table the LV2 binary is
// compiled with. Equal descriptions give equal bytes.
namespace BundleWriter {

// manifest.ttl, voltara.ttl and presets.ttl from the *.ttl.in templates of
// templateFolder into bundleFolder; binaryName is the LV2 binary's file name.
// Throws ToolError when a file cannot be read or written.
void writeData(const RackDescription& rack, const std::string& templateFolder, const std::string& bundleFolder,
               const std::string& binaryName);

// The definitions PortTable.h declares.
std::string portTableSource(const RackDescription& rack);

} // namespace BundleWriter
} // namespace voltara::lv2
