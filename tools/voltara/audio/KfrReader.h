#pragma once

#include "tools/voltara/audio/AudioSource.h"
#include "tools/voltara/kfr/DiskFile.h"
#include "tools/voltara/kfr/KfrCodec.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace voltara {

// A Kestrelwave file decoded through the plug-in's codec as audio for the rack.
class KfrReader : public AudioSource {
public:
    // Throws ToolError when the file is not one the codec decodes; messages
    // name the file shownPath.
    KfrReader(const std::string& path, const std::string& shownPath, const std::string& pluginPath);
    ~KfrReader() override;

    int sampleRate() const override { return stream_.info().sampleRate; }
    long long frames() const override { return stream_.info().totalFrames; }
    int encoding() const override;
    std::size_t read(float* left, float* right, std::size_t count) override;

private:
    KfrCodec codec_;
    DiskFile file_;
    KfrStream stream_;
    void* decoder_;
    std::vector<uint8_t> packed_;
    std::vector<int32_t> samples_;
    long long done_ = 0;
};

} // namespace voltara
