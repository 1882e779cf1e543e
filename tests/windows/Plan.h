#pragma once

#include <string>
#include <vector>

namespace voltara::winhost {

// What the Linux side prepared for the Windows host: one line per item, its
// fields separated by tabs, the first field naming the kind. File names are
// relative to the plan's folder.
//   content  FOLDER                 the content folder (a Windows path)
//   programs FILE                   the factory program names, one a line
//   bitmaps  FOLDER                 the editor's bitmap files (a Windows path)
//   audio    NAME IN EXPECTED BLOCK TEMPO PROGRAM [INDEX=VALUE,...]
//   kfr      NAME WAVE KFR
//   editor   SCRIPT CAPTURE PROGRAM [INDEX=VALUE,...] [INDEX,...]
//            a script of mouse actions, the BMP to capture the editor into
//            after it, the program it starts from, the parameters it changed
//            on Linux with their values, and those it changed in edits
//   bank     BANK NAMES X Y         a bank file to load with the editor's bank
//            button at (X, Y), and the names of its programs
// A plan with an "installed" line checks an installed plug-in instead, with
// its audio lines only:
//   installed NAMES                 the factory program names, to be found
//            through the registry value the installer wrote
//   busy     TEXT COMMAND           a command line run while an instance is
//            open: it must fail, say TEXT and leave the DLL as it was
struct Plan {
    struct Line {
        std::vector<std::string> fields; // after the kind
    };

    // False when the file cannot be read.
    bool read(const std::string& path);
    // The lines of one kind, in file order.
    std::vector<Line> all(const std::string& kind) const;
    // The first field of the first line of a kind; empty when absent.
    std::string value(const std::string& kind) const;
    // A file beside the plan.
    std::string file(const std::string& name) const { return folder + name; }

    std::string folder; // with its trailing separator
    std::vector<std::pair<std::string, Line>> lines;
};

} // namespace voltara::winhost
