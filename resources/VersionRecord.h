// The program's file and product version record, kept as data.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace resources {

struct VersionString {
    std::string_view key;
    std::string_view value;
};

struct VersionRecord {
    std::array<std::uint16_t, 4> fileVersion;
    std::array<std::uint16_t, 4> productVersion;
    std::uint32_t flagsMask;
    std::uint32_t flags;
    std::uint32_t fileOs;    // 0x4: 32-bit Windows
    std::uint32_t fileType;  // 1: application
    std::uint32_t fileSubtype;
    std::uint64_t fileDate;
    std::string_view blockName;  // language and code page of the strings, in hex
    std::span<const VersionString> strings;
    std::uint16_t language;  // translation: language id
    std::uint16_t codePage;  // translation: code page
};

}  // namespace resources
