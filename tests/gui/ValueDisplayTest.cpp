#include "tests/gui/GuiTestKit.h"

#include "gui/ValueDisplay.h"

#include <cstring>

namespace voltara::test {
namespace {

namespace host = platform::host;

struct ValueDisplayTest : GuiTest {
    ValueDisplay* add(const Rect& size, int32_t style)
    {
        auto* display = new ValueDisplay(size, nullptr, style);
        frame()->addView(display);
        return display;
    }
    // The pixels of a rectangle of the frame, row by row.
    std::vector<uint32_t> area(const Rect& r) const
    {
        const host::Image image = host::readPixels(frame()->getSystemWindow());
        std::vector<uint32_t> all;
        for (int y = r.top; y <= r.bottom; ++y)
            for (int x = r.left; x <= r.right; ++x)
                all.push_back(image.pixel(x, y));
        return all;
    }
};

void fixedText(float, char* text)
{
    std::strcpy(text, "0.50");
}

void otherText(float, char* text, void*)
{
    std::strcpy(text, "7");
}

TEST_F(ValueDisplayTest, WithoutHooksAValueShowsWithTwoDecimals)
{
    if (!host::fontsAvailable())
        GTEST_SKIP() << "no font for text";
    openEditor([](Frame*) {});
    ValueDisplay* plain = add({10, 10, 60, 30}, 0);
    plain->setValue(0.5f);
    ValueDisplay* hooked = add({10, 40, 60, 60}, 0);
    hooked->setTextFormatter(&fixedText);
    hooked->setValue(0.25f);
    host::pumpMessages();
    const std::vector<uint32_t> a = area({10, 10, 60, 30}), b = area({10, 40, 60, 60});
    EXPECT_EQ(a, b) << "0.5 shows as the text 0.50";
    int lit = 0;
    for (uint32_t p : a)
        lit += (p & 0xFF) > 0x80; // white text on black, smoothed
    EXPECT_GT(lit, 10);
    EXPECT_EQ(a.front(), 0u) << "the frame colour outlines the black field";

    hooked->setTextFormatter(&otherText, nullptr);
    hooked->setDirty(true);
    editor->idle();
    EXPECT_NE(area({10, 40, 60, 60}), a) << "the hook with user data goes first";
}

TEST_F(ValueDisplayTest, StyleBitsShapeTheDrawing)
{
    openEditor([](Frame*) {});
    ValueDisplay* raised = add({10, 10, 40, 30}, ValueDisplay::frame3dRaised | ValueDisplay::noText);
    raised->setBackColour(colours::yellow);
    raised->setFrameColour(colours::blue);
    ValueDisplay* sunken = add({50, 10, 80, 30}, ValueDisplay::frame3dSunken | ValueDisplay::noText);
    sunken->setBackColour(colours::yellow);
    sunken->setFrameColour(colours::blue);
    ValueDisplay* hidden = add({90, 10, 120, 30}, ValueDisplay::noDrawing);
    EXPECT_FALSE(hidden->isDirty()) << "starts as drawn";
    host::pumpMessages();
    EXPECT_EQ(pixel(10, 20), 0xFFFF00u) << "raised: left edge in the back colour";
    EXPECT_EQ(pixel(40, 20), 0x0000FFu) << "raised: right edge in the frame colour";
    EXPECT_EQ(pixel(50, 20), 0x0000FFu) << "sunken: left edge in the frame colour";
    EXPECT_EQ(pixel(80, 30), 0xFFFF00u) << "sunken: bottom right in the back colour";
    EXPECT_EQ(pixel(25, 20), 0xFFFF00u) << "no text";
    EXPECT_EQ(pixel(100, 20), 0xF0F0F0u) << "nothing drawn";
}

TEST_F(ValueDisplayTest, AShadowIsDrawnOnePixelRightAndDown)
{
    if (!host::fontsAvailable())
        GTEST_SKIP() << "no font for text";
    openEditor([](Frame*) {});
    ValueDisplay* display = add({10, 10, 60, 30}, ValueDisplay::shadowText);
    display->setValue(0.5f);
    host::pumpMessages();
    int red = 0;
    for (uint32_t p : area({10, 10, 60, 30}))
        red += (p >> 16) > 0x80 && (p & 0xFF) < 0x60; // red shadow under white text
    EXPECT_GT(red, 3);
}

TEST_F(ValueDisplayTest, SettersMarkDirtyOnlyOnARealChange)
{
    openEditor([](Frame*) {});
    ValueDisplay* display = add({10, 10, 60, 30}, 0);
    display->setDirty(false);
    display->setFont(3);
    display->setTextAlignment(1);
    display->setStyle(0);
    display->setTextFace(0);
    display->setFontColour(Colour{255, 255, 255, 9}); // only the unused byte differs
    display->setShadowColour(colours::red);
    EXPECT_FALSE(display->isDirty());
    display->setFrameColour(colours::green);
    EXPECT_TRUE(display->isDirty());
    display->setDirty(false);
    display->setFont(5);
    EXPECT_TRUE(display->isDirty());
}

} // namespace
} // namespace voltara::test
