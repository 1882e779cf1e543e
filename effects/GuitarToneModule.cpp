#include "effects/GuitarToneModule.h"

namespace voltara {

namespace {

// Neither name nor text: the group is not shown.
const FxModule::Description description = {
    "",
    {"", "", "", "", "", "", "", ""},
    {0.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 0.25f, 0.95f},
    {},
};

} // namespace

GuitarToneModule::GuitarToneModule() : FxModule(description) {}

} // namespace voltara
