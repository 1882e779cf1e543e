#pragma once

#include <cstdint>

namespace voltara {

// Fixed-width number texts for displays: at most 8 visible characters plus the
// terminator, so the caller's buffer needs 9 bytes.
namespace NumberText {

void integerText(int32_t value, char* text);
void realText(float value, char* text);
void decibelText(float value, char* text);
void hertzText(float samples, float sampleRate, char* text);
void millisecondsText(float samples, float sampleRate, char* text);

} // namespace NumberText
} // namespace voltara
