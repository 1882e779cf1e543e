#include "plugin/host/VendorCalls.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace voltara {
namespace {

using test::TestHost;

struct HostFace : ::testing::Test {
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }
    TestHost host;
};

TEST_F(HostFace, DescriptorOfAConstructedInstance)
{
    const PluginDescriptor* d = host.descriptor();
    EXPECT_EQ(d->magic, fourCharCode('M', 'o', 'x', 'P'));
    EXPECT_EQ(d->programCount, 32);
    EXPECT_EQ(d->parameterCount, 72);
    EXPECT_EQ(d->inputCount, 2);
    EXPECT_EQ(d->outputCount, 2);
    // 8 and 16 set by the rack, 2 and 4 cleared, 1 for the editor.
    EXPECT_EQ(d->flags, 25);
    EXPECT_EQ(d->version, 1);
    EXPECT_EQ(d->rateRatio, 1.0f);
    EXPECT_EQ(d->uniqueId, fourCharCode('K', 'R', 'f', 'x'));
    EXPECT_EQ(d->uniqueId, 0x4b526678);
    EXPECT_EQ(d->auxWord0, 0);
    EXPECT_EQ(d->hostUser, nullptr);
    EXPECT_NE(d->owner, nullptr);
    EXPECT_NE(d->processOverwriting, nullptr);
    const char* bytes = reinterpret_cast<const char*>(&d->magic);
    EXPECT_EQ(std::string(bytes, 4), "PxoM");
}

TEST_F(HostFace, ConstructionAsksVersionFirstThenNotifies)
{
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.front().opcode, hostVersion);
    EXPECT_EQ(host.countCalls(hostNotify14), 1);
    EXPECT_EQ(host.countCalls(hostWantEvents), 0);
}

struct OpcodeAnswer {
    int32_t opcode;
    intptr_t answer;
};

TEST_F(HostFace, PlainOpcodesAnswerTheRacksIdentity)
{
    const OpcodeAnswer table[] = {
        {opOpen, 0},
        {opGetProgram, 0},
        {opGetMeter, 0},
        {opEditorClose, 0},
        {opEditorIdle, 0},
        {16, 0},
        {17, 0},
        {18, 0},
        {20, 0},
        {21, 0},
        {opIdentity, 1316373862},
        {opGetStateBlock, 0},
        {opSetStateBlock, 0},
        {opCanAutomate, 1},
        {opParseParameterText, 0},
        {opGetProgramCategoryCount, 1},
        {opConnectInput, 1},
        {opConnectOutput, 1},
        {opGetInputInfo, 0},
        {opGetCategory, 0},
        {36, 0},
        {37, 0},
        {38, 0},
        {39, 0},
        {40, 0},
        {41, 0},
        {42, 0},
        {44, 0},
        {opGetErrorText, 0},
        {opGetVendorVersion, 1},
        {opVendorCall, 0},
        {opGetTailSize, 0},
        {opIdle, 0},
        {54, 0},
        {55, 0},
        {56, 0},
        {opKeysRequired, 1},
        {opGetInterfaceVersion, 2200},
        {opEditorKeyDown, -1}, // the editor is closed
        {opEditorKeyUp, -1},
        {opEditorKnobStyle, 1},
        {62, 0},
        {63, -1},
        {64, 0},
        {65, 0},
        {68, 0},
        {69, 0},
        {1000, 0},
        {-1, 0},
    };
    for (const OpcodeAnswer& row : table) {
        char scratch[256] = {};
        EXPECT_EQ(host.dispatch(row.opcode, 0, 0, scratch), row.answer) << "opcode " << row.opcode;
    }
}

TEST_F(HostFace, IdentityTexts)
{
    const struct {
        int32_t opcode;
        const char* text;
    } table[] = {
        {opGetEffectName, "AW Voltara FX"},
        {opGetVendorName, "Quillet / Brenmark"},
        {opGetProductName, "AW Voltara FX"},
    };
    for (const auto& row : table) {
        char text[256] = {};
        EXPECT_EQ(host.dispatch(row.opcode, 0, 0, text), 1);
        EXPECT_STREQ(text, row.text);
    }
    EXPECT_EQ(host.text(opGetParameterUnit, 10), "");
}

TEST_F(HostFace, CapabilityAnswersOneOrMinusOneNeverZero)
{
    const struct {
        const char* text;
        intptr_t answer;
    } table[] = {
        {"receiveMoxEvents", 1},  {"receiveMoxMidiEvent", 1}, {"sendMoxEvents", -1}, {"", -1},
        {"receivemoxevents", -1}, {"receiveMoxEventsX", -1},
    };
    for (const auto& row : table) {
        char text[64];
        std::strcpy(text, row.text);
        EXPECT_EQ(host.dispatch(opCapability, 0, 0, text), row.answer) << row.text;
    }
}

TEST_F(HostFace, OutputInfoForTheTwoOutputsOnly)
{
    for (int32_t index : {0, 1}) {
        OutputInfo info{};
        EXPECT_EQ(host.dispatch(opGetOutputInfo, index, 0, &info), 1);
        EXPECT_STREQ(info.label, "Gtr FX");
        EXPECT_EQ(info.flags, 3);
    }
    OutputInfo untouched;
    std::memset(&untouched, 0x5a, sizeof untouched);
    OutputInfo info = untouched;
    EXPECT_EQ(host.dispatch(opGetOutputInfo, 2, 0, &info), 0);
    EXPECT_EQ(std::memcmp(&info, &untouched, sizeof info), 0);
}

TEST_F(HostFace, ProgramOpcodeIgnoresNumbersOutOfRange)
{
    // Numbers that a 32-bit truncation would bring into range are refused too
    // (where the host's value is 64 bits wide).
    const int64_t outOfRange[] = {32, 40, -1, -4294967291LL, 4294967296LL + 5, INT64_MIN, INT64_MAX};
    for (int64_t program : outOfRange) {
        if (program != static_cast<intptr_t>(program))
            continue;
        EXPECT_EQ(host.dispatch(opSetProgram, 0, static_cast<intptr_t>(program)), 0);
        EXPECT_EQ(host.dispatch(opGetProgram), 0);
    }
    host.dispatch(opSetProgram, 0, 31);
    EXPECT_EQ(host.dispatch(opGetProgram), 31);
}

// A host reads any program's values without making it current: what is in
// force stays, and a later switch to the program shows the same values.
TEST_F(HostFace, ProgramQueryReadsAProgramWithoutMakingItCurrent)
{
    host.dispatch(opSetProgram, 0, 7);
    host.setParameter(26, 0.25f);
    host.dispatch(opSetProgram, 0, 2);
    host.setParameter(26, 0.75f);

    float values[72];
    std::fill(std::begin(values), std::end(values), -1.0f);
    EXPECT_EQ(host.dispatch(opVendorCall, VendorCall::programValues, 7, values), 1);
    EXPECT_EQ(host.dispatch(opGetProgram), 2);
    EXPECT_EQ(host.getParameter(26), 0.75f);
    EXPECT_EQ(values[26], 0.25f);
    host.dispatch(opSetProgram, 0, 7);
    for (int32_t index = 0; index < 72; ++index)
        EXPECT_EQ(values[index], host.getParameter(index)) << index;

    for (const intptr_t outside : {intptr_t(-1), intptr_t(32), intptr_t(INT32_MAX)})
        EXPECT_EQ(host.dispatch(opVendorCall, VendorCall::programValues, outside, values), 0) << outside;
    EXPECT_EQ(host.dispatch(opVendorCall, VendorCall::programValues, 3, nullptr), 0);
}

TEST_F(HostFace, BlockSizeAndRateOpcodeAnswersOne)
{
    EXPECT_EQ(host.dispatch(opSetBlockSizeAndRate, 0, 256, nullptr, 48000.0f), 1);
}

TEST_F(HostFace, CloseDestroysAndAnswersOne)
{
    EXPECT_EQ(host.close(), 1);
}

TEST(HostEntry, RefusesAHostThatAnswersVersionZero)
{
    TestHost host;
    host.versionAnswer = 0;
    EXPECT_EQ(host.open(), nullptr);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].opcode, hostVersion);
}

TEST(HostEntry, WithoutACallbackTheInstanceStillConstructs)
{
    TestHost host;
    PluginDescriptor* d = host.mainEntry()(nullptr);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->inputCount, 1);
    EXPECT_EQ(d->uniqueId, fourCharCode('N', 'o', 'E', 'f'));
    EXPECT_EQ(d->flags & ~DescriptorFlag::hasEditor, 0);
    // Every host call answers as if there were no host.
    std::vector<float> left(64, 0.25f), right(64, -0.25f);
    float* io[2] = {left.data(), right.data()};
    d->dispatch(d, opSuspendResume, 0, 1, nullptr, 0.0f);
    d->processOverwriting(d, io, io, 64);
    EXPECT_EQ(left[10], 0.25f);
    EXPECT_EQ(d->dispatch(d, opClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE(host.calls.empty());
}

TEST(HostEntry, InstancesAreIndependent)
{
    TestHost host;
    PluginDescriptor* a = host.open();
    PluginDescriptor* b = host.mainEntry()(nullptr);
    ASSERT_NE(b, nullptr);
    a->setParameter(a, 10, 0.9f);
    EXPECT_NE(b->getParameter(b, 10), 0.9f);
    b->dispatch(b, opClose, 0, 0, nullptr, 0.0f);
}

} // namespace
} // namespace voltara
