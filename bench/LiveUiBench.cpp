#include "editor/RackLayout.h"
#include "lv2/PortTable.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/lv2/Lv2Host.h"
#include "tests/support/lv2/Lv2UiHost.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

// The editor live on an X server of the benchmark's own, as the LV2 plug-in's
// UI in a host: from a change of a control on the host's side (its port
// event) to the new pixels on the X server, and what an open editor at rest
// costs while the host gives it idle time 30 times a second.

namespace voltara {
namespace {

constexpr int32_t phaserRate = 26;
constexpr uint32_t frames = 256;

double processSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

struct LiveUi {
    LiveUi()
    {
        if (!display.running())
            throw std::runtime_error(display.failure());
        // The content installed, so that the editor asks for nothing as it opens.
        if (test::runProgram(VOLTARA_BINARY_DIR "/voltara", {"content", "set", VOLTARA_SOURCE_DIR "/content"},
                             {"VOLTARA_REGISTRY=" + store.path()}, store)
                .status
            != 0)
            throw std::runtime_error("cannot record the content folder");
        plugin = std::make_unique<test::Lv2Host>(VOLTARA_LV2_BUNDLE, VOLTARA_LV2_BINARY, test::Lv2Host::Setup{});
        viewer = XOpenDisplay(display.name().c_str());
        hostWindow = XCreateSimpleWindow(viewer, DefaultRootWindow(viewer), 0, 0, 600, 354, 0, 0, 0);
        XMapWindow(viewer, hostWindow);
        XSync(viewer, False);
        plugin->activate();
        run();
        ui = std::make_unique<test::Lv2UiHost>(*plugin, VOLTARA_LV2_UI_BINARY, hostWindow, test::Lv2UiHost::Offer{});
        for (int i = 0; i < 10; ++i) {
            ui->idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~LiveUi()
    {
        ui.reset();
        XCloseDisplay(viewer);
    }
    void run()
    {
        std::vector<float> silence(frames, 0.0f), out(frames);
        plugin->run(silence.data(), silence.data(), out.data(), out.data(), frames);
    }
    // The knob's pixels as the X server holds them.
    std::vector<uint32_t> knob()
    {
        const Rect& r = rackControls[controlRowOf(phaserRate)].rect;
        XImage* image = XGetImage(viewer, ui->widget(), r.left, r.top, unsigned(r.right - r.left),
                                  unsigned(r.bottom - r.top), AllPlanes, ZPixmap);
        std::vector<uint32_t> pixels;
        for (int y = 0; image && y < r.bottom - r.top; ++y)
            for (int x = 0; x < r.right - r.left; ++x)
                pixels.push_back(uint32_t(XGetPixel(image, x, y)));
        if (image)
            XDestroyImage(image);
        return pixels;
    }
    uint32_t port() const
    {
        for (uint32_t i = 0; i < lv2::controlPortCount; ++i)
            if (lv2::controlParameter[i] == phaserRate)
                return lv2::firstControlPort + i;
        return 0;
    }

    test::VirtualDisplay display;
    ScopedEnvironment displayForTheUi{"DISPLAY", display.name().c_str()}; // as the host's own
    TempFolder store;
    ScopedEnvironment registry{"VOLTARA_REGISTRY", store.path().c_str()};
    Display* viewer = nullptr;
    Window hostWindow = 0;
    std::unique_ptr<test::Lv2Host> plugin;
    std::unique_ptr<test::Lv2UiHost> ui;
};

// A control port changed by the host (automation, a preset, its generic
// controls) until the knob shows it on the X server.
void benchmarkHostChangeToPixels(benchmark::State& state)
{
    LiveUi live;
    const uint32_t port = live.port();
    live.ui->portEvent(port, live.plugin->control(port)); // the port as it stands
    float value = 0.1f;
    for (auto _ : state) {
        const std::vector<uint32_t> before = live.knob();
        value = value < 0.5f ? 0.9f : 0.1f;
        live.ui->portEvent(port, value);
        // The host's next idle call draws it (hosts call at 30 Hz or more).
        while (live.knob() == before)
            live.ui->idle();
    }
}
BENCHMARK(benchmarkHostChangeToPixels)->Unit(benchmark::kMillisecond)->UseRealTime();

// The share of one core the process spends while the open editor rests and
// the host calls its idle 30 times a second.
void benchmarkEditorAtRest(benchmark::State& state)
{
    LiveUi live;
    constexpr double seconds = 3.0;
    for (auto _ : state) {
        const double cpu = processSeconds();
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
            live.ui->idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(33));
        }
        state.counters["core_percent"] = (processSeconds() - cpu) / seconds * 100.0;
    }
}
BENCHMARK(benchmarkEditorAtRest)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
} // namespace voltara
