#include "tools/voltara/PendingFile.h"

#include "tools/voltara/ToolError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace voltara {

PendingFile::PendingFile(std::string destination)
    : destination_(std::move(destination)), temporary_(destination_ + ".partial-" + std::to_string(getpid()))
{
}

PendingFile::~PendingFile()
{
    if (!committed_)
        std::remove(temporary_.c_str());
}

void PendingFile::commit()
{
    if (std::rename(temporary_.c_str(), destination_.c_str()) != 0)
        throw ToolError("cannot write " + destination_ + ": " + std::strerror(errno));
    committed_ = true;
}

} // namespace voltara
