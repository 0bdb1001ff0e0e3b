// The window program's command line, read before any window exists: the
// options every Linux program has and the choice of field model.
#pragma once

#include <span>
#include <string>
#include <string_view>

struct WindowOptions {
    enum class Action {
        Run,      // open the window
        Help,     // print the usage on stdout, exit 0
        Version,  // print the version on stdout, exit 0
        Refuse,   // print error and the usage on stderr, exit 2
    };
    Action action = Action::Run;
    std::string model;  // --model's value; empty: the built-in 1995 field
    std::string error;  // for Refuse: one line naming the argument, no newline
};

// Reads the arguments after the program name: --model VALUE (or
// --model=VALUE; the last one counts), --help, --version, and Qt's own
// options (-style NAME, -platform NAME, -reverse, ...), which are passed over
// here and left for Qt. --help and --version win over everything after them;
// the first bad argument (an unknown one, a value missing) refuses the line.
// The values are not looked at here.
WindowOptions ParseWindowOptions(std::span<const std::string_view> args);

// The usage text (several lines, each ending in a newline) and the version line.
std::string_view WindowUsage();
std::string_view WindowVersionLine();

// Exit statuses of the window program.
// No display (as platform::RunApplication reports it), or --help or --version
// could not be written.
inline constexpr int kExitNoDisplay = 1;
inline constexpr int kExitBadCommandLine = 2;
