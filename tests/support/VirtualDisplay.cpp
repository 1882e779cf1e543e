#include "tests/support/VirtualDisplay.h"

#include "tests/support/ProgramRun.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace voltara::test {
namespace {

constexpr int startMilliseconds = 20000; // a loaded machine starts servers slowly

} // namespace

VirtualDisplay::VirtualDisplay()
{
    const std::string server = findProgram("Xvfb");
    if (server.empty()) {
        failure_ = "Xvfb is not installed (Debian package xvfb)";
        return;
    }
    int announce[2];
    if (pipe(announce) != 0) {
        failure_ = "no pipe";
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(announce[0]);
        const std::string fd = std::to_string(announce[1]);
        execl(server.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "1280x1024x24",
              "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(announce[1]);
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd ready{announce[0], POLLIN, 0};
    while (poll(&ready, 1, startMilliseconds) > 0) {
        char c;
        const ssize_t got = read(announce[0], &c, 1);
        if (got <= 0 || c == '\n')
            break;
        number += c;
    }
    close(announce[0]);
    if (number.empty()) {
        failure_ = "Xvfb did not start";
        return;
    }
    name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    int status;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace voltara::test
