#include "tests/windows/HostWindow.h"

namespace voltara::winhost {

namespace {

constexpr const char* hostWindowClass = "VoltaraTestHost";
constexpr DWORD hostWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD idleEvery = 20; // ms between the host's editor idle calls

// Windows sets a button's asynchronous state before it queues the button's
// message; Wine sets it a few milliseconds after. The controls read that
// state when the click arrives, so a click is held back until the state
// tells it (or it was released meanwhile).
void awaitButtonState(UINT message)
{
    const int button = message == WM_LBUTTONDOWN   ? VK_LBUTTON
                       : message == WM_RBUTTONDOWN ? VK_RBUTTON
                       : message == WM_MBUTTONDOWN ? VK_MBUTTON
                                                   : 0;
    for (DWORD start = GetTickCount(); button && GetAsyncKeyState(button) >= 0 && GetTickCount() - start < 100;)
        Sleep(1);
}

} // namespace

HostWindow::HostWindow(int width, int height)
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

HostWindow::~HostWindow()
{
    DestroyWindow(window_);
    UnregisterClassA(hostWindowClass, GetModuleHandleA(nullptr));
}

void runHost(PluginInstance& instance, DWORD ms, const std::function<bool()>& done)
{
    const DWORD start = GetTickCount();
    DWORD nextIdle = start;
    while (GetTickCount() - start < ms && !done()) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            awaitButtonState(message.message);
            DispatchMessageA(&message);
        }
        if (int32_t(GetTickCount() - nextIdle) >= 0) {
            instance.dispatch(opEditorIdle);
            nextIdle += idleEvery;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

} // namespace voltara::winhost
