#pragma once

#include "tests/support/TempFolder.h"

#include <string>
#include <vector>

namespace voltara::test {

struct ProgramResult {
    int status = -1; // exit status
    std::string out; // standard output
    std::string err; // standard error
};

// Runs a program as a user would from a shell, each argument passed as it
// stands, with extra environment settings ("NAME=value"); the output is
// captured in files of scratch.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment, const TempFolder& scratch);

// Where the search path finds an installed program; empty when it has none.
std::string findProgram(const std::string& name);

// A program running beside the test (xdotool driving the mouse while the
// test serves the window it drives), with extra environment settings; its
// output goes to standard error. Ended (SIGTERM) if still running when this goes.
class BackgroundProgram {
public:
    BackgroundProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment);
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    // True once it has ended; its exit status is then in status().
    bool finished();
    int status() const { return status_; }

private:
    int pid_ = -1;
    int status_ = -1;
};

} // namespace voltara::test
