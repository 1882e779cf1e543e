#include "tools/voltara/editor/EditorSession.h"

#include "platform/Input.h"
#include "platform/PopupMenu.h"
#include "platform/Window.h"
#include "tools/voltara/base/ToolError.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace voltara {
namespace {

namespace host = platform::host;

constexpr int idlesPerPause = 3; // host idle calls whenever the script pauses

} // namespace

EditorSession::EditorSession(pluginhost::PluginInstance& plugin, const EditorScript& script)
    : plugin_(plugin), script_(script), log_(plugin)
{
    for (const EditorScript::Step& step : script.steps) {
        if (step.kind == EditorScript::Step::chooseEntry)
            menuAnswers_.push_back(&step);
        else if (step.kind == EditorScript::Step::selectPath)
            fileAnswers_.push_back(&step);
    }
    plugin.respond = [this](const pluginhost::HostCalls::Call& call, void* pointer) {
        return answer(call.opcode, call.index, pointer, call.opt);
    };
    host::setMenuChooser([this](const std::vector<host::MenuItem>& items, platform::WinPoint screen, uint32_t) {
        return choose(items, screen);
    });
}

EditorSession::~EditorSession()
{
    if (parent_) {
        plugin_.dispatch(opEditorClose);
        platform::DestroyWindow(parent_);
        host::pumpMessages();
    }
    host::setMenuChooser(nullptr);
    plugin_.respond = nullptr;
}

void EditorSession::open(intptr_t knobStyle)
{
    void* size = nullptr;
    if (plugin_.dispatch(opEditorGetRect, 0, 0, &size) == 0 || !size)
        throw ToolError("the plug-in has no editor");
    const EditorRect& rect = *static_cast<EditorRect*>(size);
    width_ = rect.right - rect.left;
    height_ = rect.bottom - rect.top;
    parent_ = host::createParentWindow(width_, height_);
    plugin_.dispatch(opEditorKnobStyle, 0, knobStyle);
    start_ = platform::GetTickCount();
    if (plugin_.dispatch(opEditorOpen, 0, 0, parent_) == 0)
        throw ToolError("the plug-in's editor did not open");
    pause();
}

void EditorSession::play()
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

void EditorSession::pause()
{
    for (int i = 0; i < idlesPerPause; ++i) {
        host::pumpMessages();
        plugin_.dispatch(opEditorIdle);
    }
    host::pumpMessages();
}

uint32_t EditorSession::elapsed() const
{
    return platform::GetTickCount() - start_;
}

void EditorSession::runMouse(std::vector<host::InputEvent>& events)
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

void EditorSession::pressKey(const EditorScript::Step& step)
{
    const float modifier = step.modifier;
    const intptr_t taken = plugin_.dispatch(opEditorKeyDown, 0, step.virtualKey, nullptr, modifier);
    plugin_.dispatch(opEditorKeyUp, 0, step.virtualKey, nullptr, modifier);
    if (taken == -1)
        log_.note("key (" + script_.where(step) + "): nothing took it");
}

void EditorSession::turnWheel(const EditorScript::Step& step)
{
    // Hosts have no request that passes the wheel on to this editor.
    log_.note("wheel (" + script_.where(step) + "): not passed on; the editor takes no wheel from its host");
}

const EditorScript::Step* EditorSession::takeAnswer(std::vector<const EditorScript::Step*>& answers)
{
    if (answers.empty() || answers.front()->time > elapsed())
        return nullptr;
    const EditorScript::Step* step = answers.front();
    answers.erase(answers.begin());
    return step;
}

const host::MenuItem* EditorSession::choose(const std::vector<host::MenuItem>& items, platform::WinPoint screen)
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

std::optional<intptr_t> EditorSession::answer(int32_t opcode, int32_t index, void* pointer, float opt)
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

intptr_t EditorSession::selectFile(FileSelectRecord& request)
{
    const bool folder = request.command == FileSelectRecord::chooseFolder;
    std::string text = std::string("file selector (") + (folder ? "folder" : "file") + ") \"" + request.title + "\"";
    if (request.initialPath && request.initialPath[0])
        text += " from \"" + std::string(request.initialPath) + "\"";
    const EditorScript::Step* step = takeAnswer(fileAnswers_);
    const bool chosen = step && !step->path.empty() && request.returnPath;
    if (chosen)
        std::snprintf(request.returnPath, FileSelectRecord::pathSize, "%s", step->path.c_str());
    log_.note(text + ": " + (chosen ? "\"" + step->path + "\"" : "cancelled"));
    return chosen ? 1 : 0;
}

std::vector<host::DrawnText> EditorSession::shownTexts() const
{
    std::vector<host::DrawnText> shown;
    for (host::DrawnText& drawn : host::takeDrawnTexts(parent_)) {
        const auto same = [&drawn](const host::DrawnText& t) {
            return t.rect.left == drawn.rect.left && t.rect.top == drawn.rect.top && t.rect.right == drawn.rect.right
                   && t.rect.bottom == drawn.rect.bottom;
        };
        shown.erase(std::remove_if(shown.begin(), shown.end(), same), shown.end());
        shown.push_back(std::move(drawn));
    }
    std::sort(shown.begin(), shown.end(), [](const host::DrawnText& a, const host::DrawnText& b) {
        return a.rect.top != b.rect.top ? a.rect.top < b.rect.top : a.rect.left < b.rect.left;
    });
    return shown;
}

} // namespace voltara
