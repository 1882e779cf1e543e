#include "tests/support/ChildProgram.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace voltara::test {

ChildProgram::ChildProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment, const std::string& outPath,
                           const std::string& errPath)
{
    // A program that ends early must not end the test through its input pipe.
    std::signal(SIGPIPE, SIG_IGN);
    // Everything the child needs is made before fork: it only sets up and execs.
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> settings = environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string setting = *entry;
        const std::string name = setting.substr(0, setting.find('=') + 1);
        if (std::none_of(environment.begin(), environment.end(),
                         [&](const std::string& own) { return own.rfind(name, 0) == 0; }))
            settings.push_back(setting);
    }
    std::vector<char*> envp;
    for (std::string& setting : settings)
        envp.push_back(setting.data());
    envp.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot make a pipe for " + program);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeEnds[0], STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(pipeEnds[0]);
    close(out);
    close(err);
    input_ = pipeEnds[1];
    if (pid_ < 0) {
        closeInput();
        throw std::runtime_error("cannot start " + program);
    }
}

ChildProgram::~ChildProgram()
{
    stop();
}

void ChildProgram::write(const std::string& text)
{
    for (std::size_t done = 0; input_ >= 0 && done < text.size();) {
        const ssize_t written = ::write(input_, text.data() + done, text.size() - done);
        if (written <= 0)
            break;
        done += std::size_t(written);
    }
}

void ChildProgram::closeInput()
{
    if (input_ >= 0)
        close(input_);
    input_ = -1;
}

int ChildProgram::wait(double seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (pid_ > 0) {
        int raw = 0;
        const pid_t ended = waitpid(pid_, &raw, WNOHANG);
        if (ended == pid_ || (ended < 0 && errno != EINTR)) {
            status_ = ended == pid_ && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            pid_ = -1;
            break;
        }
        if (std::chrono::steady_clock::now() >= until)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

void ChildProgram::signal(int number)
{
    if (pid_ > 0)
        kill(pid_, number);
}

void ChildProgram::stop()
{
    closeInput();
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    if (wait(10.0) == -1 && pid_ > 0) {
        kill(pid_, SIGKILL);
        wait(10.0);
    }
}

} // namespace voltara::test
