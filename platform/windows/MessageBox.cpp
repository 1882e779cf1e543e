#include "platform/MessageBox.h"

#include <windows.h>
#undef MessageBox

namespace voltara {

void MessageBox::present(const char* text, const char* caption)
{
    MessageBoxA(nullptr, text, caption, MB_OK);
}

} // namespace voltara
