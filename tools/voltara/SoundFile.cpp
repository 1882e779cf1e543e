#include "tools/voltara/SoundFile.h"

namespace voltara {

SoundFile::~SoundFile()
{
    if (handle != nullptr)
        sf_close(handle);
}

bool SoundFile::close()
{
    const bool closed = sf_close(handle) == 0;
    handle = nullptr;
    return closed;
}

} // namespace voltara
