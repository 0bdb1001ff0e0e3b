// The model --model names, for the window and the companion alike: a built-in
// model by its key, else a coefficient file.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "FieldModel.h"
#include "TextLines.h"

namespace model {

namespace {

constexpr std::size_t kMebibyte = std::size_t{1} << 20;

// A path as one line of a message: control bytes show as '?'.
std::string Shown(std::string_view path) {
    std::string shown(path);
    const auto control = [](unsigned char c) { return c < ' ' || c == 0x7F; };
    std::ranges::replace_if(shown, control, '?');
    return shown;
}

// Reads a whole coefficient file into text; the reason it cannot, or empty.
// The status is taken without opening the file (a FIFO with no writer would
// block an open for ever, a device may never end): only a regular file is
// opened. (One swapped for a FIFO between the two steps blocks only its
// swapper's program.)
std::string ReadModelFile(const std::filesystem::path& path, std::string& text) {
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(path, code);
    // "No such file or directory", also for a dangling link.
    if (code == std::errc::no_such_file_or_directory) {
        return code.message() + " (nor a built-in model: " + BuiltInKeys(", ") + ")";
    }
    if (code) return code.message();
    if (std::filesystem::is_directory(status)) return "is a directory";
    if (!std::filesystem::is_regular_file(status)) return "is not a regular file (a FIFO, a device or a socket)";
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    // The library opens through the C runtime, which says why in errno.
    if (!file) return errno != 0 ? std::generic_category().message(errno) : "cannot be opened";
    char buffer[4096];
    while (text.size() <= kMaxModelFileBytes && file.read(buffer, sizeof buffer).gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) return "cannot be read";
    if (text.size() > kMaxModelFileBytes) {
        return "larger than " + std::to_string(kMaxModelFileBytes / kMebibyte) + " MiB, not a coefficient file";
    }
    return {};
}

// The SHC layout opens with comments or its header of seven words, the standard one with two or three.
bool IsShcLayout(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return false;
    return text[start] == '#' || Words(text.substr(start, text.find('\n', start) - start)).size() == 7;
}

}  // namespace

const FieldModel* LoadFieldModel(std::string_view keyOrPath, FieldModel& loaded, std::string& error) {
    if (const FieldModel* builtIn = FindBuiltInModel(keyOrPath)) return builtIn;
    std::string text;
    std::string why = ReadModelFile(std::filesystem::path(keyOrPath), text);
    if (!why.empty() ||
        !(IsShcLayout(text) ? ReadShcFile(text, loaded, why) : ReadCoefficientFile(text, loaded, why))) {
        error = Shown(keyOrPath) + ": " + why;
        return nullptr;
    }
    return &loaded;
}

}  // namespace model
