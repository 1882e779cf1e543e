#include "tools/voltara/audio/SoundFile.h"

namespace voltara {

SoundFile::~SoundFile()
{
    if (handle_ != nullptr)
        sf_close(handle_);
}

bool SoundFile::close()
{
    const bool closed = sf_close(handle_) == 0;
    handle_ = nullptr;
    return closed;
}

} // namespace voltara
