#include "tools/voltara/PendingFile.h"

#include "tools/voltara/ToolError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace voltara {

PendingFile::PendingFile(std::string destinationPath)
    : destination(std::move(destinationPath)), temporary(destination + ".partial-" + std::to_string(getpid()))
{
}

PendingFile::~PendingFile()
{
    if (!committed)
        std::remove(temporary.c_str());
}

void PendingFile::commit()
{
    if (std::rename(temporary.c_str(), destination.c_str()) != 0)
        throw ToolError("cannot write " + destination + ": " + std::strerror(errno));
    committed = true;
}

} // namespace voltara
