// dexlin-query batch: requests read in blocks, answered in chunks of lines by
// a small pool of threads, and written in input order.
#pragma once

#include <cstdio>

#include "QueryRunner.h"

namespace query {

enum class BatchResult {
    AllAnswered,
    SomeFailed,   // one or more error lines, or the model gave no record
    ReadFailed,   // the answers to what was read are written
    WriteFailed,  // stopped at the first failed write
};

// The most threads a batch runs on; more would only hold more chunks in memory.
constexpr int kMaxThreads = 64;

// The number of processors this process may run on, within 1..kMaxThreads.
int DefaultThreadCount();

// Answers each line read from `input` with one line on `output`. Blank lines
// and lines starting with '#' are copied unchanged. threads == 1 runs on the
// calling thread; more start that many workers, which read, answer and write
// in turn while the calling thread waits for them.
BatchResult RunBatch(int input, std::FILE* output, const QuerySettings& settings, int threads);

}  // namespace query
