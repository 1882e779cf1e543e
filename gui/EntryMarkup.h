#pragma once

#include <cstring>

namespace voltara {

// The markup of a popup menu's entry texts: "-" a separator, "-M" + title a
// sub-menu, "-G" + text greyed, "-T" + text a title, anything else an
// ordinary entry.
struct EntryMarkup {
    static bool separator(const char* text) { return std::strcmp(text, "-") == 0; }
    static bool submenu(const char* text) { return startsWith(text, "-M"); }
    static bool greyed(const char* text) { return startsWith(text, "-G"); }
    static bool title(const char* text) { return startsWith(text, "-T"); }
    // Neither a separator nor a title: what counts when separators are not counted.
    static bool counted(const char* text) { return !separator(text) && !title(text); }
    // What a marked entry shows: the text after its mark.
    static const char* label(const char* text) { return text + 2; }

private:
    static bool startsWith(const char* text, const char* prefix)
    {
        return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
    }
};

} // namespace voltara
