#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace voltara::test {

// A program a test starts and keeps running beside it (a server, an
// interactive host): its input a pipe the test writes, its output in files
// the test reads while it runs. Stopped, by its process id alone, when it
// goes.
class ChildProgram {
public:
    // Starts program with arguments and extra environment settings
    // ("NAME=value"); output goes to outPath and errPath. Throws
    // std::runtime_error when it cannot start.
    ChildProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment, const std::string& outPath, const std::string& errPath);
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    void write(const std::string& text);
    void closeInput();
    // Waits at most seconds for the program to end; its exit status, or -1
    // when it is still running or ended by a signal.
    int wait(double seconds);
    // Sends it a signal (SIGINT, as Ctrl-C in its terminal does).
    void signal(int number);
    // Asks it to end (SIGTERM), waits a while, then ends it (SIGKILL).
    void stop();

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int status_ = -1;
};

} // namespace voltara::test
