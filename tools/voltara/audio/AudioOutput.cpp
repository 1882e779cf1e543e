#include "tools/voltara/audio/AudioOutput.h"

#include "tools/voltara/audio/KfrWriter.h"
#include "tools/voltara/audio/SampleScale.h"
#include "tools/voltara/audio/SndfileWriter.h"
#include "tools/voltara/audio/WaveWriter.h"
#include "tools/voltara/base/ToolError.h"

#include <cmath>
#include <cstdio>

namespace voltara {
namespace {

std::unique_ptr<AudioSink> makeSink(PendingFile& pending, const OutputFormat& format, int sampleRate,
                                    int64_t expectedFrames, const std::string& pluginPath)
{
    // A WAV stream gets the samples as they are rendered; every other output
    // is written whole first.
    if (format.writer == OutputFormat::Writer::wave && pending.isStream())
        return std::make_unique<WaveWriter>(pending, format.integerBits(), sampleRate, expectedFrames);
    const std::string& path = pending.temporaryPath();
    const std::string shown = pending.shownName();
    switch (format.writer) {
    case OutputFormat::Writer::wave: return std::make_unique<WaveWriter>(path, shown, format.integerBits(), sampleRate);
    case OutputFormat::Writer::kestrelwave:
        return std::make_unique<KfrWriter>(path, shown, format.integerBits(), sampleRate, pluginPath);
    case OutputFormat::Writer::libsndfile: break;
    }
    return std::make_unique<SndfileWriter>(path, shown, format.container | format.encoding, sampleRate);
}

} // namespace

AudioOutput::AudioOutput(const std::string& path, const OutputFormat& format, int sampleRate, int64_t expectedFrames,
                         float gain, const std::string& pluginPath)
    : pending_(path), sink_(makeSink(pending_, format, sampleRate, expectedFrames, pluginPath)), gain_(gain),
      integerBits_(format.integerBits())
{
}

void AudioOutput::write(const float* left, const float* right, std::size_t count)
{
    interleaved_.resize(2 * count);
    for (std::size_t j = 0; j < count; ++j) {
        interleaved_[2 * j] = left[j] * gain_;
        interleaved_[2 * j + 1] = right[j] * gain_;
    }
    if (integerBits_ > 0) {
        for (float sample : interleaved_) {
            if (beyondFullScale(sample, integerBits_)) {
                ++clipped_;
                clippedPeak_ = std::max(clippedPeak_, std::fabs(sample));
            }
        }
    }
    sink_->write(interleaved_.data(), count);
}

void AudioOutput::commit()
{
    sink_->finish();
    pending_.commit();
    if (clipped_ > 0) {
        char peak[32];
        std::snprintf(peak, sizeof peak, "%+.1f dBFS", 20.0 * std::log10(double(clippedPeak_)));
        warn(std::to_string(clipped_) + " samples clipped in " + pending_.shownName() + " (peak " + peak
             + "); lower --gain to keep them");
    }
}

} // namespace voltara
