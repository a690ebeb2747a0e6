// Reading the program's command line.

#include "app/CommandLine.h"

#include "online/BusinessEnvironment.h"

#include <cstring>

namespace {

// Options Qt reads itself, with the number of values each takes.
struct QtOption {
    const char* name;
    int values;
};
const QtOption kQtOptions[] = {
    {"platform", 1}, {"platformpluginpath", 1}, {"platformtheme", 1}, {"plugin", 1}, {"qwindowgeometry", 1},
    {"qwindowicon", 1}, {"qwindowtitle", 1}, {"reverse", 0}, {"session", 1}, {"style", 1}, {"stylesheet", 1},
    {"widgetcount", 0}, {"display", 1}, {"geometry", 1}, {"name", 1}, {"title", 1}, {"visual", 1},
    {"nograb", 0}, {"dograb", 0}, {"sync", 0},
};

const QtOption* qtOption(const char* arg)
{
    // Qt takes its options with one dash or two.
    const char* name = arg + (arg[1] == '-' ? 2 : 1);
    for (const QtOption& option : kQtOptions) {
        if (std::strcmp(name, option.name) == 0)
            return &option;
    }
    return nullptr;
}

} // namespace

CommandLine CommandLine::parse(int argc, const char* const* argv)
{
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        Action asked = Invalid;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            asked = Help;
        } else if (std::strcmp(arg, "--version") == 0) {
            asked = Version;
        } else if (std::strcmp(arg, "--board") == 0) {
            asked = SwitchBoard;
        } else if (std::strcmp(arg, "--close-board") == 0) {
            asked = CloseBoard;
        } else if (arg[0] == '-' && arg[1] != '\0') {
            if (const QtOption* option = qtOption(arg)) {
                if (i + option->values >= argc) {
                    result.action = Invalid;
                    result.problem = std::string("option ") + arg + " needs a value";
                    return result;
                }
                i += option->values;
                continue;
            }
            result.action = Invalid;
            result.problem = std::string("unknown option ") + arg + " (see --help)";
            return result;
        } else {
            if (!result.file.empty()) {
                result.action = Invalid;
                result.problem = "only one board file can be opened at a time";
                return result;
            }
            if (std::strchr(arg, '\n')) {
                result.action = Invalid;
                result.problem = "a file name cannot hold a line break";
                return result;
            }
            result.file = arg;
            asked = OpenFile;
        }
        // Help and version win over everything; two board commands contradict.
        if (asked == Help || (asked == Version && result.action != Help)) {
            result.action = asked;
        } else if (result.action == Run) {
            result.action = asked;
        } else if (result.action != Help && result.action != Version && result.action != asked) {
            result.action = Invalid;
            result.problem = "--board, --close-board and a board file cannot be given together";
            return result;
        }
    }
    return result;
}

std::string CommandLine::usage()
{
    return "Usage: scribbloom [OPTION | FILE.sbboard]\n"
           "Freeze the screen and draw on it, from a tool strip at the right edge of the screen.\n"
           "\n"
           "  --board        open a board on the strip's screen, or close the one that is\n"
           "                 open, as the strip's switch does (in the running copy, if\n"
           "                 any; otherwise start the program with a board open)\n"
           "  --close-board  close the board of the running copy\n"
           "  FILE.sbboard   open a saved board (in the running copy, if any)\n"
           "  --help         print this help and exit\n"
           "  --version      print the version and exit\n"
           "\n"
           "Bind \"scribbloom --board\" to a key in the desktop's keyboard settings to open and\n"
           "close the board from anywhere.\n";
}

std::string CommandLine::version()
{
    return std::string("Scribbloom ") + business_v2::productVersion + "\n";
}
