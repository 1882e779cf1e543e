#include "tests/windows/Checks.h"

#include "resources/DibFile.h"
#include "tests/windows/GdiBalance.h"
#include "tests/windows/InputScript.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace voltara::winhost {

namespace {

constexpr const char* hostWindowClass = "VoltaraTestHost";
constexpr DWORD hostWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD idleEvery = 20; // ms between the host's editor idle calls

// The host interface's editor rectangle.
struct EditorRect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

// The host's own top-level window that the editor opens into.
class HostWindow {
public:
    HostWindow(int width, int height)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = hostWindowClass;
        RegisterClassA(&windowClass);
        RECT frame = {0, 0, width, height};
        AdjustWindowRect(&frame, hostWindowStyle, FALSE);
        window_ =
            CreateWindowExA(0, hostWindowClass, "Voltara test host", hostWindowStyle, 40, 40, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        SetForegroundWindow(window_);
        UpdateWindow(window_);
    }
    ~HostWindow()
    {
        DestroyWindow(window_);
        UnregisterClassA(hostWindowClass, GetModuleHandleA(nullptr));
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND get() const { return window_; }

private:
    HWND window_;
};

// What a host does while its window is up: messages dispatched, the editor's
// idle called every idleEvery ms; for ms, or until done says so.
template <typename Done>
void runHost(PluginInstance& instance, DWORD ms, Done done)
{
    const DWORD start = GetTickCount();
    DWORD nextIdle = start;
    while (GetTickCount() - start < ms && !done()) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (int32_t(GetTickCount() - nextIdle) >= 0) {
            instance.dispatch(opEditorIdle);
            nextIdle += idleEvery;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void runHost(PluginInstance& instance, DWORD ms)
{
    runHost(instance, ms, [] { return false; });
}

// BitBlt of the window's client area from its device context, as a 24-bit
// picture.
DibImage capture(HWND window)
{
    RECT area;
    GetClientRect(window, &area);
    DibImage image;
    image.width = area.right;
    image.height = area.bottom;
    image.bitsPerPixel = 24;
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, image.width, image.height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, windowDc, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(std::size_t(image.width) * image.height);
    GetDIBits(memory, bitmap, 0, UINT(image.height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    for (uint32_t pixel : pixels) {
        image.pixels.push_back(uint8_t(pixel >> 16));
        image.pixels.push_back(uint8_t(pixel >> 8));
        image.pixels.push_back(uint8_t(pixel));
    }
    return image;
}

std::vector<int32_t> indicesOf(const std::string& list)
{
    std::vector<int32_t> indices;
    std::istringstream in(list);
    for (std::string word; std::getline(in, word, ',');)
        if (!word.empty())
            indices.push_back(std::atoi(word.c_str()));
    return indices;
}

// The host heard of the user's change of index: automation of its final
// value, inside begin and end of an edit.
void checkHostCalls(CheckLog& log, const PluginInstance& instance, int32_t index, float value)
{
    int begins = 0, ends = 0, automations = 0;
    bool inEdit = false, automatedOutside = false;
    float last = -1.0f;
    for (const PluginInstance::Call& call : instance.calls) {
        if (call.index != index)
            continue;
        if (call.opcode == hostBeginGesture) {
            ++begins;
            inEdit = true;
        } else if (call.opcode == hostEndGesture) {
            ++ends;
            inEdit = false;
        } else if (call.opcode == hostAutomate) {
            ++automations;
            automatedOutside |= !inEdit;
            last = call.opt;
        }
    }
    const std::string what = "parameter " + std::to_string(index);
    log.check(automations > 0 && last == value, what + ": the host was told its new value (host call 0)",
              std::to_string(automations) + " calls, last " + std::to_string(last));
    log.check(begins > 0 && begins == ends && !automatedOutside,
              what + ": the changes came inside begin and end of an edit (host calls 43, 44)",
              std::to_string(begins) + " begins, " + std::to_string(ends) + " ends");
}

void checkScript(CheckLog& log, PluginInstance& instance, HWND host, HWND editor, const Plan& plan,
                 const Plan::Line& line)
{
    InputScript script;
    std::ifstream file(plan.file(line.fields.at(0)));
    std::string error;
    if (!log.check(file && script.parse(file, error), "editor script " + line.fields.at(0) + " read", error))
        return;
    const std::vector<int32_t> moved = indicesOf(line.fields.size() > 2 ? line.fields[2] : "");
    std::vector<float> before;
    for (int32_t index : moved)
        before.push_back(instance.descriptor()->getParameter(instance.descriptor(), index));
    instance.calls.clear();
    script.start(host);
    runHost(instance, 60000, [&] { return script.finished(); });
    script.finish();
    runHost(instance, 300);
    for (std::size_t i = 0; i < moved.size(); ++i) {
        const float after = instance.descriptor()->getParameter(instance.descriptor(), moved[i]);
        log.check(after != before[i], "the mouse moved parameter " + std::to_string(moved[i]),
                  std::to_string(before[i]) + " -> " + std::to_string(after));
        checkHostCalls(log, instance, moved[i], after);
    }
    const std::string path = plan.file(line.fields.at(1));
    const DibImage picture = capture(editor);
    log.check(picture.width > 0 && writeFileBytes(path, encodeDib(picture)), "editor captured to " + path);
}

} // namespace

void checkEditor(CheckLog& log, const PluginDll& dll, const Plan& plan)
{
    const std::vector<Plan::Line> scripts = plan.all("editor");
    if (scripts.empty())
        return;
    auto instance = std::make_unique<PluginInstance>(dll);
    if (!log.check(instance->descriptor() && (instance->descriptor()->flags & DescriptorFlag::hasEditor),
                   "the instance has an editor"))
        return;
    EditorRect* rect = nullptr;
    instance->dispatch(opEditorGetRect, 0, 0, &rect);
    if (!log.check(rect != nullptr, "the editor tells its size"))
        return;
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    log.check(width == 600 && height == 354, "the editor is 600 x 354",
              std::to_string(width) + " x " + std::to_string(height));

    char expectedClass[32];
    std::snprintf(expectedClass, sizeof expectedClass, "Plugin%08x",
                  unsigned(reinterpret_cast<uintptr_t>(dll.module())));
    long objectsAfterFirstClose = 0;
    for (int round = 0; round < 2; ++round) {
        const std::string which = round == 0 ? "first" : "second";
        HostWindow host(width, height);
        if (!log.check(instance->dispatch(opEditorOpen, 0, 0, host.get()) != 0,
                       "the editor opens into the host's window (" + which + " time)"))
            return;
        HWND editor = FindWindowExA(host.get(), nullptr, nullptr, nullptr);
        char className[64] = {};
        GetClassNameA(editor, className, sizeof className);
        RECT area = {};
        GetClientRect(editor, &area);
        log.check(editor && GetParent(editor) == host.get() && (GetWindowLongA(editor, GWL_STYLE) & WS_CHILD),
                  "the editor is a child window of the host's");
        log.check(std::string(className) == expectedClass, "its window class is named after the DLL's module",
                  className);
        log.check(area.right == width && area.bottom == height, "the editor window is the editor's size");
        runHost(*instance, 500);
        if (round == 0)
            for (const Plan::Line& line : scripts)
                checkScript(log, *instance, host.get(), editor, plan, line);
        instance->dispatch(opEditorClose);
        log.check(!IsWindow(editor), "closing the editor removes its window (" + which + " time)");
        const GdiBalance::Live live = GdiBalance::live();
        log.check(live.windowDcs == 0 && live.memoryDcs == 0,
                  "every device context the editor took is given back (" + which + " time)",
                  std::to_string(live.windowDcs) + " window, " + std::to_string(live.memoryDcs) + " memory");
        if (round == 0)
            objectsAfterFirstClose = live.objects;
        else
            log.check(live.objects == objectsAfterFirstClose, "a second open and close leaves no GDI object behind",
                      std::to_string(live.objects - objectsAfterFirstClose) + " more");
    }
    instance.reset();
    log.check(GdiBalance::live().objects == 0, "closing the plug-in deletes every GDI object it made",
              std::to_string(GdiBalance::live().objects) + " left");
}

} // namespace voltara::winhost
