// libFuzzer target: any bytes as a bank file, loaded into a running rack as
// the editor's bank dialog loads one. The load must never crash or read out
// of bounds; afterwards every stored value lies within 0 .. 1, every program
// name ends in its field, and the audio stays finite.
#include "fuzz/RackFuzzKit.h"

#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace voltara;

namespace {

// The bank lives in memory, as a regular file the rack reaches by its path.
const int bankFile = memfd_create("voltara-bank", 0);
const std::string bankPath = "/proc/self/fd/" + std::to_string(bankFile);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (bankFile < 0 || ftruncate(bankFile, 0) != 0
        || (size > 0 && pwrite(bankFile, data, size, 0) != static_cast<ssize_t>(size)))
        __builtin_trap();
    auto rack = fuzz::makeRack(8000.0f);
    rack->setProgram(static_cast<int32_t>(size % rackProgramCount));
    fuzz::runAudio(*rack, 256, 1);
    rack->loadBankFile(bankPath.c_str());
    fuzz::checkState(*rack);
    fuzz::runAudio(*rack, 1024, 2);
    for (int32_t p = 0; p < rackProgramCount; p += 7) {
        rack->setProgram(p);
        fuzz::runAudio(*rack, 512, 3 + p);
    }
    // A second load keeps nothing of the first that the second replaced.
    rack->loadBankFile(bankPath.c_str());
    fuzz::checkState(*rack);
    return 0;
}
