#pragma once

#include "platform/Handles.h"

#include <optional>
#include <string>
#include <vector>

// The desktop's file and folder choosers and message dialogs. Each runs as a
// program of its own, zenity (GTK's own dialogs; through the desktop portal
// where GTK is set to use it): a host of another toolkit, or of another GTK
// version, never gets a second toolkit loaded into its process. The call
// waits for the answer, modal: the presented windows repaint meanwhile but
// take no input. Dialogs belong to the first live presenter (its display,
// kept above its window); without one they open on $DISPLAY. Where no dialog
// can be shown (no zenity, no display) the answer is "cancelled" and the
// reason goes to standard error.

namespace voltara::platform::x11 {

class VOLTARA_PLATFORM_API DesktopDialogs {
public:
    struct FileType {
        std::string name;                  // "AW Effects Bank"
        std::vector<std::string> patterns; // "*.fxb"
    };

    // The file chosen, or nothing when cancelled. initialPath: a file to
    // start at (its folder opens with it selected), a folder, or empty.
    static std::optional<std::string> chooseFile(const std::string& title, const std::string& initialPath,
                                                 const std::vector<FileType>& types);
    // The folder chosen, or nothing when cancelled.
    static std::optional<std::string> chooseFolder(const std::string& title, const std::string& initialFolder);
    // Shows the text until the user dismisses it (one OK button); false
    // when it could not be shown.
    static bool showMessage(const std::string& text, const std::string& caption);

    // The program the dialogs run, as the search path finds it; empty when
    // it is not installed (Debian package zenity).
    static std::string program();
};

} // namespace voltara::platform::x11
