#pragma once

#include "plugin/host/PluginDescriptor.h"

namespace voltara::pluginhost {

// Time information as a host in 4/4 gives it: rate in Hz, tempo in beats
// per minute, both positions at the start.
TimeInfo fourFourTime(double sampleRate, double tempo);

// Moves the sample and song positions on by frames played at the
// transport's speed (1 while it rolls, 0 while it stands).
void advance(TimeInfo& time, double frames, double speed = 1.0);

} // namespace voltara::pluginhost
