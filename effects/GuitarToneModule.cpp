#include "effects/GuitarToneModule.h"

namespace voltara {

GuitarToneModule::GuitarToneModule() : FxModule({0.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 0.25f, 0.95f}) {}

} // namespace voltara
