#include "tools/voltara/commands/Commands.h"

#include "tools/jackhost/JackRack.h"
#include "tools/livehost/FileSelection.h"
#include "tools/livehost/LiveEditor.h"
#include "tools/livehost/ProgramStrip.h"
#include "tools/pluginhost/PluginInstance.h"
#include "tools/voltara/base/ArgumentList.h"
#include "tools/voltara/base/CommandLine.h"
#include "tools/voltara/base/StopRequest.h"
#include "tools/voltara/base/ToolError.h"
#include "tools/voltara/rack/RackSetup.h"
#include "tools/voltara/rack/SavedPlace.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

// voltara live: the rack as a JACK client for playing through it, with its
// editor on the display, MIDI control and the transport's tempo; the user's
// place is kept between runs.

namespace voltara {
namespace {

constexpr auto statusInterval = std::chrono::milliseconds(500); // between updates of the title and the strip
constexpr int waitMilliseconds = 50;                            // for signals and the server without a window
constexpr uint8_t pageUpKey = 15, pageDownKey = 16;             // virtual keys

struct LiveOptions {
    RackSetup setup;
    jackhost::JackRack::Settings jack;
    bool connect = false;
    bool window = true;
    bool fresh = false;
};

CommandLine commandLine(LiveOptions& o)
{
    CommandLine line("live [options]",
                     "Runs the rack as a JACK client for playing through it: two audio inputs (a guitar on the "
                     "first alone feeds both channels), two outputs and a MIDI input (program changes and the "
                     "controllers of voltara process --cc), tempo from the JACK transport, the editor in a window "
                     "(its strip's PREV and NEXT, or Page Up and Down, step through the programs). Ctrl-C or "
                     "closing the window ends it; the bank, program and edits are kept in "
                         + SavedPlace::inConfigFolder("live.session")
                         + " and come back at the next start, the options applied on top.");
    o.setup.addOptions(line, true);
    line.add(
        Option::text("--name", 0, "CLIENT", "voltara", "the JACK client's name", [&o](const std::string& name, double) {
            if (name.empty())
                throw ToolError("--name needs a client name");
            o.jack.clientName = name;
        }));
    line.add(Option::flag("--connect", 0,
                          "connect the first capture port to the first input and the outputs to the first two "
                          "playback ports (and a hardware MIDI source, if any, to the MIDI input)",
                          [&o] { o.connect = true; }));
    line.add(Option::flag("--no-window", 0, "run without a display, driven by MIDI alone", [&o] { o.window = false; }));
    line.add(Option::number("--tempo", "BPM", 1, 999, "120",
                            "the tempo in beats per minute while the JACK transport tells none",
                            [&o](const std::string&, double bpm) { o.jack.tempo = bpm; }));
    line.add(Option::flag("--fresh", 0,
                          "start from the factory bank (or --bank) instead of the place kept from the last run",
                          [&o] { o.fresh = true; }));
    return line;
}

livehost::ProgramStrip::Status statusOf(const pluginhost::PluginInstance& host, const jackhost::JackRack& jack)
{
    livehost::ProgramStrip::Status status;
    status.program = host.program();
    status.name = host.programName(status.program);
    status.load = jack.load().last;
    status.xruns = jack.xruns();
    return status;
}

// "3 Slow Phaser (PgUp/PgDn) · DSP 4% · 0 xruns"
std::string titleOf(const livehost::ProgramStrip::Status& status)
{
    char text[160];
    std::snprintf(text, sizeof text, "%d %s (PgUp/PgDn) \xc2\xb7 DSP %.0f%% \xc2\xb7 %llu xrun%s", int(status.program),
                  status.name.c_str(), std::ceil(status.load * 100.0), (unsigned long long)status.xruns,
                  status.xruns == 1 ? "" : "s");
    return text;
}

int run(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    LiveOptions options;
    std::vector<std::string> operands;
    if (!commandLine(options).parse(arguments, operands, 0, 0))
        return 0;

    pluginhost::LoadedPlugin host(options.setup.pluginPath());
    jackhost::JackRack jack(host, options.jack);
    const SavedPlace place(SavedPlace::inConfigFolder("live.session"));
    options.setup.loadBank(host);
    if (!options.fresh && !options.setup.bankGiven() && place.restore(host))
        note("took up the place kept in " + place.path());
    options.setup.choose(host);

    // The plug-in asks for its bank and content folder from the window.
    if (options.window)
        host.respond = [](const pluginhost::HostCalls::Call& call, void* pointer) {
            return livehost::answerFileRequest(call.opcode, pointer);
        };
    stopOnInterrupt();
    jack.start();
    if (std::string why; options.connect && !jack.connectToSystem(why))
        warn("--connect: " + why);
    std::fprintf(stderr, "%s: playing as JACK client \"%s\" at %.0f Hz, %u frames a period; Ctrl-C ends\n",
                 commandName().c_str(), jack.name().c_str(), jack.sampleRate(), jack.period());

    // The audio runs while the window opens, which may first ask for the
    // content folder.
    std::unique_ptr<livehost::LiveEditor> editor;
    std::unique_ptr<livehost::ProgramStrip> strip;
    if (options.window) {
        platform::x11::Presenter::Settings settings;
        settings.title = host.text(opGetEffectName);
        std::string why;
        editor = livehost::LiveEditor::open(host.descriptor(), settings, why, livehost::ProgramStrip::height);
        if (!editor)
            throw ToolError("cannot show the editor: " + why + " (--no-window runs without one)");
        // The strip's buttons and Page Up and Down step through the
        // programs, as a footswitch would; quick clicks each count, even
        // before the audio thread has made the last one current.
        const auto step = [&host, &jack](int by) {
            const int32_t count = host.descriptor()->programCount;
            const int32_t asked = jack.programAsked();
            jack.selectProgram(((asked >= 0 ? asked : host.program()) + by + count) % count);
        };
        strip =
            std::make_unique<livehost::ProgramStrip>(editor->presenter().window(), editor->height(), editor->width());
        strip->onStep = step;
        editor->hostKeys = [step](const platform::host::InputEvent& key) {
            if (key.virtualKey != pageUpKey && key.virtualKey != pageDownKey)
                return false;
            if (key.keyDown)
                step(key.virtualKey == pageDownKey ? 1 : -1);
            return true;
        };
    }

    std::string ending;
    auto nextStatus = std::chrono::steady_clock::now();
    const std::string title = host.text(opGetEffectName);
    for (;;) {
        if (stopRequested()) {
            ending = "stopped";
            break;
        }
        if (jack.serverGone()) {
            ending = "the JACK server went away";
            break;
        }
        if (!editor) {
            std::this_thread::sleep_for(std::chrono::milliseconds(waitMilliseconds));
            continue;
        }
        if (!editor->service(int(livehost::LiveEditor::idleInterval))) {
            ending = "the window was closed";
            break;
        }
        if (std::chrono::steady_clock::now() >= nextStatus) {
            const livehost::ProgramStrip::Status status = statusOf(host, jack);
            strip->show(status);
            editor->presenter().setTitle(title + " \xe2\x80\x94 " + titleOf(status));
            nextStatus += statusInterval;
        }
    }
    strip.reset();
    editor.reset();
    jack.stop();
    host.respond = nullptr;

    const jackhost::JackRack::Load load = jack.load();
    std::fprintf(stderr, "%s: %s after %.1f s: DSP load %.1f%% on average, %.1f%% at most; %llu xruns\n",
                 commandName().c_str(), ending.c_str(), double(load.cycles) * jack.period() / jack.sampleRate(),
                 load.mean * 100.0, load.peak * 100.0, (unsigned long long)jack.xruns());
    if (place.path().empty()) {
        warn("neither XDG_CONFIG_HOME nor HOME is set: the rack's place is not kept");
    } else {
        place.keep(host);
        note("kept program " + std::to_string(host.program()) + " \"" + host.programName(host.program())
             + "\" and the bank in " + place.path());
    }
    return jack.serverGone() ? 1 : 0;
}

const CommandRegistration registration({"live", "play through the rack live, as a JACK client", run});

} // namespace
} // namespace voltara
