#pragma once

#include "effects/FxModule.h"

namespace voltara {

// Holds the defaults of the rack's first parameter group. It is created,
// reset and told the tempo like every module, but never processes audio and
// receives no parameter changes.
class GuitarToneModule : public FxModule {
public:
    GuitarToneModule();
};

} // namespace voltara
