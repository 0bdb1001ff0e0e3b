// A locale with a decimal comma for the tests that show the readouts keep
// their point: German, taken from the system or generated with localedef into
// a temporary folder (found through LOCPATH) when the system has none.
#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace testsupport {

// Switches the whole process (every category) to the decimal-comma locale and
// switches it back on destruction. ok() says whether the switch took place;
// comma() whether printf really writes a comma there (the test's premise).
class DecimalCommaLocale {
public:
    DecimalCommaLocale() {
        const char* current = std::setlocale(LC_ALL, nullptr);
        previous_ = current != nullptr ? current : "C";
        ok_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr || (Generate() && std::setlocale(LC_ALL, kName));
    }
    ~DecimalCommaLocale() {
        std::setlocale(LC_ALL, previous_.c_str());
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool ok() const { return ok_; }
    static bool comma() {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%.1f", 0.5);
        return std::string(buffer) == "0,5";
    }

private:
    static constexpr const char* kName = "de_DE.UTF-8";

    bool Generate() {
        std::error_code error;
        const auto base = std::filesystem::temp_directory_path(error);
        if (error) return false;
        for (int attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
            const auto candidate = base / ("dexlin-locale-" + std::to_string(std::rand()));
            if (std::filesystem::create_directory(candidate, error)) folder_ = candidate;
        }
        if (folder_.empty()) return false;
        // -c: the definition's warnings (it is not strictly ISO C) must not stop it.
        const std::string command =
            "localedef -c -i de_DE -f UTF-8 '" + (folder_ / kName).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == -1) return false;
        return setenv("LOCPATH", folder_.c_str(), 1) == 0;
    }

    std::string previous_;
    std::filesystem::path folder_;
    bool ok_ = false;
};

}  // namespace testsupport
