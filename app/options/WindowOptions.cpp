#include "app/options/WindowOptions.h"

#include <cstddef>
#include <string>
#include <utility>

#include "model/FieldModel.h"

namespace {

// The usage text; the built-in models come from the model's list.
std::string MakeUsage() {
    return "Usage: dexlin [--model " + model::BuiltInKeys("|") +
           "|FILE] [--help] [--version]\n"
           "A world map with the position under the pointer, the magnetic variation\n"
           "there, and the great-circle course and distance between two chosen points.\n"
           "\n"
           "Options:\n"
           "  --model MODEL  the field model of the variation readout (without this\n"
           "                 option the built-in 1995.0 reference field):\n" +
           model::BuiltInModelLines("                 ") +
           "                 FILE      a coefficient file: the standard WMM layout, valid\n"
           "                           for 5 years from its epoch, or the SHC layout of\n"
           "                           the IGRF (./NAME for a file named like a model)\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "Qt's standard options (-style NAME, -stylesheet FILE, -platform NAME,\n"
           "-reverse, ...) are passed to Qt; the window keeps its own colours.\n"
           "\n"
           "Keys on the map (Tab moves the focus from About to Help to the map):\n"
           "  arrows         move the keyboard's point one pixel (Shift: ten pixels)\n"
           "  Home           back to the map's centre\n"
           "  Space or S     choose the start there\n"
           "  D or Shift+Space  choose the destination there\n"
           "A screen reader hears the position and variation at the point, each end\n"
           "chosen, and then the course and distance.\n"
           "\n"
           "Outside the model's years the program says so at start and shows no variation.\n"
           "Exit status: 0 the window was closed; 1 no display could be opened;\n"
           "2 bad command line or unreadable model file.\n";
}

constexpr std::string_view kVersionLine = "dexlin " DEXLIN_VERSION "\n";

// An argument echoed in an error is cut here, so a huge one stays one short line.
constexpr std::size_t kMaxEchoed = 40;

// The argument as it may appear in a message: printable ASCII kept, every
// other byte shown as '?', at most kMaxEchoed of them and then "...".
std::string Echo(std::string_view arg) {
    std::string out;
    for (std::size_t i = 0; i < arg.size() && i < kMaxEchoed; ++i) {
        const char c = arg[i];
        out += c >= ' ' && c <= '~' ? c : '?';
    }
    if (arg.size() > kMaxEchoed) out += "...";
    return out;
}

// Qt's own options, which the toolkit reads from the same command line when
// the window opens (a desktop may start every program with some of them):
// those that take the next argument as their value, and those that stand
// alone. Qt takes each with one dash or two, and -style, -stylesheet,
// -session and -qmljsdebugger also as -NAME=VALUE.
constexpr std::string_view kQtValueOptions[] = {
    "style",
    "stylesheet",
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "qwindowicon",
    "qwindowtitle",
    "session",
    "display",
    "geometry",
    "title",
    "icon",
    "name",
    "visual",
};
constexpr std::string_view kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};
constexpr std::string_view kQtEqualsOptions[] = {"style", "stylesheet", "session", "qmljsdebugger"};

// The kind of a Qt option, from its name without the dashes.
enum class QtOption { None, Flag, Value, Equals, EmptyEquals };

QtOption QtOptionOf(std::string_view arg) {
    if (arg.size() < 2 || arg[0] != '-') return QtOption::None;
    const std::string_view name = arg.substr(arg[1] == '-' ? 2 : 1);
    for (const std::string_view option : kQtFlagOptions)
        if (name == option) return QtOption::Flag;
    for (const std::string_view option : kQtValueOptions)
        if (name == option) return QtOption::Value;
    for (const std::string_view option : kQtEqualsOptions)
        if (name.size() > option.size() && name.starts_with(option) && name[option.size()] == '=')
            return name.size() == option.size() + 1 ? QtOption::EmptyEquals : QtOption::Equals;
    return QtOption::None;
}

WindowOptions Refuse(std::string error) {
    WindowOptions options;
    options.action = WindowOptions::Action::Refuse;
    options.error = std::move(error);
    return options;
}

}  // namespace

WindowOptions ParseWindowOptions(std::span<const std::string_view> args) {
    WindowOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--model" || arg.starts_with("--model=")) {
            // The value follows as the next argument or after "="; the last one given counts.
            std::string_view value;
            if (arg == "--model") {
                if (i + 1 == args.size()) return Refuse("option '--model' needs a value");
                value = args[++i];
            } else {
                value = arg.substr(std::string_view("--model=").size());
            }
            if (value.empty()) return Refuse("option '--model' needs a value");
            options.model.assign(value);
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options = WindowOptions{};
            options.action = WindowOptions::Action::Help;
            return options;
        }
        if (arg == "--version") {
            options = WindowOptions{};
            options.action = WindowOptions::Action::Version;
            return options;
        }
        // Qt's options stay on the command line for Qt; a value that is
        // missing would make Qt drop the option silently.
        switch (QtOptionOf(arg)) {
        case QtOption::Flag:
        case QtOption::Equals: continue;
        case QtOption::Value:
            if (i + 1 == args.size()) return Refuse("option '" + Echo(arg) + "' needs a value");
            ++i;
            continue;
        case QtOption::EmptyEquals: return Refuse("option '" + Echo(arg.substr(0, arg.size() - 1)) + "' needs a value");
        case QtOption::None: break;
        }
        if (!arg.empty() && arg.front() == '-') return Refuse("unknown option '" + Echo(arg) + "'");
        return Refuse("unexpected argument '" + Echo(arg) + "'");
    }
    return options;
}

std::string_view WindowUsage() {
    static const std::string usage = MakeUsage();
    return usage;
}

std::string_view WindowVersionLine() { return kVersionLine; }
