// The program: its one application object and the framework's start-up. The
// command line is read first, so --help, --version and a bad option need no
// display.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/DexlinApp.h"
#include "app/options/WindowOptions.h"
#include "model/FieldModel.h"
#include "platform/AppMain.h"
#include "resources/DexlinResources.h"

CDexlinApp theApp;

namespace {

// Writes the whole text and hands it over; false when that fails (a full disk, a closed stream).
bool WriteAll(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::fflush(stream) == 0;
}

// A coefficient file is a few kilobytes; anything far larger is not one.
constexpr long kMaxModelFileBytes = 1L << 20;

// Reads the whole file; on failure says why in error.
bool ReadSmallFile(const std::string& path, std::string& text, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
        if (static_cast<long>(text.size()) > kMaxModelFileBytes) break;
    }
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    static_cast<void>(std::fclose(file));  // only read from: nothing to lose
    if (failed) {
        error = std::strerror(readErrno);
        return false;
    }
    if (static_cast<long>(text.size()) > kMaxModelFileBytes) {
        error = "larger than 1 MiB, not a coefficient file";
        return false;
    }
    return true;
}

// The model --model names: a built-in one by its key, else a coefficient
// file. On failure one line for stderr in error.
bool ChooseModel(const std::string& value, model::FieldModel& read, const model::FieldModel*& chosen,
                 std::string& error) {
    if ((chosen = model::FindBuiltInModel(value)) != nullptr) return true;
    std::string text, why;
    if (!ReadSmallFile(value, text, why) || !model::ReadCoefficientFile(text, read, why)) {
        // The path as one line: a control byte in it shows as '?'.
        std::string shown = value;
        for (char& c : shown)
            if (static_cast<unsigned char>(c) < ' ' || c == '\x7F') c = '?';
        error = "dexlin: " + shown + ": " + why + "\n";
        return false;
    }
    chosen = &read;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    const WindowOptions options = ParseWindowOptions(args);
    switch (options.action) {
    case WindowOptions::Action::Help: return WriteAll(stdout, WindowUsage()) ? 0 : kExitNoDisplay;
    case WindowOptions::Action::Version: return WriteAll(stdout, WindowVersionLine()) ? 0 : kExitNoDisplay;
    case WindowOptions::Action::Refuse:
        // Nowhere else to report a failed write of the refusal itself.
        static_cast<void>(WriteAll(stderr, "dexlin: " + options.error + "\n"));
        static_cast<void>(WriteAll(stderr, WindowUsage()));
        return kExitBadCommandLine;
    case WindowOptions::Action::Run: break;
    }
    if (!options.model.empty()) {
        model::FieldModel read;
        const model::FieldModel* chosen = nullptr;
        std::string error;
        if (!ChooseModel(options.model, read, chosen, error)) {
            static_cast<void>(WriteAll(stderr, error));
            return kExitBadCommandLine;
        }
        theApp.UseFieldModel(*chosen);
    }
    return platform::RunApplication(argc, argv, DexlinResources());
}
