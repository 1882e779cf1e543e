#include "tools/voltara/AudioSource.h"

#include "codec/FileHeader.h"
#include "tools/voltara/AudioReader.h"
#include "tools/voltara/KfrReader.h"

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

std::string cutShortMessage(const std::string& path, long long promised, long long held)
{
    return path + " is cut short: its header promises " + std::to_string(promised) + " frames, it holds "
           + std::to_string(held) + " (" + std::to_string(promised - held) + " missing)";
}

} // namespace voltara
