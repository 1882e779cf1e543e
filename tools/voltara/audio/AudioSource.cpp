#include "tools/voltara/audio/AudioSource.h"

#include "codec/FileHeader.h"
#include "tools/voltara/audio/AudioReader.h"
#include "tools/voltara/audio/KfrReader.h"

#include <fstream>

namespace voltara {

std::unique_ptr<AudioSource> AudioSource::open(const std::string& path, const std::string& pluginPath)
{
    uint8_t magic[4] = {};
    if (path != "-" && std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(magic), sizeof magic)
        && codec::FileHeader::hasMagic(magic))
        return std::make_unique<KfrReader>(path, pluginPath);
    return std::make_unique<AudioReader>(path);
}

} // namespace voltara
