#include "tools/voltara/Commands.h"

#include "platform/Input.h"
#include "platform/PopupMenu.h"
#include "platform/Window.h"
#include "platform/linux/Host.h"
#include "plugin/host/FileSelector.h"
#include "tools/voltara/ArgumentList.h"
#include "tools/voltara/CommandLine.h"
#include "tools/voltara/EditorScript.h"
#include "tools/voltara/GuitarPhrase.h"
#include "tools/voltara/PendingFile.h"
#include "tools/voltara/PluginHost.h"
#include "tools/voltara/PngFile.h"
#include "tools/voltara/RackSetup.h"
#include "tools/voltara/ToolError.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

// voltara editor: opens the rack's editor in a window of our own, plays a
// script of mouse and key actions against it on a simulated clock, tells
// what the clicks did and writes a screenshot.

namespace voltara {
namespace {

namespace host = platform::host;

constexpr uint32_t clockStart = 10000; // ms; any start will do
constexpr int idlesPerPause = 3;       // host idle calls whenever the script pauses
constexpr int audioRate = 44100;
constexpr int audioBlock = 512;
constexpr double audioTempo = 120.0;
constexpr intptr_t linearKnobs = 2;

struct EditorOptions {
    RackSetup setup;
    std::string scriptPath; // empty: no script; "-": standard input
    intptr_t knobStyle = 0;
    double playSeconds = 1.0; // of the guitar phrase, so that the LEDs show what they would
};

EditorScript readScript(const std::string& path)
{
    if (path.empty())
        return {};
    if (path == "-")
        return EditorScript::parse(std::cin, "standard input");
    std::ifstream file(path);
    if (!file)
        throw ToolError("cannot read the script " + path);
    return EditorScript::parse(file, path);
}

// What the host saw of the user's doing, in order: edits, automation, popup
// menus, file selectors.
class HostLog {
public:
    explicit HostLog(const PluginHost& host) : host_(host) {}

    void automation(int32_t index, float value)
    {
        if (!lines_.empty() && lines_.back().index == index && lines_.back().kind == Line::automate) {
            Line& run = lines_.back();
            run.last = value;
            ++run.count;
            return;
        }
        lines_.push_back({Line::automate, index, value, value, 1, {}});
    }
    void edit(bool begins, int32_t index) { lines_.push_back({begins ? Line::begin : Line::end, index, 0, 0, 0, {}}); }
    void note(std::string text) { lines_.push_back({Line::note, -1, 0, 0, 0, std::move(text)}); }

    void print() const
    {
        std::printf("host calls:%s\n", lines_.empty() ? " none" : "");
        for (const Line& line : lines_) {
            const std::string name = line.index >= 0 ? host_.parameterName(line.index) : "";
            switch (line.kind) {
            case Line::begin: std::printf("    begin edit   %2d %s\n", line.index, name.c_str()); break;
            case Line::end: std::printf("    end edit     %2d %s\n", line.index, name.c_str()); break;
            case Line::automate:
                if (line.count == 1)
                    std::printf("    automate     %2d %-12s %.4f\n", line.index, name.c_str(), double(line.first));
                else
                    std::printf("    automate     %2d %-12s %.4f .. %.4f (%d calls)\n", line.index, name.c_str(),
                                double(line.first), double(line.last), line.count);
                break;
            case Line::note: std::printf("    %s\n", line.text.c_str()); break;
            }
        }
    }

private:
    struct Line {
        enum Kind { begin, end, automate, note } kind;
        int32_t index;
        float first;
        float last;
        int count;
        std::string text;
    };
    const PluginHost& host_;
    std::vector<Line> lines_;
};

// The plug-in's editor open in a window of ours, and the answers the script
// gives to its popup menus and file selectors.
class EditorSession {
public:
    EditorSession(PluginHost& host, const EditorScript& script) : host_(host), script_(script), log_(host)
    {
        for (const EditorScript::Step& step : script.steps) {
            if (step.kind == EditorScript::Step::chooseEntry)
                menuAnswers_.push_back(&step);
            else if (step.kind == EditorScript::Step::selectPath)
                fileAnswers_.push_back(&step);
        }
        host.setCallHandler([this](int32_t opcode, int32_t index, intptr_t, void* pointer, float opt) {
            return answer(opcode, index, pointer, opt);
        });
        host::setMenuChooser([this](const std::vector<host::MenuItem>& items, platform::WinPoint screen, uint32_t) {
            return choose(items, screen);
        });
    }

    ~EditorSession()
    {
        if (parent_) {
            host_.ask(opEditorClose);
            platform::DestroyWindow(parent_);
            host::pumpMessages();
        }
        host::setMenuChooser(nullptr);
        host_.setCallHandler(nullptr);
    }

    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    void open(intptr_t knobStyle)
    {
        void* size = nullptr;
        if (host_.ask(opEditorGetRect, 0, 0, &size) == 0 || !size)
            throw ToolError("the plug-in has no editor");
        const EditorRect& rect = *static_cast<EditorRect*>(size);
        width_ = rect.right - rect.left;
        height_ = rect.bottom - rect.top;
        parent_ = host::createParentWindow(width_, height_);
        host_.ask(opEditorKnobStyle, 0, knobStyle);
        start_ = platform::GetTickCount();
        if (host_.ask(opEditorOpen, 0, 0, parent_) == 0)
            throw ToolError("the plug-in's editor did not open");
        pause();
    }

    // Mouse actions go to the window system as one timed script, which the
    // controls follow in their own loops; keys and the wheel go through the
    // host between them.
    void play()
    {
        std::vector<host::InputEvent> mouse;
        for (const EditorScript::Step& step : script_.steps) {
            if (step.kind == EditorScript::Step::input) {
                mouse.push_back(host::at(step.time, host::toScreen(parent_, step.x, step.y), step.held));
            } else if (step.kind == EditorScript::Step::key || step.kind == EditorScript::Step::wheel) {
                runMouse(mouse);
                if (step.kind == EditorScript::Step::key)
                    pressKey(step);
                else
                    turnWheel(step);
                pause();
            }
        }
        runMouse(mouse);
        if (!error_.empty())
            throw ToolError(error_);
        for (const EditorScript::Step* unused : menuAnswers_)
            std::fprintf(stderr, "voltara editor: %s: no popup menu opened for this answer\n",
                         script_.where(*unused).c_str());
        for (const EditorScript::Step* unused : fileAnswers_)
            std::fprintf(stderr, "voltara editor: %s: no file selector opened for this answer\n",
                         script_.where(*unused).c_str());
    }

    // What a host's idle timer gives the editor while the user pauses.
    void pause()
    {
        for (int i = 0; i < idlesPerPause; ++i) {
            host::pumpMessages();
            host_.ask(opEditorIdle);
        }
        host::pumpMessages();
    }

    host::Image screenshot() const { return host::readPixels(parent_); }
    const HostLog& log() const { return log_; }

private:
    uint32_t elapsed() const { return platform::GetTickCount() - start_; }

    void runMouse(std::vector<host::InputEvent>& events)
    {
        if (events.empty())
            return;
        const uint32_t now = elapsed();
        for (host::InputEvent& event : events)
            event.time = event.time > now ? event.time - now : 0;
        host::play(events);
        host::runScript();
        events.clear();
        pause();
    }

    void pressKey(const EditorScript::Step& step)
    {
        const float modifier = step.modifier;
        const intptr_t taken = host_.ask(opEditorKeyDown, 0, step.virtualKey, nullptr, modifier);
        host_.ask(opEditorKeyUp, 0, step.virtualKey, nullptr, modifier);
        if (taken == -1)
            log_.note("key (" + script_.where(step) + "): nothing took it");
    }

    void turnWheel(const EditorScript::Step& step)
    {
        // Hosts have no request that passes the wheel on to this editor.
        log_.note("wheel (" + script_.where(step) + "): not passed on; the editor takes no wheel from its host");
    }

    // The earliest answer the script has given by now, taken.
    const EditorScript::Step* takeAnswer(std::vector<const EditorScript::Step*>& answers)
    {
        if (answers.empty() || answers.front()->time > elapsed())
            return nullptr;
        const EditorScript::Step* step = answers.front();
        answers.erase(answers.begin());
        return step;
    }

    const host::MenuItem* choose(const std::vector<host::MenuItem>& items, platform::WinPoint screen)
    {
        std::string checked;
        for (const host::MenuItem& item : items)
            if (item.flags & platform::MF_CHECKED)
                checked = ", \"" + item.text + "\" checked";
        const platform::WinPoint origin = host::toScreen(parent_, 0, 0);
        std::string text = "popup menu at " + std::to_string(screen.x - origin.x) + ", "
                           + std::to_string(screen.y - origin.y) + " (" + std::to_string(items.size()) + " entries"
                           + checked + "): ";
        const EditorScript::Step* step = takeAnswer(menuAnswers_);
        const host::MenuItem* chosen = nullptr;
        // Nothing may be thrown through the plug-in: the error waits until the script is done.
        if (step && step->entry >= int(items.size()) && error_.empty())
            error_ = script_.where(*step) + ": the menu has only " + std::to_string(items.size()) + " entries";
        else if (step && step->entry >= 0)
            chosen = &items[size_t(step->entry)];
        log_.note(text + (chosen ? "entry " + std::to_string(step->entry) + " \"" + chosen->text + "\"" : "closed"));
        return chosen;
    }

    std::optional<intptr_t> answer(int32_t opcode, int32_t index, void* pointer, float opt)
    {
        switch (opcode) {
        case hostAutomate: log_.automation(index, opt); return std::nullopt;
        case hostBeginGesture: log_.edit(true, index); return 1;
        case hostEndGesture: log_.edit(false, index); return 1;
        case hostCapability:
            return pointer && std::strcmp(static_cast<const char*>(pointer), "openFileSelector") == 0 ? 1 : 0;
        case hostOpenFileSelector: return pointer ? selectFile(*static_cast<FileSelectRecord*>(pointer)) : 0;
        default: return std::nullopt;
        }
    }

    intptr_t selectFile(FileSelectRecord& request)
    {
        const bool folder = request.command == FileSelectRecord::chooseFolder;
        std::string text =
            std::string("file selector (") + (folder ? "folder" : "file") + ") \"" + request.title + "\"";
        if (request.initialPath && request.initialPath[0])
            text += " from \"" + std::string(request.initialPath) + "\"";
        const EditorScript::Step* step = takeAnswer(fileAnswers_);
        const bool chosen = step && !step->path.empty() && request.returnPath;
        if (chosen)
            std::snprintf(request.returnPath, FileSelectRecord::pathSize, "%s", step->path.c_str());
        log_.note(text + ": " + (chosen ? "\"" + step->path + "\"" : "cancelled"));
        return chosen ? 1 : 0;
    }

    PluginHost& host_;
    const EditorScript& script_;
    HostLog log_;
    std::vector<const EditorScript::Step*> menuAnswers_;
    std::vector<const EditorScript::Step*> fileAnswers_;
    platform::Window parent_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    uint32_t start_ = 0;
    std::string error_;
};

// Plays the guitar phrase through the rack for a while, as a running host
// would, so that the LEDs show the modulation.
void playAudio(PluginHost& host, double seconds)
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

std::vector<float> parameterValues(const PluginHost& host)
{
    std::vector<float> values(size_t(host.descriptor().parameterCount));
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = host.parameter(int(i));
    return values;
}

void printChanges(const PluginHost& host, const std::vector<float>& before)
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
    CommandLine line("editor OUT.png [options]",
                     "Opens the rack's editor, plays a script of mouse and key actions against it, prints what "
                     "they changed and what the host was told, and writes a screenshot of the window.");
    o.setup.addOptions(line);
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
                            "LEDs show what they would",
                            [&o](const std::string&, double seconds) { o.playSeconds = seconds; }));
    return line;
}

int run(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    EditorOptions options;
    std::vector<std::string> operands;
    if (!commandLine(options).parse(arguments, operands, 1, 1))
        return 0;
    const std::string& outPath = operands[0];
    // What the script did goes to standard output.
    if (outPath == "-")
        throw ToolError("the screenshot needs a file name: standard output carries the report");
    const EditorScript script = readScript(options.scriptPath);
    PendingFile out(outPath);

    // The clock runs only as the script moves it, so drags run at once and
    // the same way every time.
    host::useSimulatedClock(clockStart);
    PluginHost host(options.setup.pluginPath());
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
