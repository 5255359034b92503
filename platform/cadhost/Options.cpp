#include "cadhost/Options.h"

#include <cstring>

namespace cadhost {

const char* const kUsage =
    "usage: cadhost [--script FILE] [--save FILE] [--product NAME] [--home DIR] "
    "[--module FILE] [drawing]\n";

const char* const kHelp =
    "Opens a drawing (else a new, empty one), loads the module and runs commands typed at the\n"
    "\"Command: \" prompt, or those of a script. Type HELP or ? there for the list of commands.\n"
    "\n"
    "  --script FILE   runs the commands and answers of FILE (one item per line); a script that\n"
    "                  fails ends the program with exit code 1\n"
    "  --save FILE     saves the drawing to FILE at the end (not after a failed script)\n"
    "  --product NAME  the host's product name (\"AutoCAD\" unless given)\n"
    "  --home DIR      the folder that is drive C: (default ~/.cadhost/drive_c)\n"
    "  --module FILE   the module to load (default libquorvelle.so beside the program)\n"
    "  --help, -h      shows this text\n"
    "  drawing         the drawing file (DXF) to open\n"
    "  --              ends the options: what follows is the drawing\n";

std::optional<Options> parseOptions(int argc, char** argv, std::string& error) {
    Options options;
    bool drawingGiven = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = nullptr;
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            if (drawingGiven) {
                error = "only one drawing can be given (" + options.drawing + ", " + arg + ")";
                return std::nullopt;
            }
            options.drawing = arg;
            drawingGiven = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--script") {
            value = &options.script;
        } else if (arg == "--save") {
            value = &options.save;
        } else if (arg == "--product") {
            value = &options.product;
        } else if (arg == "--home") {
            value = &options.home;
        } else if (arg == "--module") {
            value = &options.module;
            options.moduleGiven = true;
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        if (value == nullptr) {
            continue;
        }
        if (i + 1 >= argc) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        *value = argv[++i];
        if (value->empty()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace cadhost
