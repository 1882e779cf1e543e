// A library that carries the toolkit, as the plug-in does: loading copies of
// it shows what each loaded copy of the plug-in gets for itself.
#include "common/Export.h"
#include "gui/Frame.h"

namespace {
voltara::Frame* frame = nullptr;
}

extern "C" VOLTARA_EXPORT voltara::platform::Window voltaraProbeOpen(voltara::platform::Window parent)
{
    frame = new voltara::Frame({0, 0, 40, 30}, parent, nullptr);
    return frame->getSystemWindow();
}

extern "C" VOLTARA_EXPORT void voltaraProbeClose()
{
    if (frame)
        frame->dropReference();
    frame = nullptr;
}
