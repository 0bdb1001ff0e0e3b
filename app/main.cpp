// The program: its one application object and the framework's start-up. The
// command line is read first, so --help, --version and a bad option need no
// display.
#include <cstdio>
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
        std::string error;
        const model::FieldModel* chosen = model::LoadFieldModel(options.model, read, error);
        if (chosen == nullptr) {
            static_cast<void>(WriteAll(stderr, "dexlin: " + error + "\n"));
            return kExitBadCommandLine;
        }
        theApp.UseFieldModel(*chosen);
    }
    return platform::RunApplication(argc, argv, DexlinResources());
}
