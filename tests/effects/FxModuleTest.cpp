#include "effects/FxModule.h"
#include "effects/GuitarToneModule.h"
#include "effects/TempoSync.h"

#include <gtest/gtest.h>

#include <string>

namespace voltara {
namespace {

TEST(TempoSync, NoteSelection)
{
    const struct {
        float value;
        int32_t note;
        const char* moduleText;
        const char* editorText;
    } table[] = {
        {0.0f, 0, "16/4", "16/4"},
        {0.0628f, 0, "16/4", "16/4"},
        {0.0629f, 1, "8/4", "8/4"},
        {0.3f, 4, "1/2", "2/4"},
        {0.33f, 5, "1/4*", "1/4D"},
        {1.0f, 15, "1/32", "1/32"},
        // MIDI sends a hair above 1.0; hosts may send anything.
        {1.0000116f, 15, "1/32", "1/32"},
        {7.0f, 15, "1/32", "1/32"},
        {-0.5f, 0, "16/4", "16/4"},
    };
    for (const auto& row : table) {
        const int32_t k = TempoSync::noteIndex(row.value);
        EXPECT_EQ(k, row.note) << row.value;
        EXPECT_STREQ(TempoSync::moduleText[k], row.moduleText);
        EXPECT_STREQ(TempoSync::editorText[k], row.editorText);
    }
}

TEST(TempoSync, LengthTimesCyclesIsOneBeat)
{
    for (int32_t k = 0; k < TempoSync::noteCount; ++k)
        EXPECT_DOUBLE_EQ(TempoSync::lengthInBeats[k] * TempoSync::cyclesPerBeat[k], 1.0) << k;
    EXPECT_EQ(TempoSync::lengthInBeats[5], 1.5);
    EXPECT_EQ(TempoSync::cyclesPerBeat[3], 1.0 / 3.0);
}

TEST(FxModule, BaseStoresValuesAsReceivedAndWritesEmptyTexts)
{
    FxModule module;
    module.setParameter(3, 1.7f);
    EXPECT_EQ(module.getParameter(3), 1.7f);
    char text[16] = "x";
    module.getParameterName(-1, text);
    EXPECT_STREQ(text, "");
    module.getParameterText(8, text);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(module.getLfoLamp(), 0);
    float frame[2] = {0.3f, -0.3f};
    module.process(frame, 1, 0.0);
    EXPECT_EQ(frame[0], 0.3f);
}

TEST(FxModule, SwitchIsOnOnlyAboveOneHalf)
{
    const FxModule::Description description = {
        "Test",
        {"ON", "Mode"},
        {},
        {onOffSlot, switchSlot("DOWN", "UP")},
    };
    FxModule module(description);
    char text[16];
    const struct {
        float value;
        bool on;
        const char* onOff;
        const char* choice;
    } table[] = {{0.5f, false, "OFF", "DOWN"},
                 {0.50001f, true, "ON", "UP"},
                 {0.0f, false, "OFF", "DOWN"},
                 {1.0f, true, "ON", "UP"}};
    for (const auto& row : table) {
        EXPECT_EQ(FxModule::switchIsOn(row.value), row.on);
        module.setParameter(0, row.value);
        module.setParameter(1, row.value);
        module.getParameterText(0, text);
        EXPECT_STREQ(text, row.onOff);
        module.getParameterText(1, text);
        EXPECT_STREQ(text, row.choice);
    }
    module.getParameterText(2, text);
    EXPECT_STREQ(text, "");
}

TEST(GuitarToneModule, Defaults)
{
    GuitarToneModule module;
    const float expected[8] = {0.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 0.25f, 0.95f};
    for (int32_t slot = 0; slot < 8; ++slot)
        EXPECT_EQ(module.getParameter(slot), expected[slot]) << slot;
}

} // namespace
} // namespace voltara
