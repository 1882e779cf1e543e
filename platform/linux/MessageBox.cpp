#include "platform/MessageBox.h"
#include "platform/linux/Host.h"
#include "platform/linux/Objects.h"

#include <cstdio>

// The desktop shows a message when a host has given the window system a way
// to (a presenter's message dialogs); standard error has it otherwise.

namespace voltara {

namespace {

platform::Installed<platform::host::MessageShower>& shower()
{
    static auto* installed = new platform::Installed<platform::host::MessageShower>;
    return *installed;
}

} // namespace

void MessageBox::present(const char* text, const char* caption)
{
    const platform::host::MessageShower show = shower().get();
    if (!show || !show(text, caption))
        std::fprintf(stderr, "%s: %s\n", caption, text);
}

void platform::host::setMessageShower(MessageShower show)
{
    shower().set(std::move(show));
}

} // namespace voltara
