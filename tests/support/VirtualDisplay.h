#pragma once

#include <string>

namespace voltara::test {

// An X server of the test's own: Xvfb on a display number it picks itself
// (so tests running at once on one machine never meet), with a 1280 x 1024
// screen of 24-bit colour, stopped when this goes.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool running() const { return !name_.empty(); }
    // ":N"; empty when the server did not start.
    const std::string& name() const { return name_; }
    // Why it did not start.
    const std::string& failure() const { return failure_; }

private:
    int pid_ = -1;
    std::string name_;
    std::string failure_;
};

} // namespace voltara::test
