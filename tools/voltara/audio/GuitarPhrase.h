#pragma once

#include "tools/voltara/audio/StereoAudio.h"

namespace voltara {

// The built-in input: a riff of about ten seconds on a synthesised plucked
// guitar (strummed chords and single notes), so the rack can be heard on a
// machine where no recording is at hand. The same every time.
namespace GuitarPhrase {

StereoAudio synthesise(int sampleRate);

} // namespace GuitarPhrase
} // namespace voltara
