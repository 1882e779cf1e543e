#include "platform/linux/x11/DesktopDialogs.h"

#include "platform/linux/x11/LivePresenters.h"
#include "platform/linux/x11/PresenterState.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace voltara::platform::x11 {
namespace {

constexpr const char* dialogProgram = "zenity";
constexpr int servingMilliseconds = 30; // how often presented windows repaint while a dialog is open
constexpr int userCancelled = 1;        // zenity's status for Cancel and the window's close button

struct Run {
    bool ran = false; // false: the program could not be started
    int status = -1;
    std::string out;
    std::string err;
};

bool isFolder(const std::string& path)
{
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Where a chooser starts: the path given, else the home folder (GTK's
// chooser would start at its list of recent files, where a folder typed in
// cannot be chosen).
std::string startingPoint(const std::string& path)
{
    const char* home = std::getenv("HOME");
    const std::string start = !path.empty() ? path : home ? home : "";
    return start.empty() ? start : "--filename=" + start + (isFolder(start) && start.back() != '/' ? "/" : "");
}

// The environment of this process with DISPLAY set to the dialogs' display.
std::vector<std::string> environmentFor(const std::string& display)
{
    std::vector<std::string> settings;
    for (char** entry = environ; entry && *entry; ++entry)
        if (std::strncmp(*entry, "DISPLAY=", 8) != 0)
            settings.emplace_back(*entry);
    if (!display.empty())
        settings.push_back("DISPLAY=" + display);
    return settings;
}

std::vector<char*> pointers(std::vector<std::string>& words)
{
    std::vector<char*> list;
    for (std::string& word : words)
        list.push_back(word.data());
    list.push_back(nullptr);
    return list;
}

// Reads what is there; false at the end.
bool drain(int descriptor, std::string& into)
{
    char buffer[4096];
    const ssize_t got = read(descriptor, buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, size_t(got));
        return true;
    }
    return got < 0 && (errno == EINTR || errno == EAGAIN);
}

// Runs the dialog program with these options on the presenters' display and
// waits for it, the presented windows painting meanwhile.
Run runDialog(std::vector<std::string> options)
{
    Run run;
    const std::string path = DesktopDialogs::program();
    if (path.empty())
        return run;
    Presenter::State* owner = LivePresenters::first();
    std::vector<std::string> words{path};
    words.insert(words.end(), options.begin(), options.end());
    words.push_back("--modal");
    if (owner && owner->topLevel)
        words.push_back("--attach=" + std::to_string(owner->xWindow));
    std::vector<std::string> settings = environmentFor(owner ? DisplayString(owner->display) : "");
    std::vector<char*> arguments = pointers(words), environment = pointers(settings);

    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return run;
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        execve(path.c_str(), arguments.data(), environment.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (child < 0) {
        close(out[0]);
        close(err[0]);
        return run;
    }
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    fcntl(err[0], F_SETFL, O_NONBLOCK);
    {
        const LivePresenters::Modal modal;
        bool outOpen = true, errOpen = true;
        while (outOpen || errOpen) {
            std::vector<int> waiting;
            if (outOpen)
                waiting.push_back(out[0]);
            if (errOpen)
                waiting.push_back(err[0]);
            LivePresenters::paintWhileWaiting(servingMilliseconds, waiting);
            if (outOpen)
                outOpen = drain(out[0], run.out);
            if (errOpen)
                errOpen = drain(err[0], run.err);
        }
    }
    close(out[0]);
    close(err[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.ran = WIFEXITED(status) && WEXITSTATUS(status) != 127;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string lastLine(const std::string& text)
{
    std::istringstream lines(text);
    std::string line, last;
    while (std::getline(lines, line))
        if (!line.empty())
            last = line;
    return last;
}

// The answer of a chooser, or nothing; a failure goes to standard error.
std::optional<std::string> answer(const Run& run, const char* what)
{
    if (run.ran && run.status == 0) {
        std::string chosen = run.out;
        while (!chosen.empty() && (chosen.back() == '\n' || chosen.back() == '\r'))
            chosen.pop_back();
        if (!chosen.empty())
            return chosen;
    }
    if (!run.ran)
        std::fprintf(stderr, "voltara: no %s can be shown: %s; taken as cancelled\n", what,
                     DesktopDialogs::program().empty() ? "zenity is not installed (Debian package zenity)"
                                                       : "zenity could not be started");
    else if (run.status != 0 && run.status != userCancelled)
        std::fprintf(stderr, "voltara: the %s failed (zenity: %s); taken as cancelled\n", what,
                     lastLine(run.err).empty() ? ("status " + std::to_string(run.status)).c_str()
                                               : lastLine(run.err).c_str());
    return std::nullopt;
}

} // namespace

std::string DesktopDialogs::program()
{
    const char* searchPath = std::getenv("PATH");
    std::istringstream folders(searchPath ? searchPath : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + dialogProgram;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

std::optional<std::string> DesktopDialogs::chooseFile(const std::string& title, const std::string& initialPath,
                                                      const std::vector<FileType>& types)
{
    std::vector<std::string> options{"--file-selection", "--title=" + title};
    if (const std::string start = startingPoint(initialPath); !start.empty())
        options.push_back(start);
    for (const FileType& type : types) {
        std::string filter = "--file-filter=" + type.name + " |";
        for (const std::string& pattern : type.patterns)
            filter += " " + pattern;
        options.push_back(filter);
    }
    if (!types.empty())
        options.push_back("--file-filter=All files | *");
    return answer(runDialog(options), "file chooser");
}

std::optional<std::string> DesktopDialogs::chooseFolder(const std::string& title, const std::string& initialFolder)
{
    std::vector<std::string> options{"--file-selection", "--directory", "--title=" + title};
    if (const std::string start = startingPoint(initialFolder); !start.empty())
        options.push_back(start);
    return answer(runDialog(options), "folder chooser");
}

bool DesktopDialogs::showMessage(const std::string& text, const std::string& caption)
{
    const Run run = runDialog({"--info", "--no-markup", "--title=" + caption, "--text=" + text});
    if (!run.ran)
        std::fprintf(stderr, "voltara: no message dialog can be shown: %s\n",
                     program().empty() ? "zenity is not installed (Debian package zenity)"
                                       : "zenity could not be started");
    return run.ran && (run.status == 0 || run.status == userCancelled);
}

} // namespace voltara::platform::x11
