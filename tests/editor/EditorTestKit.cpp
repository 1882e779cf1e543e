#include "tests/editor/EditorTestKit.h"

#include "platform/Window.h"

namespace voltara::test {

namespace host = platform::host;

namespace {

const char* const installPathValue = "HKEY_LOCAL_MACHINE/Software/Brenmark/Axewright Voltara/Install Path";
constexpr int toneRate = 44100;

} // namespace

int32_t controlWithTag(int32_t tag)
{
    const int32_t row = controlRowOf(tag);
    return row < 0 ? -1 : row + 1;
}

void EditorTest::SetUp()
{
    host::useSimulatedClock(10000);
    parent = host::createParentWindow(600, 354, 100, 60);
    host::pumpMessages();
}

void EditorTest::TearDown()
{
    host::setMenuChooser(nullptr);
    if (host) {
        host->dispatch(opEditorKnobStyle, 0, 0); // the knob mode is process-wide
        host->close();
    }
    host.reset();
    platform::DestroyWindow(parent);
    host::pumpMessages();
    host::setInput({0, 0}, 0);
}

void EditorTest::installContent()
{
    store.write(installPathValue, std::string(VOLTARA_SOURCE_DIR) + "/content");
    makeInstance();
}

std::string EditorTest::recordedContentFolder() const
{
    return store.read(installPathValue);
}

void EditorTest::makeInstance()
{
    if (host)
        return;
    host = std::make_unique<TestHost>();
    ASSERT_NE(host->open(), nullptr);
    host->calls.clear();
}

void EditorTest::openEditor()
{
    makeInstance();
    ASSERT_EQ(host->dispatch(opEditorOpen, 0, 0, parent), 1);
    open = true;
    host::pumpMessages(); // the first paint
    idle();
}

void EditorTest::closeEditor()
{
    host->dispatch(opEditorClose);
    host::pumpMessages();
    open = false;
}

void EditorTest::idle()
{
    host->dispatch(opEditorIdle);
    host::pumpMessages();
}

void EditorTest::click(int x, int y, uint32_t held)
{
    drag({{x, y}}, held);
}

void EditorTest::drag(const std::vector<Point>& points, uint32_t held)
{
    std::vector<host::InputEvent> script;
    uint32_t time = 0;
    for (const Point& point : points) {
        script.push_back(host::at(time, host::toScreen(parent, point.h, point.v), held));
        time += 20;
    }
    script.push_back(host::at(time, host::toScreen(parent, points.back().h, points.back().v), 0));
    host::play(script);
    host::runScript();
    idle();
}

void EditorTest::clickControl(int32_t number)
{
    const Rect& rect = rackControls[number - 1].rect;
    click((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void EditorTest::answerMenus(std::vector<int> entries)
{
    host::setMenuChooser([this, entries](const std::vector<host::MenuItem>& items, platform::WinPoint,
                                         uint32_t) -> const host::MenuItem* {
        lastMenu = items;
        const int entry = menusShown < int(entries.size()) ? entries[size_t(menusShown)] : -1;
        ++menusShown;
        return entry >= 0 && entry < int(items.size()) ? &items[size_t(entry)] : nullptr;
    });
}

void EditorTest::playAudio(int frames)
{
    host->start(float(toneRate), 512);
    std::vector<float> left(512), right(512);
    for (int done = 0; done < frames; done += 512) {
        for (int i = 0; i < 512; ++i)
            left[size_t(i)] = right[size_t(i)] = 0.3f * float((done + i) % 100 < 50 ? 1 : -1);
        host->process(left, right, false);
    }
}

uint32_t EditorTest::pixel(int x, int y) const
{
    return host::readPixels(parent).pixel(x, y);
}

Area EditorTest::area(const Rect& rect) const
{
    const host::Image image = host::readPixels(parent);
    Area shot{rect, {}};
    for (int y = rect.top; y < rect.bottom && y < image.height; ++y)
        for (int x = rect.left; x < rect.right && x < image.width; ++x)
            shot.pixels.push_back(image.pixel(x, y));
    return shot;
}

Area EditorTest::afterReopening(const Rect& rect)
{
    closeEditor();
    openEditor();
    return area(rect);
}

std::vector<TestHost::Call> EditorTest::callsOf(int32_t opcode) const
{
    return host->callsOf(opcode);
}

} // namespace voltara::test
