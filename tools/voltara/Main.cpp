#include "tools/voltara/Commands.h"
#include "tools/voltara/ToolError.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
};

const Command commands[] = {
    {"process", voltara::runProcessCommand,
     "process IN|--demo OUT [--program N|NAME] [--bank FILE] [--set INDEX=VALUE ...]\n"
     "            [--tempo BPM] [--block N] [--tail SECONDS] [--cc TIME:CONTROLLER:VALUE ...]\n"
     "            [--program-change TIME:P ...] [--plugin PATH]\n"
     "        run an audio file (or the built-in guitar phrase) through the rack"},
    {"info", voltara::runInfoCommand,
     "info [--program N|NAME] [--bank FILE] [--set INDEX=VALUE ...] [--plugin PATH]\n"
     "        show the plug-in's identity, parameters and programs"},
    {"bank", voltara::runBankCommand,
     "bank dump FILE [--plugin PATH]    print a bank file as its text source\n"
     "    bank build TEXT OUT.fxb          make a bank file from a text source"},
    {"kfr", voltara::runKfrCommand,
     "kfr encode IN.wav OUT.kfr | decode IN.kfr OUT.wav | info FILE.kfr [--plugin PATH]\n"
     "        Kestrelwave lossless compression through the plug-in's codec"},
    {"editor", voltara::runEditorCommand,
     "editor OUT.png [--program N|NAME] [--bank FILE] [--set INDEX=VALUE ...] [--script FILE|-]\n"
     "            [--knob-style circular|linear] [--play SECONDS] [--plugin PATH]\n"
     "        open the editor, play a script of mouse and key actions, show what they did\n"
     "        and write a screenshot (see tools/README.md for the script)"},
};

void printUsage(std::FILE* to)
{
    std::fprintf(to, "usage: voltara COMMAND ...\n");
    for (const Command& command : commands)
        std::fprintf(to, "    %s\n", command.usage);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Command& command : commands) {
        if (std::strcmp(argv[1], command.name) != 0)
            continue;
        try {
            return command.run(argc - 1, argv + 1);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "voltara %s: %s\n", command.name, error.what());
            return 1;
        }
    }
    std::fprintf(stderr, "voltara: unknown command %s (try voltara --help)\n", argv[1]);
    return 2;
}
