#pragma once

// Entry points of the subcommands of the voltara tool. Each subcommand lives in
// its own source file and is declared here; Main.cpp lists them in its table.
// argv[0] is the subcommand's own name. Each returns the exit status; a
// ToolError thrown out of one is reported by main.

namespace voltara {

int runProcessCommand(int argc, char** argv);
int runInfoCommand(int argc, char** argv);
int runBankCommand(int argc, char** argv);
int runKfrCommand(int argc, char** argv);
int runEditorCommand(int argc, char** argv);

} // namespace voltara
