// The model --model names, for the window and the companion alike: a built-in
// model by its key, else a coefficient file.
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
    std::string shown;
    for (const char c : path) {
        shown += (static_cast<unsigned char>(c) < ' ' || c == '\x7F') ? '?' : c;
    }
    return shown;
}

// Reads a whole coefficient file into text; on failure says why. The status
// is taken without opening the file (a FIFO with no writer would block an open
// for ever, a device may never end): only a regular file is opened. (One
// swapped for a FIFO between the two steps blocks only its swapper's program.)
bool ReadModelFile(const std::filesystem::path& path, std::string& text, std::string& why) {
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(path, code);
    if (code) {
        why = code.message();  // "No such file or directory", also for a dangling link
        if (code == std::errc::no_such_file_or_directory) {
            why += " (nor a built-in model: " + BuiltInKeys(", ") + ")";
        }
        return false;
    }
    if (std::filesystem::is_directory(status)) {
        why = "is a directory";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        why = "is not a regular file (a FIFO, a device or a socket)";
        return false;
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        // The library opens through the C runtime, which says why in errno.
        why = errno != 0 ? std::generic_category().message(errno) : "cannot be opened";
        return false;
    }
    char buffer[4096];
    while (text.size() <= kMaxModelFileBytes && file.read(buffer, sizeof buffer).gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) {
        why = "cannot be read";
        return false;
    }
    if (text.size() > kMaxModelFileBytes) {
        why = "larger than " + std::to_string(kMaxModelFileBytes / kMebibyte) + " MiB, not a coefficient file";
        return false;
    }
    return true;
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
    std::string why;
    if (!ReadModelFile(std::filesystem::path(keyOrPath), text, why) ||
        !(IsShcLayout(text) ? ReadShcFile(text, loaded, why) : ReadCoefficientFile(text, loaded, why))) {
        error = Shown(keyOrPath) + ": " + why;
        return nullptr;
    }
    return &loaded;
}

}  // namespace model
