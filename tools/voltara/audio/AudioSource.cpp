#include "tools/voltara/audio/AudioSource.h"

#include "codec/FileHeader.h"
#include "tools/voltara/audio/AudioReader.h"
#include "tools/voltara/audio/KfrReader.h"
#include "tools/voltara/base/InputFile.h"
#include "tools/voltara/base/PendingFile.h"
#include "tools/voltara/base/ToolError.h"

#include "platform/RegularFile.h"

#include <sys/stat.h>

namespace voltara {

AudioSource::AudioSource() = default;
AudioSource::~AudioSource() = default;

std::unique_ptr<AudioSource> AudioSource::open(const std::string& path, const std::string& pluginPath)
{
    const std::string shown = path == "-" ? "standard input" : path;
    // Standard input and FIFOs are read whole first: then every format reads
    // as from a file on disk, which libsndfile and the codec need for most.
    struct stat status;
    std::unique_ptr<InputCopy> copy;
    if (path == "-" || (::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode))) {
        copy = std::make_unique<InputCopy>(path);
    } else {
        requireInputFile(path);
    }
    const std::string& file = copy ? copy->path() : path;
    uint8_t magic[4] = {};
    int64_t size = 0;
    const int64_t got = readRegularFile(file.c_str(), magic, sizeof magic, &size);
    if (size == 0)
        throw ToolError("cannot read " + shown + ": it is empty");
    std::unique_ptr<AudioSource> source;
    if (got == int64_t(sizeof magic) && codec::FileHeader::hasMagic(magic))
        source = std::make_unique<KfrReader>(file, shown, pluginPath);
    else
        source = std::make_unique<AudioReader>(file, shown);
    source->copy_ = std::move(copy);
    return source;
}

} // namespace voltara
