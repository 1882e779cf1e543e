#pragma once

#include "tests/support/ProgramRun.h"
#include "tests/support/TempFolder.h"

#include <string>
#include <vector>

namespace voltara::test {

// Runs the built voltara program as a user would, with a registry of its own
// that points the plug-in at the checkout's content folder.
class VoltaraRun {
public:
    using Result = ProgramResult;

    VoltaraRun();
    Result operator()(const std::vector<std::string>& arguments) const;
    // A file in a scratch folder removed after the test.
    std::string file(const std::string& name) const { return scratch_.file(name); }
    // The registry folder that points the plug-in at the content folder.
    std::string registry() const { return scratch_.file("registry"); }
    // Program 0's name when the plug-in found and loaded its factory bank.
    bool factoryBankLoaded() const;

private:
    TempFolder scratch_;
};

} // namespace voltara::test
