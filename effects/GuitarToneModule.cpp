#include "GuitarToneModule.h"

namespace voltara {

GuitarToneModule::GuitarToneModule()
{
    const float defaults[slotCount] = {0.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 0.25f, 0.95f};
    for (int32_t slot = 0; slot < slotCount; ++slot)
        params[slot] = defaults[slot];
}

} // namespace voltara
