#include "tests/support/FloatWav.h"
#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Outputs never destroy what was there: not the input, not on a signal.
namespace voltara::test {
namespace {

constexpr int rate = 44100;

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

struct OutputSafety : ::testing::Test {
    void SetUp() override
    {
        FloatWav wav;
        for (int j = 0; j < rate / 4; ++j) {
            wav.samples.push_back(0.3f * float(std::sin(j * 0.05)));
            wav.samples.push_back(0.3f * float(std::sin(j * 0.03)));
        }
        wav.write(in);
    }

    VoltaraRun voltara;
    std::string in = voltara.file("in.wav");
};

TEST_F(OutputSafety, AnOutputThatIsTheInputIsRefusedAndTheInputKept)
{
    ASSERT_EQ(voltara({"process", in, voltara.file("pcm.wav"), "--bits", "16", "--tail", "0"}).status, 0);
    ASSERT_EQ(voltara({"kfr", "encode", voltara.file("pcm.wav"), voltara.file("pcm.kfr")}).status, 0);
    ASSERT_EQ(symlink(in.c_str(), voltara.file("link.wav").c_str()), 0);
    ASSERT_EQ(link(in.c_str(), voltara.file("hard.wav").c_str()), 0);
    std::ofstream(voltara.file("bank.txt")) << "program 0 \"One\"\n";
    const std::vector<std::vector<std::string>> cases = {
        {"process", in, in},
        {"process", in, voltara.file("link.wav")},
        {"process", voltara.file("link.wav"), voltara.file("hard.wav")},
        {"process", in, voltara.file("./in.wav")},
        {"process", in, voltara.file("sub/../in.wav")},
        {"kfr", "encode", voltara.file("pcm.wav"), voltara.file("pcm.wav")},
        {"kfr", "decode", voltara.file("pcm.kfr"), voltara.file("pcm.kfr")},
        {"bank", "build", voltara.file("bank.txt"), voltara.file("bank.txt")},
    };
    mkdir(voltara.file("sub").c_str(), 0755);
    for (const auto& arguments : cases) {
        const std::string input = arguments[arguments.size() - 2];
        const std::string before = fileBytes(input);
        const auto result = voltara(arguments);
        EXPECT_EQ(result.status, 1) << arguments.back();
        EXPECT_NE(result.err.find("is the input file"), std::string::npos) << result.err;
        EXPECT_EQ(fileBytes(input), before) << input << " was changed";
    }
    EXPECT_EQ(filesIn(voltara.file("sub")).size(), 0u);
}

// Runs voltara, sends signal once its temporary file exists, and answers
// the raw wait status.
int interrupted(const VoltaraRun& voltara, const std::vector<std::string>& arguments, int signal,
                const std::string& folder)
{
    const pid_t child = fork();
    if (child == 0) {
        setenv("VOLTARA_REGISTRY", voltara.registry().c_str(), 1);
        setenv("TMPDIR", folder.c_str(), 1);
        std::vector<char*> argv = {const_cast<char*>(VOLTARA_BINARY_DIR "/voltara")};
        for (const std::string& word : arguments)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        freopen("/dev/null", "w", stderr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    for (int wait = 0; wait < 2000; ++wait) { // 20 s at most
        bool temporary = false;
        for (const std::string& name : filesIn(folder))
            temporary = temporary || name.find(".partial-") != std::string::npos || name.rfind("voltara-", 0) == 0;
        if (temporary)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST_F(OutputSafety, SignalsRemoveTheTemporaryFileAndEndTheProgramByThem)
{
    // Slow enough to be caught at work: a long tail in tiny blocks.
    const std::string folder = voltara.file("outputs");
    mkdir(folder.c_str(), 0755);
    struct Case {
        std::vector<std::string> arguments;
        int signal;
    };
    const Case cases[] = {
        {{"process", in, folder + "/out.wav", "--tail", "600", "--block", "4"}, SIGINT},
        {{"process", in, folder + "/out.flac", "--tail", "600", "--block", "4"}, SIGTERM},
        {{"process", in, folder + "/out.kfr", "--tail", "600", "--block", "4"}, SIGHUP},
    };
    for (const Case& c : cases) {
        const int status = interrupted(voltara, c.arguments, c.signal, folder);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.arguments[2] << " status " << status;
        EXPECT_EQ(filesIn(folder).size(), 0u) << c.arguments[2] << " left " << filesIn(folder)[0];
    }
}

TEST_F(OutputSafety, ABrokenPipeRemovesTheTemporaryFile)
{
    const std::string folder = voltara.file("temporary");
    mkdir(folder.c_str(), 0755);
    // The reader goes away before the output is complete.
    const std::string command = "TMPDIR='" + folder + "' VOLTARA_REGISTRY='" + voltara.registry() + "' '"
                                + VOLTARA_BINARY_DIR "/voltara' process '" + in
                                + "' - --tail 20 2>/dev/null | true; echo ${PIPESTATUS[0]}";
    const auto result = runProgram("/bin/bash", {"-c", command}, {}, TempFolder());
    EXPECT_EQ(result.out, "141\n"); // 128 + SIGPIPE
    EXPECT_EQ(filesIn(folder).size(), 0u);
}

TEST_F(OutputSafety, DashWritesWaveToStandardOutput)
{
    const auto result = voltara({"process", in, "-", "--set", "0=1", "--tail", "0"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::ofstream(voltara.file("piped.wav"), std::ios::binary) << result.out;
    const FloatWav piped = FloatWav::read(voltara.file("piped.wav"));
    EXPECT_EQ(piped.samples, FloatWav::read(in).samples);
}

// Everything the command reads from a FIFO while it runs.
class FifoReader {
public:
    explicit FifoReader(const std::string& path)
        : thread_([this, path] {
              const int in = open(path.c_str(), O_RDONLY);
              char buffer[4096];
              for (ssize_t got; in >= 0 && (got = read(in, buffer, sizeof buffer)) > 0;)
                  bytes_.append(buffer, size_t(got));
              close(in);
          })
    {
    }
    std::string bytes()
    {
        thread_.join();
        return bytes_;
    }

private:
    std::string bytes_;
    std::thread thread_;
};

bool isLinkTo(const std::string& path, const std::string& target)
{
    char read[256] = {};
    return readlink(path.c_str(), read, sizeof read - 1) > 0 && target == read;
}

// Only a regular file is replaced by the finished output: a character device
// or a FIFO is written (as root, kfr encode x.wav /dev/null once replaced
// /dev/null with a file), a write error there fails the command, and a folder
// is refused. Links to the devices stand in for them here.
TEST_F(OutputSafety, DevicesAndFifosAreWrittenNeverReplaced)
{
    ASSERT_EQ(voltara({"process", in, voltara.file("pcm.wav"), "--bits", "16", "--tail", "0"}).status, 0);
    ASSERT_EQ(voltara({"kfr", "encode", voltara.file("pcm.wav"), voltara.file("pcm.kfr")}).status, 0);
    std::ofstream(voltara.file("bank.txt")) << "program 0 \"One\"\n";
    struct Command {
        std::vector<std::string> arguments; // the output last
        std::string extension;
    };
    const Command commands[] = {
        {{"process", in, "--tail", "0"}, ".wav"},
        {{"process", in, "--tail", "0"}, ".flac"},
        {{"kfr", "encode", voltara.file("pcm.wav")}, ".kfr"},
        {{"kfr", "decode", voltara.file("pcm.kfr")}, ".wav"},
        {{"bank", "build", voltara.file("bank.txt")}, ".fxb"},
        {{"editor", "--play", "0"}, ".png"},
    };
    int n = 0;
    for (const Command& command : commands) {
        const auto run = [&](const std::string& out) {
            std::vector<std::string> arguments = command.arguments;
            const std::string& name = command.arguments[0];
            arguments.insert(arguments.begin() + (name == "editor" ? 1 : name == "process" ? 2 : 3), out);
            return voltara(arguments);
        };
        const std::string stem = voltara.file("out" + std::to_string(++n));
        const std::string regular = stem + "-regular" + command.extension;
        ASSERT_EQ(run(regular).status, 0) << regular;

        const std::string null = stem + "-null" + command.extension;
        ASSERT_EQ(symlink("/dev/null", null.c_str()), 0);
        const auto quiet = run(null);
        EXPECT_EQ(quiet.status, 0) << null << ": " << quiet.err;
        EXPECT_TRUE(isLinkTo(null, "/dev/null")) << null << " was replaced";

        const std::string full = stem + "-full" + command.extension;
        ASSERT_EQ(symlink("/dev/full", full.c_str()), 0);
        const auto failed = run(full);
        EXPECT_EQ(failed.status, 1) << full;
        EXPECT_NE(failed.err.find("cannot write " + full + ": No space left on device"), std::string::npos)
            << failed.err;
        EXPECT_TRUE(isLinkTo(full, "/dev/full")) << full << " was replaced";

        const std::string folder = stem + "-folder" + command.extension;
        mkdir(folder.c_str(), 0755);
        const auto refused = run(folder);
        EXPECT_EQ(refused.status, 1) << folder;
        EXPECT_NE(refused.err.find("it is a folder"), std::string::npos) << refused.err;
        EXPECT_EQ(filesIn(folder).size(), 0u);

        // A link to a regular file stays a link; the file it leads to is replaced.
        const std::string linked = stem + "-link" + command.extension;
        const std::string target = stem + "-target" + command.extension;
        std::ofstream(target) << "old";
        ASSERT_EQ(symlink(target.c_str(), linked.c_str()), 0);
        ASSERT_EQ(run(linked).status, 0) << linked;
        EXPECT_TRUE(isLinkTo(linked, target)) << linked << " was replaced";
        EXPECT_EQ(fileBytes(target).size(), fileBytes(regular).size()) << target;

        const std::string fifo = stem + "-fifo" + command.extension;
        ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
        FifoReader reader(fifo);
        EXPECT_EQ(run(fifo).status, 0) << fifo;
        EXPECT_EQ(reader.bytes(), fileBytes(regular)) << fifo;
        struct stat status;
        EXPECT_TRUE(stat(fifo.c_str(), &status) == 0 && S_ISFIFO(status.st_mode)) << fifo << " was replaced";
    }
}

// A WAV stream gets its samples as they are rendered: nothing goes through a
// temporary file first (here, there is no temporary folder to put one in).
TEST_F(OutputSafety, AWaveStreamIsWrittenAsItIsRendered)
{
    const std::string none = voltara.file("no-such-folder");
    const std::vector<std::string> arguments = {"process", in, "-", "--set", "0=1", "--tail", "0"};
    const auto result = runProgram(VOLTARA_BINARY_DIR "/voltara", arguments,
                                   {"VOLTARA_REGISTRY=" + voltara.registry(), "TMPDIR=" + none}, TempFolder());
    ASSERT_EQ(result.status, 0) << result.err;
    std::ofstream(voltara.file("streamed.wav"), std::ios::binary) << result.out;
    EXPECT_EQ(FloatWav::read(voltara.file("streamed.wav")).samples, FloatWav::read(in).samples);
}

} // namespace
} // namespace voltara::test
