#include "platform/MessageBox.h"

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
    present(text, caption);
}

const std::vector<MessageBox::Shown>& MessageBox::history()
{
    return shownMessages();
}

} // namespace voltara
