#include "tests/windows/InputScript.h"

#include <cstdlib>
#include <sstream>

namespace voltara::winhost {

namespace {

constexpr uint32_t stepTime = 20; // ms between mouse actions

struct Button {
    const char* name;
    DWORD down;
    DWORD up;
};
const Button buttons[] = {
    {"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
    {"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
    {"middle", MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP},
};

struct Modifier {
    const char* name;
    WORD key;
};
const Modifier modifiers[] = {{"shift", VK_SHIFT}, {"ctrl", VK_CONTROL}, {"alt", VK_MENU}};

void sendKey(WORD key, bool release)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

bool releases(DWORD flag)
{
    return flag & (MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTUP | MOUSEEVENTF_MIDDLEUP);
}

void sendButton(DWORD flag)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
}

} // namespace

bool InputScript::parse(std::istream& in, std::string& error)
{
    uint32_t time = 0;
    std::vector<const Button*> held;
    std::vector<WORD> heldKeys;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string verb;
        if (!(words >> verb))
            continue;
        Step step{time, false, 0, 0, {}, {}, {}, noChoice};
        bool understood = true;
        if (verb == "move") {
            step.move = true;
            understood = bool(words >> step.x >> step.y);
        } else if (verb == "down") {
            std::string name;
            understood = bool(words >> name);
            const Button* button = nullptr;
            for (const Button& b : buttons)
                if (name == b.name)
                    button = &b;
            understood = understood && button;
            for (std::string word; understood && words >> word;) {
                understood = false;
                for (const Modifier& m : modifiers)
                    if (word == m.name) {
                        step.keysDown.push_back(m.key);
                        heldKeys.push_back(m.key);
                        understood = true;
                    }
            }
            if (understood) {
                step.flags.push_back(button->down);
                held.push_back(button);
            }
        } else if (verb == "up") {
            std::vector<const Button*> released;
            std::vector<WORD> keys;
            for (std::string word; understood && words >> word;) {
                understood = false;
                for (const Button& b : buttons)
                    if (word == b.name) {
                        released.push_back(&b);
                        understood = true;
                    }
                for (const Modifier& m : modifiers)
                    if (word == m.name) {
                        keys.push_back(m.key);
                        understood = true;
                    }
            }
            if (released.empty() && keys.empty()) {
                released = held;
                keys = heldKeys;
            }
            for (WORD key : keys) {
                step.keysUp.push_back(key);
                for (auto it = heldKeys.begin(); it != heldKeys.end();)
                    it = *it == key ? heldKeys.erase(it) : it + 1;
            }
            for (const Button* b : released) {
                step.flags.push_back(b->up);
                for (auto it = held.begin(); it != held.end();)
                    it = *it == b ? held.erase(it) : it + 1;
            }
        } else if (verb == "choose") {
            std::string answer;
            understood = bool(words >> answer);
            step.choice = answer == "none" ? closeMenu : std::atoi(answer.c_str());
            understood = understood && (answer == "none" || step.choice >= 0);
            if (understood)
                steps_.push_back(step);
            continue;
        } else if (verb == "wait") {
            uint32_t ms = 0;
            understood = bool(words >> ms);
            time += ms;
            continue;
        } else {
            understood = false;
        }
        if (!understood) {
            error = "line " + std::to_string(number) + ": " + line;
            return false;
        }
        steps_.push_back(step);
        time += stepTime;
    }
    return true;
}

void InputScript::start(HWND window)
{
    origin_ = {0, 0};
    ClientToScreen(window, &origin_);
    thread_ = CreateThread(nullptr, 0, &InputScript::play, this, 0, nullptr);
}

bool InputScript::finished() const
{
    return thread_ == nullptr || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0;
}

void InputScript::finish()
{
    if (thread_ == nullptr)
        return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

DWORD WINAPI InputScript::play(void* self)
{
    const auto& script = *static_cast<InputScript*>(self);
    const DWORD start = GetTickCount();
    int pending = noChoice;
    for (const Step& step : script.steps_) {
        if (step.choice != noChoice) {
            pending = step.choice;
            continue;
        }
        const DWORD now = GetTickCount() - start;
        if (now < step.time)
            Sleep(step.time - now);
        script.perform(step);
        bool released = false;
        for (DWORD flag : step.flags)
            released |= releases(flag);
        if (pending != noChoice && released) {
            answerMenu(pending);
            pending = noChoice;
        }
    }
    return 0;
}

// Waits a moment for a popup menu to show, then clicks its entry or presses
// Escape; nothing when no menu shows.
void InputScript::answerMenu(int choice)
{
    HWND menuWindow = nullptr;
    for (int tries = 0; tries < 50 && !(menuWindow && IsWindowVisible(menuWindow)); ++tries) {
        Sleep(10);
        menuWindow = FindWindowA("#32768", nullptr);
    }
    if (!menuWindow)
        return;
    Sleep(50);
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    RECT entry;
    if (choice == closeMenu || !GetMenuItemRect(nullptr, menu, UINT(choice), &entry)) {
        sendKey(VK_ESCAPE, false);
        sendKey(VK_ESCAPE, true);
        return;
    }
    SetCursorPos((entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2);
    Sleep(50);
    sendButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    sendButton(MOUSEEVENTF_LEFTUP);
}

void InputScript::perform(const Step& step) const
{
    if (step.move)
        SetCursorPos(origin_.x + step.x, origin_.y + step.y);
    for (WORD key : step.keysDown)
        sendKey(key, false);
    for (DWORD flag : step.flags)
        sendButton(flag);
    for (WORD key : step.keysUp)
        sendKey(key, true);
}

} // namespace voltara::winhost
