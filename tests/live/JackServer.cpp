#include "JackServer.h"

#include "tests/support/ProgramRun.h"

#include <cstdlib>
#include <unistd.h>

namespace voltara::test {

JackServer::JackServer(int sampleRate, int period, const TempFolder& scratch)
{
    static int servers = 0;
    name_ = "voltara-live-test-" + std::to_string(getpid()) + "-" + std::to_string(++servers);
    const std::string jackd = findProgram("jackd"), jackWait = findProgram("jack_wait");
    if (jackd.empty() || jackWait.empty()) {
        failure_ = "jackd is not installed (Debian package jackd2)";
        return;
    }
    jackd_ = std::make_unique<ChildProgram>(
        jackd,
        std::vector<std::string>{"-S", "-n", name_, "-d", "dummy", "-r", std::to_string(sampleRate), "-p",
                                 std::to_string(period)},
        std::vector<std::string>{"JACK_NO_AUDIO_RESERVATION=1"}, scratch.file("jackd.out"), scratch.file("jackd.err"));
    const auto waited = runProgram(jackWait, {"-s", name_, "-w", "-t", "20"}, {}, scratch);
    if (waited.status != 0)
        failure_ = "jackd did not start: " + scratch.read("jackd.err");
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
}

JackServer::~JackServer()
{
    if (jackd_)
        jackd_->stop();
    unsetenv("JACK_DEFAULT_SERVER");
}

void JackServer::stop()
{
    if (jackd_)
        jackd_->stop();
}

} // namespace voltara::test
