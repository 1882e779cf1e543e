#include "tests/windows/Checks.h"

#include "resources/DibFile.h"
#include "tests/windows/GdiBalance.h"
#include "tests/windows/HostWindow.h"
#include "tests/windows/InputScript.h"

#include <ole2.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace voltara::winhost {

namespace {

// A drop target that takes nothing, only to ask OLE whether a window has one:
// a second registration is refused as such.
class NoDrops : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override
    {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
};

bool takesDrops(HWND window)
{
    NoDrops probe;
    const HRESULT result = RegisterDragDrop(window, &probe);
    if (result == S_OK)
        RevokeDragDrop(window);
    return result == DRAGDROP_E_ALREADYREGISTERED;
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

constexpr int32_t parameterCount = 72;
// The Linux host prints values with four decimals.
constexpr float printedPrecision = 0.00005f;

// "INDEX=VALUE,..." or "INDEX,...": the indices with their values (0 without).
std::vector<std::pair<int32_t, float>> indexList(const std::string& list)
{
    std::vector<std::pair<int32_t, float>> entries;
    std::istringstream in(list);
    for (std::string word; std::getline(in, word, ',');) {
        const std::size_t equals = word.find('=');
        if (!word.empty())
            entries.emplace_back(std::atoi(word.c_str()),
                                 equals == std::string::npos ? 0.0f : float(std::atof(word.c_str() + equals + 1)));
    }
    return entries;
}

std::vector<float> parameters(PluginInstance& instance)
{
    std::vector<float> values;
    for (int32_t index = 0; index < parameterCount; ++index)
        values.push_back(instance.descriptor()->getParameter(instance.descriptor(), index));
    return values;
}

// How the host heard of the changes to one parameter.
struct HostHeard {
    int begins = 0;
    int ends = 0;
    int automations = 0;
    bool automatedOutsideEdit = false;
    float last = -1.0f; // the last automated value
};

HostHeard hostHeard(const PluginInstance& instance, int32_t index)
{
    HostHeard heard;
    bool inEdit = false;
    for (const PluginInstance::Call& call : instance.calls) {
        if (call.index != index)
            continue;
        if (call.opcode == hostBeginGesture) {
            ++heard.begins;
            inEdit = true;
        } else if (call.opcode == hostEndGesture) {
            ++heard.ends;
            inEdit = false;
        } else if (call.opcode == hostAutomate) {
            ++heard.automations;
            heard.automatedOutsideEdit |= !inEdit;
            heard.last = call.opt;
        }
    }
    return heard;
}

// Plays the script as the Linux build's `voltara editor` played it and checks
// that the same parameters changed to the same values, that the host was told
// of each (host call 0) and that the drags came as edits (host calls 43, 44).
void checkScript(CheckLog& log, PluginInstance& instance, HWND host, HWND editor, const Plan& plan,
                 const Plan::Line& line)
{
    const auto& f = line.fields;
    InputScript script;
    std::ifstream file(plan.file(f.at(0)));
    std::string error;
    if (!log.check(file && script.parse(file, error), "editor script " + f.at(0) + " read", error))
        return;
    const auto changes = indexList(f.size() > 3 ? f[3] : "");
    const auto edited = indexList(f.size() > 4 ? f[4] : "");
    instance.dispatch(opSetProgram, 0, std::atoi(f.at(2).c_str()));
    runHost(instance, 300);
    const std::vector<float> before = parameters(instance);
    instance.calls.clear();
    script.start(host);
    runHost(instance, 60000, [&] { return script.finished(); });
    script.finish();
    runHost(instance, 300);
    const std::vector<float> after = parameters(instance);

    std::vector<bool> expected(parameterCount, false);
    for (const auto& [index, value] : changes) {
        expected[std::size_t(index)] = true;
        const std::string what = "parameter " + std::to_string(index) + " " + instance.text(opGetParameterName, index);
        log.check(std::fabs(after[index] - value) <= printedPrecision, what + " follows the mouse as on Linux",
                  std::to_string(before[index]) + " -> " + std::to_string(after[index]) + ", Linux "
                      + std::to_string(value));
        const HostHeard heard = hostHeard(instance, index);
        log.check(heard.automations > 0 && heard.last == after[index],
                  what + ": the host was told its new value (host call 0)",
                  std::to_string(heard.automations) + " calls");
    }
    std::string others;
    for (int32_t index = 0; index < parameterCount; ++index)
        if (!expected[std::size_t(index)] && after[index] != before[index])
            others += " " + std::to_string(index);
    log.check(others.empty(), "no other parameter changed", others);

    std::vector<bool> inEdits(parameterCount, false);
    for (const auto& [index, unused] : edited) {
        inEdits[std::size_t(index)] = true;
        const HostHeard heard = hostHeard(instance, index);
        log.check(heard.begins > 0 && heard.begins == heard.ends && !heard.automatedOutsideEdit,
                  "parameter " + std::to_string(index) + " was dragged inside begin and end of an edit (host calls "
                      + "43, 44)",
                  std::to_string(heard.begins) + " begins, " + std::to_string(heard.ends) + " ends");
    }
    std::string unexpectedEdits;
    for (const PluginInstance::Call& call : instance.calls)
        if ((call.opcode == hostBeginGesture || call.opcode == hostEndGesture)
            && (call.index < 0 || call.index >= parameterCount || !inEdits[std::size_t(call.index)]))
            unexpectedEdits += " " + std::to_string(call.index);
    log.check(unexpectedEdits.empty(), "edits only where Linux had them", unexpectedEdits);

    const std::string path = plan.file(f.at(1));
    const DibImage picture = capture(editor);
    log.check(picture.width > 0 && writeFileBytes(path, encodeDib(picture)), "editor captured to " + path);
}

} // namespace

void checkEditor(CheckLog& log, const PluginDll& dll, const Plan& plan)
{
    const std::vector<Plan::Line> scripts = plan.all("editor");
    if (scripts.empty())
        return;
    OleInitialize(nullptr);
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
                  unsigned(reinterpret_cast<uintptr_t>(moduleOf(dll))));
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
        log.check(takesDrops(editor), "the editor window takes dropped files (an OLE drop target is registered)");
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
        if (round == 0) {
            objectsAfterFirstClose = live.objects;
            log.note(std::to_string(live.objects) + " GDI objects stay with the plug-in while its editor is closed");
        } else
            log.check(live.objects == objectsAfterFirstClose, "a second open and close leaves no GDI object behind",
                      std::to_string(live.objects - objectsAfterFirstClose) + " more");
    }
    instance.reset();
    OleUninitialize();
    log.check(GdiBalance::live().objects == 0, "closing the plug-in deletes every GDI object it made",
              std::to_string(GdiBalance::live().objects) + " left");
}

} // namespace voltara::winhost
