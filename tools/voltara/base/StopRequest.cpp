#include "tools/voltara/base/StopRequest.h"

#include <csignal>

namespace voltara {
namespace {

volatile std::sig_atomic_t stopAsked = 0;

extern "C" void askToStop(int)
{
    stopAsked = 1;
}

} // namespace

void stopOnInterrupt()
{
    struct sigaction action = {};
    action.sa_handler = askToStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested()
{
    return stopAsked != 0;
}

} // namespace voltara
