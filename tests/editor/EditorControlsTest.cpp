#include "tests/editor/EditorTestKit.h"

#include "editor/RateDisplay.h"
#include "effects/DelayModule.h"
#include "resources/DibFile.h"

#include <string>

// The editor's own controls: the rate displays' texts, the wah pedal and
// the modulation lamps.

namespace voltara::test {
namespace {

constexpr int32_t pedal = 12;
constexpr int32_t pedalControl = 41;

DibImage committedBitmap(int32_t id)
{
    std::vector<uint8_t> bytes;
    std::string error;
    DibImage image;
    const std::string path = std::string(VOLTARA_SOURCE_DIR) + "/resources/bitmaps/" + std::to_string(id) + ".bmp";
    EXPECT_TRUE(readFileBytes(path, bytes)) << path;
    EXPECT_TRUE(decodeDib(bytes, image, error)) << path << ": " << error;
    return image;
}

TEST(RateTextTest, NotesBelowOneAndAHalfAndFreeRatesByTheirOffset)
{
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {0.0f, "16/4"},  {1.0f, "1/32"},  {10.5f * 0.063f, "1/8"}, {0.5f, "1/4"},  {0.94f, "1/16T"},
        {-0.5f, "1/32"}, {1.49f, "1/32"}, {2.0f, "0.05"},          {2.5f, "0.71"}, {3.0f, "10.00"},
        {4.0f, "50"},    {4.5f, "662"},   {5.0f, "2500"},          {6.5f, "2.69"}, {7.0f, "10.00"},
        {8.5f, "8.00"},  {10.5f, "4.00"}, {11.0f, "16.00"},        {12.0f, ""},    {-250.5f, "1/32"},
    };
    for (const Case& c : cases) {
        char text[256] = "";
        convertRateText(c.value, text);
        EXPECT_STREQ(text, c.text) << c.value;
    }
    for (int note = 0; note < RateDisplay::noteCount; ++note) {
        EXPECT_EQ(std::string(RateDisplay::noteEntries[note]).size(), 11u) << note;
        char text[256] = "";
        convertRateText((float(note) + 0.5f) * 0.063f, text);
        EXPECT_STREQ(text, RateDisplay::noteLabels[note]) << "the rate a chosen note stores shows that note";
    }
}

// The delay's display shows the time the delay runs, as its parameter text
// gives it, at every rate.
TEST(RateTextTest, TheDelayDisplayShowsTheTimeTheDelayRuns)
{
    for (const float rate : {8000.0f, 44100.0f, 48000.0f, 192000.0f}) {
        DelayModule delay;
        delay.setSampleRate(rate);
        for (int step = 0; step <= 64; ++step) {
            const float time = float(step) / 64.0f;
            delay.setParameter(DelayModule::timeKnob, time);
            char parameterText[256] = "", shown[256] = "";
            delay.getParameterText(DelayModule::timeKnob, parameterText);
            convertRateText(time + 4.0f, shown);
            EXPECT_EQ(std::string(shown) + " ms", parameterText) << time << " at " << rate << " Hz";
        }
    }
}

using WahPedalTest = EditorTest;

TEST_F(WahPedalTest, TheMouseHeightMovesThePedalBetweenY110AndY310)
{
    openEditor();
    struct Case {
        int from, to;
        float value;
    };
    const Case cases[] = {{200, 105, 1.0f}, {200, 20, 1.0f}, {200, 315, 0.0f}, {300, 350, 0.0f}, {120, 210, 0.5f}};
    for (const Case& c : cases) {
        host->calls.clear();
        drag({{66, c.from}, {66, (c.from + c.to) / 2}, {66, c.to}});
        EXPECT_EQ(parameter(pedal), c.value) << "dragged to y " << c.to;
        ASSERT_EQ(callsOf(hostBeginGesture).size(), 1u);
        EXPECT_EQ(callsOf(hostBeginGesture)[0].index, pedal);
        EXPECT_EQ(callsOf(hostEndGesture).size(), 1u);
    }
}

TEST_F(WahPedalTest, ItShowsOneOfSixteenPicturesByItsValue)
{
    const DibImage pictures = committedBitmap(165);
    openEditor();
    struct Case {
        float value;
        int image;
    };
    const Case cases[] = {{1.0f, 15}, {0.944f, 15}, {0.943f, 14}, {0.881f, 14}, {0.88f, 13}, {0.0f, 0}, {0.5f, 7}};
    const Rect place = rackControls[pedalControl - 1].rect;
    for (const Case& c : cases) {
        setParameter(pedal, c.value);
        idle();
        const Area shown = area(place);
        Area expected{place, {}};
        const int left = place.width() * (c.image % 8), top = place.height() * (c.image / 8);
        for (int y = 0; y < place.height(); ++y)
            for (int x = 0; x < place.width(); ++x)
                expected.pixels.push_back(pictures.colourAt(left + x, top + y));
        EXPECT_EQ(shown, expected) << "value " << c.value << " shows image " << c.image;
    }
}

using LedTest = EditorTest;

TEST_F(LedTest, WithEveryModuleOffEveryLedShowsItsDarkImage)
{
    const DibImage moduleStrip = committedBitmap(171), wahStrip = committedBitmap(172);
    openEditor();
    for (int32_t on : {8, 16, 24, 32, 40, 64})
        setParameter(on, 1.0f);
    playAudio(20000);
    idle();
    for (int32_t on : {8, 16, 24, 32, 40, 64})
        setParameter(on, 0.0f);
    idle();
    for (int32_t led = 0; led < ledCount; ++led) {
        const Rect place = ledPlaces[led];
        const DibImage& strip = led == wahLed ? wahStrip : moduleStrip;
        for (int y = 0; y < place.height(); ++y)
            for (int x = 0; x < place.width(); ++x) {
                const uint32_t image = strip.colourAt(x, y);
                if (led == wahLed || image != 0xFFFFFFu) { // the module lamps are see-through on white
                    EXPECT_EQ(pixel(place.left + x, place.top + y), image)
                        << "lamp " << led << " at " << x << ", " << y;
                }
            }
    }
}

} // namespace
} // namespace voltara::test
