// The window program's command line with any bytes, split at NUL bytes into
// arguments as argv would hold them. Whatever comes in, the reading ends in
// one of its actions; a refusal carries one printable line of bounded length,
// and every other action none; only a start keeps a model, and only one with
// a --model argument.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "app/options/WindowOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> args;
    for (std::size_t start = 0; start <= bytes.size();) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        if (end > start || end < bytes.size()) args.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    const WindowOptions options = ParseWindowOptions(args);
    if (options.action == WindowOptions::Action::Refuse) {
        FUZZ_CHECK(!options.error.empty());
        // The longest message, "unexpected argument '", the argument cut at
        // 40 bytes, "..." and the closing quote: 66 bytes.
        FUZZ_CHECK(options.error.size() <= 66);
        for (const char c : options.error) FUZZ_CHECK(c >= ' ' && c <= '~');
    } else {
        FUZZ_CHECK(options.error.empty());
    }
    // A start keeps a model only from a --model argument; nothing else keeps one.
    if (options.action == WindowOptions::Action::Run && !options.model.empty())
        FUZZ_CHECK(std::any_of(args.begin(), args.end(), [](std::string_view a) { return a.starts_with("--model"); }));
    if (options.action != WindowOptions::Action::Run) FUZZ_CHECK(options.model.empty());
    return 0;
}
