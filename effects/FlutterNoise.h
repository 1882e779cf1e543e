#pragma once

#include <cstdint>

namespace voltara {

// The random numbers behind the tape delay's flutter: the standard library's
// generator (the plug-in seeds it at construction), in 0 .. 32767 whatever the
// platform's RAND_MAX. Tests install a fixed source to make the delay
// repeatable.
namespace FlutterNoise {

using Source = int32_t (*)();

// 0 .. 32767.
int32_t next();

// nullptr restores the standard generator.
void setSource(Source source);

} // namespace FlutterNoise
} // namespace voltara
