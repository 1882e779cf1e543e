#include "tools/pluginhost/HostTime.h"

namespace voltara::pluginhost {

TimeInfo fourFourTime(double sampleRate, double tempo)
{
    TimeInfo time{};
    time.sampleRate = sampleRate;
    time.tempo = tempo;
    time.timeSignatureNumerator = 4;
    time.timeSignatureDenominator = 4;
    return time;
}

void advance(TimeInfo& time, double frames, double speed)
{
    time.samplePosition += frames;
    time.songPosition += frames * time.tempo / (60.0 * time.sampleRate) * speed;
}

} // namespace voltara::pluginhost
