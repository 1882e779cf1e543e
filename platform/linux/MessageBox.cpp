#include "platform/MessageBox.h"

#include <cstdio>

namespace voltara {

void MessageBox::present(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

} // namespace voltara
