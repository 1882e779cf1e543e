// Build step: loads the built rack as a host does, puts the factory bank into
// its programs and writes the LV2 bundle's data and port table from what the
// rack reports.
//
//     voltara_lv2_generate PLUGIN BANK_TEXT TEMPLATE_FOLDER BUNDLE_FOLDER BINARY_NAME TABLE_SOURCE

#include "lv2/BundleWriter.h"
#include "tools/pluginhost/PluginInstance.h"
#include "tools/voltara/banks/BankText.h"
#include "tools/voltara/base/ToolError.h"

#include <cstdio>
#include <exception>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s PLUGIN BANK_TEXT TEMPLATE_FOLDER BUNDLE_FOLDER BINARY_NAME TABLE_SOURCE\n",
                     argv[0]);
        return 2;
    }
    try {
        using namespace voltara;
        pluginhost::LoadedPlugin host(argv[1]);
        const Bank bank = BankText::read(argv[2]);
        const auto rack = lv2::RackDescription::read(host, bank);
        lv2::BundleWriter::writeData(rack, argv[3], argv[4], argv[5]);
        std::ofstream table(argv[6], std::ios::binary);
        table << lv2::BundleWriter::portTableSource(rack);
        table.close();
        if (!table)
            throw ToolError(std::string("cannot write ") + argv[6]);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
}
