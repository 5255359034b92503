// The command line of the host program:
//
//   cadhost [--script FILE] [--save FILE] [--product NAME] [--home DIR] [--module FILE] [drawing]
//
//   --script FILE   runs the commands and answers of FILE (one item per line) instead of the
//                   terminal's; any script error ends the program with exit code 1
//   --save FILE     saves the drawing to FILE at the end (not after a failed script)
//   --product NAME  the host's product name ("AutoCAD" unless given), which tells the module
//                   which host it runs in
//   --home DIR      the folder that is drive C: (default ~/.cadhost/drive_c)
//   --module FILE   the module to load (default libquorvelle.so beside the program)
//   drawing         the drawing to open (else a new, empty one)
//   --help, -h      prints the usage and what the options mean, and ends (exit code 0)
//   --              ends the options: what follows is the drawing, even when it begins with "-"
//
// A test seam in the environment: QV_STOP_WHILE_WRITING=MOMENT makes the program stop itself
// (SIGSTOP) once, at that moment of a file's replacement ("part", "keeping:BYTES" or
// "writing:BYTES", win32/FileReplacement.h), for a test to send it a signal there; unset or
// empty, nothing stops. A value that names no moment ends the program at once (exit code 2).

#pragma once

#include <optional>
#include <string>

namespace cadhost {

struct Options {
    std::string script;
    std::string save;
    std::string product = "AutoCAD";
    std::string home;
    std::string module;
    bool moduleGiven = false;
    std::string drawing;
    bool help = false;
};

// The options of argv, or nothing with the reason in `error` (an unknown option, a missing
// value, a second drawing).
std::optional<Options> parseOptions(int argc, char** argv, std::string& error);

// The environment variable of the test seam above.
inline constexpr char kStopWhileWriting[] = "QV_STOP_WHILE_WRITING";

extern const char* const kUsage;
// What --help prints after the usage.
extern const char* const kHelp;

}  // namespace cadhost
