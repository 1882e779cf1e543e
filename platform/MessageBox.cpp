#include "MessageBox.h"

#ifdef _WIN32
#include <windows.h>
#undef MessageBox
#else
#include <cstdio>
#endif

namespace voltara {

namespace {

std::vector<MessageBox::Shown>& shownMessages()
{
    static std::vector<MessageBox::Shown> messages;
    return messages;
}

} // namespace

void MessageBox::show(const char* text, const char* caption)
{
    shownMessages().push_back({text, caption});
#ifdef _WIN32
    MessageBoxA(nullptr, text, caption, MB_OK);
#else
    std::fprintf(stderr, "%s: %s\n", caption, text);
#endif
}

const std::vector<MessageBox::Shown>& MessageBox::history()
{
    return shownMessages();
}

} // namespace voltara
