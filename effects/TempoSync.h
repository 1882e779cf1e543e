#pragma once

#include <cstdint>

namespace voltara {

// The sixteen note values a synchronised rate or time knob selects, from
// sixteen quarter notes down to a thirty-second. A beat is a quarter note.
namespace TempoSync {

constexpr int32_t noteCount = 16;

// k = trunc(15.9 x value): low knob values select long notes. Values outside
// 0 .. 1 select the nearest end of the table.
int32_t noteIndex(float value);

// Where a synchronised LFO stands: position modulo period, in [0, period).
// Hosts report negative song positions during pre-roll; those land in the
// same range instead of outside the LFO's travel.
double cyclePosition(double position, double period);

extern const char* const moduleText[noteCount]; // "16/4" .. "1/32", "1/4*" dotted
extern const char* const editorText[noteCount]; // "16/4" .. "1/32", "1/4D" dotted
extern const double lengthInBeats[noteCount];   // 16 .. 0.125
extern const double cyclesPerBeat[noteCount];   // 0.0625 .. 8

// The note a synchronised knob stands on, in beats and in cycles per beat.
inline double lengthInBeatsAt(float value)
{
    return lengthInBeats[noteIndex(value)];
}

inline double cyclesPerBeatAt(float value)
{
    return cyclesPerBeat[noteIndex(value)];
}

} // namespace TempoSync
} // namespace voltara
