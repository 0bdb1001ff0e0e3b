// The whole of dexlin-query behind one call, so that it can be driven without a process.
#pragma once

#include "PositionParser.h"

#include <cstdio>
#include <span>
#include <string_view>

namespace query {

// Runs dexlin-query on its arguments (the program name left out): batch
// requests are read from the file descriptor `input`, answers go to `output`
// and messages to `err`; "now" is the day `today` gives. Returns the exit status.
int RunQueryTool(std::span<const std::string_view> args, int input, std::FILE* output, std::FILE* err,
                 DateSource today = LocalToday);

}  // namespace query
