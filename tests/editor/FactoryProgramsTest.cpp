#include "tests/editor/EditorTestKit.h"

#include <string>

namespace voltara::test {
namespace {

const Rect wholeWindow{0, 0, 600, 354};

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
        closeEditor();
        openEditor();
        EXPECT_EQ(area(wholeWindow), followed) << "program " << program;
    }
}

} // namespace
} // namespace voltara::test
