#include "tests/windows/Checks.h"

#include "plugin/host/FileSelector.h"
#include "tests/windows/HostWindow.h"
#include "tests/windows/InputScript.h"
#include "tests/windows/Registry.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace voltara::winhost {

namespace {

// Waits on a thread of its own for a message box of this process, notes its
// caption and text, and clicks its OK button as a user does.
class MessageBoxAnswer {
public:
    void start() { thread_ = CreateThread(nullptr, 0, &MessageBoxAnswer::answer, this, 0, nullptr); }
    void finish()
    {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }

    bool seen = false;
    std::string caption;
    std::string text;

private:
    static DWORD WINAPI answer(void* self)
    {
        auto& box = *static_cast<MessageBoxAnswer*>(self);
        HWND dialog = nullptr;
        for (int tries = 0; tries < 500 && !(dialog && IsWindowVisible(dialog)); ++tries) {
            Sleep(10);
            dialog = FindWindowA("#32770", nullptr);
        }
        if (!dialog)
            return 0;
        char buffer[256] = {};
        GetWindowTextA(dialog, buffer, sizeof buffer);
        box.caption = buffer;
        GetDlgItemTextA(dialog, 0xFFFF, buffer, sizeof buffer); // the message's static text
        box.text = buffer;
        box.seen = true;
        RECT button;
        GetWindowRect(GetDlgItem(dialog, IDOK), &button);
        SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        Sleep(100);
        for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            INPUT input = {};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = flag;
            SendInput(1, &input, sizeof input);
            Sleep(100);
        }
        return 0;
    }

    HANDLE thread_ = nullptr;
};

// What the plug-in asked the host's file selector.
struct SelectorRequest {
    int count = 0;
    int32_t command = -1;
    std::string title;
    std::string initialPath;
    std::string extension;
};

// Answers the file selector with path, and says the host has one.
void answerSelector(PluginInstance& instance, SelectorRequest& request, const std::string& path)
{
    instance.respond = [&request, path](const PluginInstance::Call& call, void* pointer) -> std::optional<intptr_t> {
        if (call.opcode == hostCapability)
            return std::strcmp(static_cast<const char*>(pointer), "openFileSelector") == 0 ? 1 : 0;
        if (call.opcode != hostOpenFileSelector)
            return std::nullopt;
        auto* record = static_cast<FileSelectRecord*>(pointer);
        ++request.count;
        request.command = record->command;
        request.title = record->title;
        request.initialPath = record->initialPath ? record->initialPath : "";
        request.extension = record->types ? record->types->extension : "";
        std::strncpy(record->returnPath, path.c_str(), FileSelectRecord::pathSize - 1);
        return 1;
    };
}

int editorWidth(PluginInstance& instance, int& height)
{
    EditorRect* rect = nullptr;
    instance.dispatch(opEditorGetRect, 0, 0, &rect);
    height = rect ? rect->bottom - rect->top : 0;
    return rect ? rect->right - rect->left : 0;
}

// Without the registry value the editor asks for the content folder when it
// opens, stores it in the machine registry when the installer made the key,
// and tells the user in a message box to reload the plug-in (or to reinstall
// it when there is no key to store the folder in).
void checkContentPrompt(CheckLog& log, const PluginDll& dll, const std::string& folder)
{
    struct Case {
        const char* what;
        bool keyPresent;
        const char* message;
        bool stored;
    };
    const Case cases[] = {
        {"the key without Install Path", true, "Please reload the plug-in", true},
        {"no key", false, "Please reinstall the plug-in", false},
    };
    for (const Case& c : cases) {
        const std::string what = std::string("content prompt, ") + c.what + ": ";
        if (!log.check(c.keyPresent ? registry::removeInstallPath() : registry::removeKey(),
                       what + "registry prepared"))
            continue;
        PluginInstance instance(dll);
        if (!log.check(instance.descriptor() != nullptr, what + "main gives an instance"))
            continue;
        SelectorRequest request;
        answerSelector(instance, request, folder);
        int height = 0;
        const int width = editorWidth(instance, height);
        HostWindow host(width, height);
        MessageBoxAnswer box;
        box.start();
        const bool opened = instance.dispatch(opEditorOpen, 0, 0, host.get()) != 0;
        box.finish();
        runHost(instance, 300);
        log.check(opened, what + "the editor opens");
        log.check(request.count == 1 && request.command == FileSelectRecord::chooseFolder,
                  what + "the host's selector is asked for a folder", "\"" + request.title + "\"");
        log.check(box.seen && box.text == c.message && box.caption == "Axewright Voltara Edition",
                  what + "a message box says \"" + c.message + "\"", "\"" + box.text + "\" in \"" + box.caption + "\"");
        const std::string stored = registry::installPath();
        log.check(stored == (c.stored ? folder : std::string()),
                  what + (c.stored ? "the folder is stored under HKEY_LOCAL_MACHINE" : "nothing is stored"),
                  "\"" + stored + "\"");
        log.check(instance.text(opGetProgramNameAt, 0) == "Please reload plug-in"
                      && instance.countCalls(hostRefresh) > 0,
                  what + "program 0 asks for a reload and the host is told to refresh");
        instance.dispatch(opEditorClose);
    }
    log.check(registry::writeInstallPath(folder), "Install Path left at the content folder");
}

// The bank button asks the host's selector for a bank file, starting where
// the factory bank was read, and loads the chosen one.
void checkBankLoad(CheckLog& log, const PluginDll& dll, const Plan& plan, const Plan::Line& line)
{
    const auto& f = line.fields;
    std::vector<std::string> names;
    std::ifstream in(plan.file(f.at(1)));
    for (std::string name; std::getline(in, name);)
        names.push_back(name);
    PluginInstance instance(dll);
    if (!log.check(instance.descriptor() != nullptr, "bank load: main gives an instance"))
        return;
    SelectorRequest request;
    answerSelector(instance, request, plan.file(f.at(0)));
    int height = 0;
    const int width = editorWidth(instance, height);
    HostWindow host(width, height);
    instance.dispatch(opEditorOpen, 0, 0, host.get());
    runHost(instance, 300);
    InputScript click;
    std::istringstream steps("move " + f.at(2) + " " + f.at(3) + "\ndown left\nwait 100\nup\nwait 300\n");
    std::string error;
    click.parse(steps, error);
    click.start(host.get());
    runHost(instance, 10000, [&] { return click.finished(); });
    click.finish();
    runHost(instance, 300);
    log.check(request.count == 1 && request.command == FileSelectRecord::chooseFile && request.extension == "fxb",
              "bank load: the host's selector is asked for a bank file", "\"" + request.title + "\"");
    const std::string factory = "Presets\\Default.fxb";
    log.check(request.initialPath.size() > factory.size()
                  && request.initialPath.compare(request.initialPath.size() - factory.size(), factory.size(), factory)
                         == 0,
              "bank load: the selector starts at the factory bank", "\"" + request.initialPath + "\"");
    int same = 0;
    for (int p = 0; p < int(names.size()); ++p)
        same += instance.text(opGetProgramNameAt, p) == names[std::size_t(p)];
    log.check(names.size() == 32 && same == 32, "bank load: the chosen bank's 32 programs are loaded",
              std::to_string(same) + " names as on Linux");
    instance.dispatch(opEditorClose);
}

} // namespace

void checkDialogs(CheckLog& log, const PluginDll& dll, const Plan& plan)
{
    std::string folder = plan.value("content");
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    if (plan.all("editor").empty())
        return;
    checkContentPrompt(log, dll, folder);
    for (const Plan::Line& line : plan.all("bank"))
        checkBankLoad(log, dll, plan, line);
}

} // namespace voltara::winhost
