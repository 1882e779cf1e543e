#include "platform/MessageBox.h"

#include <windows.h>
#undef MessageBox

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
    MessageBoxA(nullptr, text, caption, MB_OK);
}

const std::vector<MessageBox::Shown>& MessageBox::history()
{
    return shownMessages();
}

} // namespace voltara
