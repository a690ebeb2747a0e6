#pragma once

// What the command line asks of this start: run the program, print help or
// the version, or switch a board on or off (in the copy already running,
// when there is one).

#include <string>

struct CommandLine {
    enum Action { Run, Help, Version, SwitchBoard, CloseBoard, OpenFile, Invalid };

    Action action = Run;
    // For OpenFile: the board file to open, as given.
    std::string file;
    // For Invalid: the one line that says what was wrong.
    std::string problem;

    // Qt's own options (-platform NAME, -style NAME, ...) pass through to Qt.
    static CommandLine parse(int argc, const char* const* argv);

    // The text of --help.
    static std::string usage();
    // The text of --version.
    static std::string version();
};
