// libFuzzer target: any bytes as the readable source of a bank, read as
// `voltara bank build` reads it. A mistake must end in a ToolError naming
// the line, never a crash; a bank that reads holds values within 0 .. 1 and
// names the plug-in keeps, and written out again it reads back the same.
#include "tools/voltara/banks/BankText.h"
#include "tools/voltara/base/ToolError.h"

#include <cmath>
#include <string>

using namespace voltara;

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Bank bank;
    try {
        bank = BankText::parse(text, "fuzz");
    } catch (const ToolError&) {
        return 0;
    }
    for (const BankProgram& program : bank.programs) {
        check(program.name.size() <= programNameLimit);
        for (float value : program.values)
            check(std::isfinite(value) && value >= 0.0f && value <= 1.0f);
    }
    const Bank again = BankText::parse(BankText::format(bank, {}), "written");
    for (int p = 0; p < bankProgramCount; ++p) {
        check(again.programs[p].name == bank.programs[p].name);
        check(again.programs[p].values == bank.programs[p].values);
    }
    return 0;
}
