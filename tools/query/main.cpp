// dexlin-query: the model and the geometry from the command line, one request
// at a time or a stream of them ("batch").
#include "QueryTool.h"

#include <unistd.h>

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return query::RunQueryTool(args, STDIN_FILENO, stdout, stderr);
}
