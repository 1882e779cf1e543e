#pragma once

#include "platform/Handles.h"

#include <string>
#include <vector>

namespace voltara {

// Messages the user must see and acknowledge. On Windows a modal box without
// owner window and with a single OK button; elsewhere the text goes to
// standard error. Every message is also kept, so that it can be checked.
class VOLTARA_PLATFORM_API MessageBox {
public:
    struct Shown {
        std::string text;
        std::string caption;
    };

    // Returns once the user has dismissed the box.
    static void show(const char* text, const char* caption);
    // Every message shown by this process, oldest first.
    static const std::vector<Shown>& history();

private:
    // The system's own box (platform/<system>/MessageBox.cpp).
    static void present(const char* text, const char* caption);
};

} // namespace voltara
