#include "tests/gui/GuiTestKit.h"

#include "gui/GuiBitmap.h"
#include "platform/Window.h"
#include "tests/support/TestBitmaps.h"

namespace voltara::test {

namespace host = platform::host;

pluginhost::HostCalls TestPlugin::host;
std::function<void(TestPlugin*, int32_t)> TestPlugin::onHostCall;

TestPlugin::TestPlugin() : EffectBaseEx(&pluginhost::HostCalls::callback, 1, 4)
{
    host.versionAnswer = 2400;
    host.recordCalls = true;
    host.respond = [this](const pluginhost::HostCalls::Call& call, void*) -> std::optional<intptr_t> {
        if (call.opcode == hostVersion)
            return std::nullopt;
        if (onHostCall)
            onHostCall(this, call.opcode);
        return 1;
    };
    host.attach(descriptor(), true);
}

TestEditor::TestEditor(TestPlugin* plugin, const Rect& size, GuiBitmap* background)
    : EditorBase(plugin), size_(size), background_(background)
{
    rect_ = {int16_t(size.top), int16_t(size.left), int16_t(size.bottom), int16_t(size.right)};
    if (background_)
        background_->addReference();
}

TestEditor::~TestEditor()
{
    close();
    if (background_)
        background_->dropReference();
}

int32_t TestEditor::open(void* parentWindow)
{
    EditorBase::open(parentWindow);
    frame_ = new Frame(size_, static_cast<platform::Window>(parentWindow), this);
    frame_->setBackground(background_);
    if (build)
        build(frame_);
    return 1;
}

void ProbeView::record(const std::string& what)
{
    if (log_)
        log_->push_back(name_ + " " + what);
}

void ProbeView::draw(PaintContext* context)
{
    ++draws;
    context->setFillColour(colour_);
    context->setFrameColour(colour_);
    context->fillRect(size_);
    context->drawArea(size_);
    setDirty(false);
}

void ProbeView::mouse(PaintContext*, Point where)
{
    lastWhere = where;
    record("mouse");
}

bool ProbeView::onDrop(char** items, int32_t count, int32_t type, Point where)
{
    lastWhere = where;
    droppedType = type;
    droppedCount = count;
    dropped.clear();
    if (type == 0)
        for (int32_t i = 0; i < count; ++i)
            dropped.emplace_back(items[i]);
    else
        dropped.emplace_back(*items);
    record("drop");
    return true;
}

int32_t ProbeView::onKeyDown(KeyRecord*)
{
    record("key");
    return keyAnswer;
}

bool ProbeView::onWheel(PaintContext*, Point where, float)
{
    lastWhere = where;
    record("wheel");
    return true;
}

void ProbeView::dropFocus(PaintContext*)
{
    record("dropFocus");
}

std::vector<float> RecordingObserver::values() const
{
    std::vector<float> all;
    for (const Change& change : changes)
        all.push_back(change.value);
    return all;
}

std::vector<float> RecordingObserver::distinct() const
{
    std::vector<float> all;
    for (const Change& change : changes)
        if (all.empty() || all.back() != change.value)
            all.push_back(change.value);
    return all;
}

uint32_t stripColour(int image)
{
    return uint32_t((image * 37 + 20) & 0xFF) << 16 | uint32_t((image * 11 + 5) & 0xFF) << 8 | uint32_t(image & 0x7F);
}

GuiBitmap* makeStrip(int id, int width, int imageHeight, int count)
{
    Picture picture(width, imageHeight * count);
    for (int k = 0; k < count; ++k)
        for (int y = 0; y < imageHeight; ++y)
            for (int x = 0; x < width; ++x)
                picture.at(x, k * imageHeight + y) = stripColour(k);
    registerBitmap(id, dib8(picture, true));
    return new GuiBitmap(id);
}

uint32_t GuiTest::pixel(int x, int y) const
{
    return host::readPixels(frame()->getSystemWindow()).pixel(x, y);
}

void GuiTest::SetUp()
{
    host::useSimulatedClock(10000);
    parent = host::createParentWindow(600, 354, 100, 60);
    host::pumpMessages();
    TestPlugin::host.calls.clear();
    TestPlugin::onHostCall = nullptr;
}

void GuiTest::TearDown()
{
    TestPlugin::onHostCall = nullptr;
    if (editor)
        editor->setKnobStyle(0); // the knob mode is process-wide
    delete plugin;               // and its editor
    platform::DestroyWindow(parent);
    host::pumpMessages();
    host::setInput({0, 0}, 0);
}

void GuiTest::openEditor(std::function<void(Frame*)> build, GuiBitmap* background)
{
    plugin = new TestPlugin;
    editor = new TestEditor(plugin, {0, 0, 600, 354}, background);
    editor->build = std::move(build);
    plugin->dispatch(opEditorOpen, 0, 0, parent, 0.0f);
}

platform::WinPoint GuiTest::screen(int x, int y) const
{
    return host::toScreen(frame()->getSystemWindow(), x, y);
}

void GuiTest::click(int x, int y, uint32_t held)
{
    const platform::WinPoint at = screen(x, y);
    host::play({host::at(0, at, held), host::at(20, at, 0)});
    host::runScript();
}

} // namespace voltara::test
