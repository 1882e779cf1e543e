#include "gui/EditorBase.h"
#include "gui/Frame.h"
#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"
#include "platform/Window.h"
#include "platform/linux/Host.h"
#include "plugin/host/EffectBaseEx.h"
#include "tests/support/TestBitmaps.h"

#include <benchmark/benchmark.h>

// The editor's drawing costs: a full redraw of a 600 x 354 frame with a
// 24-bit background and 50 transparent strip views, and the idle passes
// that redraw what changed.

namespace voltara {

namespace {

constexpr int backgroundId = 7300;
constexpr int stripId = 7301;
constexpr int imageSide = 18;
constexpr int imageCount = 128;

void registerBitmaps()
{
    test::Picture background(600, 354);
    for (int y = 0; y < 354; ++y)
        for (int x = 0; x < 600; ++x)
            background.at(x, y) = uint32_t((x * 7) & 0xFF) << 16 | uint32_t((y * 3) & 0xFF) << 8 | 0x40;
    test::registerBitmap(backgroundId, test::dib24(background));
    // A knob strip: a dark disc on white (the transparent colour), one angle per image.
    test::Picture strip(imageSide, imageSide * imageCount, 0xFFFFFF);
    for (int i = 0; i < imageCount; ++i)
        for (int y = 0; y < imageSide; ++y)
            for (int x = 0; x < imageSide; ++x) {
                const int dx = 2 * x - imageSide + 1, dy = 2 * y - imageSide + 1;
                if (dx * dx + dy * dy < imageSide * imageSide)
                    strip.at(x, i * imageSide + y) = 0x202020 + uint32_t(i);
            }
    test::registerBitmap(stripId, test::dib8(strip, false));
}

// One image of a strip picked by a value, drawn with its transparent colour.
class StripView : public View {
public:
    StripView(const Rect& size, GuiBitmap* strip) : View(size), strip_(strip) { strip_->addReference(); }
    void draw(PaintContext* context) override
    {
        strip_->drawTransparent(context, size_, {0, imageSide * (image_ % imageCount)});
        setDirty(false);
    }
    void next()
    {
        ++image_;
        setDirty(true);
    }

private:
    ~StripView() override { strip_->dropReference(); }
    GuiBitmap* strip_;
    int image_ = 0;
};

class BenchPlugin : public EffectBaseEx {
public:
    BenchPlugin() : EffectBaseEx(nullptr, 1, 1) {}
    void processAccumulating(float**, float**, int32_t) override {}
};

class BenchEditor : public EditorBase {
public:
    explicit BenchEditor(BenchPlugin* plugin) : EditorBase(plugin) {}
    int32_t open(void* parent) override
    {
        EditorBase::open(parent);
        frame_ = new Frame({0, 0, 600, 354}, static_cast<platform::Window>(parent), this);
        auto* background = new GuiBitmap(backgroundId);
        frame_->setBackground(background);
        background->dropReference();
        auto* strip = new GuiBitmap(stripId);
        for (int i = 0; i < 50; ++i) {
            const int x = 10 + (i % 10) * 58, y = 20 + (i / 10) * 66;
            auto* view = new StripView({x, y, x + imageSide, y + imageSide}, strip);
            view->setDrawTransparent(true);
            views.push_back(view);
            frame_->addView(view);
        }
        strip->dropReference();
        return 1;
    }
    void close() override
    {
        EditorBase::close();
        views.clear();
    }
    std::vector<StripView*> views;
};

// An open editor, painted once, in a host window.
struct OpenEditor {
    OpenEditor()
    {
        registerBitmaps();
        platform::host::useSimulatedClock(1000);
        parent = platform::host::createParentWindow(600, 354);
        editor = new BenchEditor(&plugin);
        editor->open(parent);
        platform::host::pumpMessages();
        editor->idle();
    }
    ~OpenEditor()
    {
        editor->close();
        platform::DestroyWindow(parent);
        platform::host::pumpMessages();
    }
    BenchPlugin plugin; // deletes the editor
    BenchEditor* editor;
    platform::Window parent;
};

void benchmarkFullRedraw(benchmark::State& state)
{
    OpenEditor open;
    for (auto _ : state)
        open.editor->draw(nullptr);
}

void benchmarkIdleOneViewChanged(benchmark::State& state)
{
    OpenEditor open;
    StripView* view = open.editor->views[17];
    for (auto _ : state) {
        view->next();
        open.editor->idle();
    }
}

void benchmarkIdleNothingChanged(benchmark::State& state)
{
    OpenEditor open;
    for (auto _ : state)
        open.editor->idle();
}

} // namespace

BENCHMARK(benchmarkFullRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(benchmarkIdleOneViewChanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(benchmarkIdleNothingChanged)->Unit(benchmark::kNanosecond);

} // namespace voltara
