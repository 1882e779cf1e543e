#include "tests/editor/EditorTestKit.h"

#include <string>

namespace voltara::test {
namespace {

using FactoryProgramsTest = EditorTest;

// Each factory program, chosen while the editor is open, shows what a
// freshly opened editor shows for it.
TEST_F(FactoryProgramsTest, EveryProgramShowsTheSameWhetherChosenOpenOrOpenedAfterwards)
{
    installContent();
    openEditor();
    for (int32_t program = 0; program < 32; ++program) {
        host->dispatch(opSetProgram, 0, program);
        idle();
        const Area followed = area(wholeWindow);
        EXPECT_EQ(afterReopening(), followed) << "program " << program;
    }
}

} // namespace
} // namespace voltara::test
