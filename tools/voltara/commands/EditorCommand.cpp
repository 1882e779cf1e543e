#include "tools/voltara/commands/Commands.h"

#include "platform/linux/Host.h"
#include "tools/livehost/FileSelection.h"
#include "tools/livehost/LiveEditor.h"
#include "tools/pluginhost/PluginInstance.h"
#include "tools/voltara/audio/GuitarPhrase.h"
#include "tools/voltara/base/ArgumentList.h"
#include "tools/voltara/base/CommandLine.h"
#include "tools/voltara/base/InputFile.h"
#include "tools/voltara/base/PendingFile.h"
#include "tools/voltara/base/StopRequest.h"
#include "tools/voltara/base/ToolError.h"
#include "tools/voltara/editor/EditorSession.h"
#include "tools/voltara/editor/PngFile.h"
#include "tools/voltara/rack/RackSetup.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

// voltara editor: opens the rack's editor in a window of our own, plays a
// script of mouse and key actions against it on a simulated clock, tells
// what the clicks did and writes a screenshot. With --live the editor is on
// the display instead, for the user's own mouse, until the window closes.

namespace voltara {
namespace {

namespace host = platform::host;

constexpr uint32_t clockStart = 10000; // ms; any start will do
constexpr std::size_t largestScript = 1 << 20;
constexpr int audioRate = 44100;
constexpr int audioBlock = 512;
constexpr double audioTempo = 120.0;
constexpr intptr_t linearKnobs = 2;

struct EditorOptions {
    RackSetup setup;
    bool live = false;
    std::string scriptPath; // empty: no script; "-": standard input
    intptr_t knobStyle = 0;
    double playSeconds = 1.0; // of the guitar phrase, so that the lamps show what they would
};

EditorScript readScript(const std::string& path)
{
    if (path.empty())
        return {};
    std::istringstream text(readInputFile(path, largestScript, "the script", true));
    return EditorScript::parse(text, path == "-" ? "standard input" : path);
}

// Plays the guitar phrase through the rack for a while, as a running host
// would, so that the lamps show the modulation.
void playAudio(pluginhost::PluginInstance& host, double seconds)
{
    const StereoAudio phrase = GuitarPhrase::synthesise(audioRate);
    const size_t frames = std::min(phrase.left.size(), size_t(seconds * audioRate));
    host.prepare(audioRate, audioBlock, audioTempo);
    host.resume();
    std::vector<float> left(audioBlock), right(audioBlock);
    for (size_t done = 0; done < frames; done += audioBlock) {
        const size_t count = std::min(frames - done, size_t(audioBlock));
        std::copy_n(phrase.left.begin() + long(done), count, left.begin());
        std::copy_n(phrase.right.begin() + long(done), count, right.begin());
        float* channels[2] = {left.data(), right.data()};
        host.process(channels, channels, int(count));
    }
}

std::vector<float> parameterValues(const pluginhost::PluginInstance& host)
{
    std::vector<float> values(size_t(host.descriptor()->parameterCount));
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = host.parameter(int(i));
    return values;
}

void printChanges(const pluginhost::PluginInstance& host, const std::vector<float>& before)
{
    std::printf("program %d \"%s\"\n", host.program(), host.programName(host.program()).c_str());
    const std::vector<float> after = parameterValues(host);
    std::string lines;
    for (size_t i = 0; i < after.size(); ++i) {
        if (after[i] == before[i])
            continue;
        char line[160];
        std::snprintf(line, sizeof line, "    %2zu %-12s %.4f -> %.4f  %s\n", i, host.parameterName(int(i)).c_str(),
                      double(before[i]), double(after[i]), host.parameterText(int(i)).c_str());
        lines += line;
    }
    std::printf("parameters changed:%s\n%s", lines.empty() ? " none" : "", lines.c_str());
}

// The options and usage of voltara editor.
CommandLine commandLine(EditorOptions& o)
{
    CommandLine line("editor OUT.png [options]\n       voltara editor --live [options]",
                     "Opens the rack's editor, plays a script of mouse and key actions against it, prints what "
                     "they changed and what the host was told, and writes a screenshot of the window. With --live "
                     "the editor opens on the display for the mouse and keys, the rack silent, until its window is "
                     "closed; then what changed is printed.");
    o.setup.addOptions(line);
    line.add(Option::flag("--live", 0, "the editor on the display (X11) instead of a script and a screenshot",
                          [&o]() { o.live = true; }));
    line.add(Option::text("--script", 0, "FILE|-", nullptr,
                          "mouse and key actions, one a line (see tools/README.md); - reads standard input",
                          [&o](const std::string& path, double) { o.scriptPath = path; }));
    line.add(Option::text("--knob-style", 0, "circular|linear", "circular", "how knobs follow the mouse",
                          [&o](const std::string& style, double) {
                              if (style != "circular" && style != "linear")
                                  throw ToolError("--knob-style is circular or linear, not \"" + style + "\"");
                              o.knobStyle = style == "linear" ? linearKnobs : 0;
                          }));
    line.add(Option::number("--play", "SECONDS", 0, 10, "1",
                            "the built-in guitar phrase played through the rack after the script, so that the "
                            "lamps show what they would",
                            [&o](const std::string&, double seconds) { o.playSeconds = seconds; }));
    return line;
}

int runLive(const EditorOptions& options)
{
    pluginhost::LoadedPlugin host(options.setup.pluginPath());
    options.setup.apply(host);
    // The host's answers while the editor is live: the desktop's file choosers.
    host.respond = [](const pluginhost::HostCalls::Call& call, void* pointer) {
        return livehost::answerFileRequest(call.opcode, pointer);
    };
    host.dispatch(opEditorKnobStyle, 0, options.knobStyle);
    const std::vector<float> before = parameterValues(host);
    std::string why;
    platform::x11::Presenter::Settings settings;
    settings.title = host.text(opGetEffectName);
    auto editor = livehost::LiveEditor::open(host.descriptor(), settings, why);
    if (!editor)
        throw ToolError("cannot show the editor: " + why);
    // Ctrl-C and termination close the window as its close button does.
    stopOnInterrupt();
    while (!stopRequested() && editor->service(int(livehost::LiveEditor::idleInterval))) {
    }
    editor.reset();
    host.respond = nullptr;
    printChanges(host, before);
    return 0;
}

int run(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    EditorOptions options;
    std::vector<std::string> operands;
    if (!commandLine(options).parse(arguments, operands, 0, 1))
        return 0;
    if (options.live) {
        if (!operands.empty())
            throw ToolError("--live shows the editor on the display: it takes no screenshot file");
        if (!options.scriptPath.empty())
            throw ToolError("--live takes the user's own mouse: it plays no script");
        return runLive(options);
    }
    if (operands.empty())
        throw ToolError("the screenshot needs a file name (or --live for the editor on the display)");
    const std::string& outPath = operands[0];
    // What the script did goes to standard output.
    if (outPath == "-")
        throw ToolError("the screenshot needs a file name: standard output carries the report");
    const EditorScript script = readScript(options.scriptPath);
    PendingFile out(outPath);

    // The clock runs only as the script moves it, so drags run at once and
    // the same way every time.
    host::useSimulatedClock(clockStart);
    pluginhost::LoadedPlugin host(options.setup.pluginPath());
    options.setup.apply(host);
    EditorSession session(host, script);
    session.open(options.knobStyle);
    const std::vector<float> before = parameterValues(host);
    session.play();
    if (options.playSeconds > 0) {
        playAudio(host, options.playSeconds);
        session.pause();
    }
    const host::Image image = session.screenshot();

    printChanges(host, before);
    session.log().print();
    const std::vector<host::DrawnText> texts = session.shownTexts();
    std::printf("displays:%s\n", texts.empty() ? " none" : "");
    for (const host::DrawnText& text : texts)
        std::printf("    (%d, %d)-(%d, %d) \"%s\"\n", text.rect.left, text.rect.top, text.rect.right, text.rect.bottom,
                    text.text.c_str());
    if (!writePng(out.temporaryPath(), image))
        throw ToolError("cannot write " + outPath);
    out.commit();
    std::printf("wrote %s (%d x %d)\n", outPath.c_str(), image.width, image.height);
    return 0;
}

const CommandRegistration registration({"editor", "play mouse and key actions on the editor and take a screenshot",
                                        run});

} // namespace
} // namespace voltara
