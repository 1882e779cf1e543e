#include "tests/support/VoltaraRun.h"

namespace voltara::test {

VoltaraRun::VoltaraRun()
{
    scratch_.write("registry/HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara/Install Path",
                   VOLTARA_SOURCE_DIR "/content");
}

VoltaraRun::Result VoltaraRun::operator()(const std::vector<std::string>& arguments) const
{
    return runProgram(VOLTARA_BINARY_DIR "/voltara", arguments, {"VOLTARA_REGISTRY=" + registry()}, scratch_);
}

bool VoltaraRun::factoryBankLoaded() const
{
    const std::string out = (*this)({"info"}).out;
    return out.find("0* \"default.fxb not found!\"") == std::string::npos
           && out.find("0* \"[nothing loaded]\"") == std::string::npos;
}

} // namespace voltara::test
