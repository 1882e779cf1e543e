#include "editor/RackLayout.h"
#include "platform/Window.h"
#include "platform/linux/Host.h"
#include "tests/support/TestHost.h"

#include <benchmark/benchmark.h>

#include <set>

// The rack's editor as a host drives it, through the descriptor: opening it
// (controls built, first full paint), an idle pass with nothing to do, and a
// knob drag, with the views it redraws counted.

namespace voltara {

namespace {

namespace host = platform::host;

constexpr int32_t phaserRateKnob = 3; // control number of the layout
constexpr int32_t linearKnobs = 2;

struct HostedEditor {
    HostedEditor()
    {
        host::useSimulatedClock(1000);
        plugin.open();
        parent = host::createParentWindow(600, 354);
        host::pumpMessages();
    }
    ~HostedEditor()
    {
        plugin.close();
        platform::DestroyWindow(parent);
        host::pumpMessages();
    }
    void open()
    {
        plugin.dispatch(opEditorOpen, 0, 0, parent);
        host::pumpMessages(); // the first paint
        plugin.dispatch(opEditorIdle);
    }
    void close() { plugin.dispatch(opEditorClose); }

    test::TestHost plugin;
    platform::Window parent;
};

void benchmarkEditorOpen(benchmark::State& state)
{
    HostedEditor editor;
    editor.open(); // the bitmaps load at the first open only
    editor.close();
    for (auto _ : state) {
        editor.open();
        state.PauseTiming();
        editor.close();
        state.ResumeTiming();
    }
}

void benchmarkEditorIdleNothingChanged(benchmark::State& state)
{
    HostedEditor editor;
    editor.open();
    for (auto _ : state)
        editor.plugin.dispatch(opEditorIdle);
}

// One drag of the phaser rate knob through `steps` mouse positions; the
// counter is the number of views drawn while it ran (anything drawn outside
// every control counts as one more).
void benchmarkEditorKnobDrag(benchmark::State& state)
{
    const int steps = 20;
    HostedEditor editor;
    editor.open();
    editor.plugin.dispatch(opEditorKnobStyle, 0, linearKnobs);
    const Rect knob = rackControls[phaserRateKnob - 1].rect;
    const int x = (knob.left + knob.right) / 2, y = (knob.top + knob.bottom) / 2;
    std::set<int32_t> drawn;
    int direction = -1;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<host::InputEvent> script;
        for (int i = 0; i <= steps; ++i)
            script.push_back(
                host::at(uint32_t(20 * i), host::toScreen(editor.parent, x, y + direction * 5 * i), host::leftButton));
        script.push_back(host::at(uint32_t(20 * (steps + 1)), host::toScreen(editor.parent, x, y), 0));
        direction = -direction;
        host::takeDrawnAreas(editor.parent);
        host::play(script);
        state.ResumeTiming();
        host::runScript();
        editor.plugin.dispatch(opEditorIdle);
        state.PauseTiming();
        for (const platform::WinRect& area : host::takeDrawnAreas(editor.parent)) {
            int32_t inside = -1; // drawn outside every control
            for (int32_t row = 0; row < rackControlCount && inside < 0; ++row) {
                const Rect& r = rackControls[row].rect;
                if (area.left >= r.left && area.right <= r.right && area.top >= r.top && area.bottom <= r.bottom)
                    inside = row;
            }
            drawn.insert(inside);
        }
        state.ResumeTiming();
    }
    editor.plugin.dispatch(opEditorKnobStyle, 0, 0);
    state.counters["views_drawn"] = double(drawn.size());
}

} // namespace

BENCHMARK(benchmarkEditorOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(benchmarkEditorIdleNothingChanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(benchmarkEditorKnobDrag)->Unit(benchmark::kMillisecond);

} // namespace voltara
