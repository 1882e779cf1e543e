#pragma once

#include "tools/voltara/audio/AudioSink.h"
#include "tools/voltara/kfr/DiskFile.h"
#include "tools/voltara/kfr/KfrCodec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

// Writes a stereo Kestrelwave file through the plug-in's codec: the samples
// of a PCM wave file of 8, 16 or 24 bits, compressed.
class KfrWriter : public AudioSink {
public:
    // Throws ToolError when the codec cannot be loaded or refuses the stream.
    KfrWriter(const std::string& path, const std::string& shownPath, int bits, int sampleRate,
              const std::string& pluginPath);
    ~KfrWriter() override;

    void write(const float* interleaved, std::size_t count) override;
    void finish() override;

private:
    KfrCodec codec_;
    DiskFile file_;
    std::vector<uint8_t> header_;
    void* encoder_ = nullptr;
    int bits_;
    int64_t frames_ = 0;
    std::vector<int32_t> samples_;
};

} // namespace voltara
