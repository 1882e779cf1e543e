#pragma once

#include "tests/support/ChildProgram.h"
#include "tests/support/TempFolder.h"

#include <memory>
#include <string>

namespace voltara::test {

// A JACK server of the test's own: jackd with the dummy driver (no sound
// card) in synchronous mode, under a name no other run uses, stopped when
// this goes. Sets JACK_DEFAULT_SERVER for the test's own clients.
class JackServer {
public:
    JackServer(int sampleRate, int period, const TempFolder& scratch);
    ~JackServer();
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool running() const { return failure_.empty(); }
    const std::string& failure() const { return failure_; }
    const std::string& name() const { return name_; }
    // The environment settings for a program to start on this server.
    std::string environment() const { return "JACK_DEFAULT_SERVER=" + name_; }
    // Stops it under its clients (SIGTERM), as a user who ends it does. A
    // server killed outright (SIGKILL) ends its clients the same way but
    // keeps its place in JACK's table of servers, which holds eight.
    void stop();

private:
    std::string name_;
    std::string failure_;
    std::unique_ptr<ChildProgram> jackd_;
};

} // namespace voltara::test
