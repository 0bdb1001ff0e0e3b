#include "Batch.h"

#include "OutputBuffer.h"
#include "QueryRunner.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace query {

namespace {

// A request has at most five words; one more shows that there are too many.
constexpr std::size_t kMaxWords = 6;
// No request comes near this; a longer line is refused without being kept in memory.
constexpr std::size_t kMaxLine = 1 << 16;
// Input bytes per chunk (about 280 field requests, some 145 KB of answers), read
// in one call where the input has them ready.
constexpr std::size_t kChunkBytes = std::size_t{8} * 1024;

// Splits a line into words at blanks and tabs; stops after kMaxWords words.
std::size_t SplitWords(std::string_view line, std::array<std::string_view, kMaxWords>& words) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < line.size() && count < kMaxWords) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words[count++] = line.substr(start, i - start);
    }
    return count;
}

// Blank (nothing but blanks and tabs, before a CRLF's CR) or a comment: copied as it is.
bool IsCopiedAsItIs(std::string_view line) {
    if (!line.empty() && line[0] == '#') return true;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// One chunk of whole lines and the answers to them.
struct Chunk {
    std::vector<char> input;
    bool leadingTooLong = false;  // an over-long line, not kept, comes before the bytes
    long long firstLine = 0;      // number of the first line (the over-long one if any)
    OutputBuffer answers;         // in memory
    bool anyFailed = false;
    bool done = false;
};

class BatchRun {
public:
    BatchRun(OutputBuffer& out, bool json, bool raw, long long firstLine)
        : m_out(out), m_runner(out, json, raw), m_bJson(json), m_nLine(firstLine - 1) {}

    void Line(std::string_view line) {
        ++m_nLine;
        if (line.size() > kMaxLine) {
            TooLong();
            return;
        }
        if (IsCopiedAsItIs(line)) {
            m_out.Append(line);
            m_out.Append('\n');
            return;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CRLF input
        std::array<std::string_view, kMaxWords> words;
        const std::size_t count = SplitWords(line, words);
        const Outcome outcome = m_runner.Run(std::span(words.data(), count), true);
        if (outcome == Outcome::Answered) return;
        m_bAnyFailed = true;
        if (outcome == Outcome::BadRequest) ErrorLine(m_runner.Error());
    }

    void DroppedLine() {
        ++m_nLine;
        TooLong();
    }

    bool AnyFailed() const { return m_bAnyFailed; }

private:
    void TooLong() {
        m_bAnyFailed = true;
        ErrorLine("request longer than 65536 bytes");
    }

    void ErrorLine(std::string_view message) {
        if (m_bJson) {
            m_out.Append("{\"error\":\"");
            AppendJsonEscaped(m_out, message);
            m_out.Append("\",\"line\":");
            m_out.AppendInteger(m_nLine);
            m_out.Append("}\n");
        } else {
            m_out.Append("error: line ");
            m_out.AppendInteger(m_nLine);
            m_out.Append(": ");
            m_out.Append(message);
            m_out.Append('\n');
        }
    }

    OutputBuffer& m_out;
    QueryRunner m_runner;
    bool m_bJson;
    bool m_bAnyFailed = false;
    long long m_nLine;
};

// Answers every line of the chunk into its own answers.
void Answer(Chunk& chunk, bool json, bool raw) {
    chunk.answers.Clear();
    BatchRun run(chunk.answers, json, raw, chunk.firstLine);
    if (chunk.leadingTooLong) run.DroppedLine();
    const char* at = chunk.input.data();
    const char* const end = at + chunk.input.size();
    while (at < end) {
        const auto* nl = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        const char* const lineEnd = nl != nullptr ? nl : end;  // the input's last line may lack its newline
        run.Line(std::string_view(at, static_cast<std::size_t>(lineEnd - at)));
        at = lineEnd + 1;
    }
    chunk.anyFailed = run.AnyFailed();
}

// Cuts the input into chunks of whole lines. A line longer than kMaxLine is
// not kept: its bytes are skipped up to its end and the chunk that follows
// says that it was there.
class ChunkReader {
public:
    explicit ChunkReader(int input) : m_nInput(input) {}

    // Fills `chunk` with the next whole lines; false once the input is used up.
    bool Fill(Chunk& chunk) {
        std::vector<char>& bytes = chunk.input;
        bytes.assign(m_carry.begin(), m_carry.end());
        m_carry.clear();
        chunk.leadingTooLong = false;
        std::size_t fresh = 0;  // bytes read for this chunk and kept
        while (!m_bEnd && fresh < kChunkBytes) {
            const std::size_t kept = bytes.size();
            bytes.resize(kept + kChunkBytes);
            const ssize_t n = read(m_nInput, bytes.data() + kept, kChunkBytes);
            if (n < 0 && errno == EINTR) {
                bytes.resize(kept);
                continue;
            }
            if (n <= 0) {
                bytes.resize(kept);
                m_bEnd = true;
                m_bFailed = n < 0;
                break;
            }
            bytes.resize(kept + static_cast<std::size_t>(n));
            if (m_bDiscarding) {
                const auto nl = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(kept), bytes.end(), '\n');
                const bool lineEnds = nl != bytes.end();
                bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(kept), lineEnds ? nl + 1 : nl);
                if (!lineEnds) continue;
                m_bDiscarding = false;
                chunk.leadingTooLong = true;
            }
            fresh += bytes.size() - kept;
            // Input that comes a little at a time waits on its answers: hand them over.
            if (static_cast<std::size_t>(n) < kChunkBytes) break;
        }
        if (m_bEnd && m_bDiscarding) {  // the over-long line ends with the input
            m_bDiscarding = false;
            chunk.leadingTooLong = true;
        }
        if (!m_bEnd || m_bFailed) {
            // Keep the unfinished last line for the next chunk; one too long to be a request is dropped.
            const auto lastNl = std::find(bytes.rbegin(), bytes.rend(), '\n');
            const auto cut = lastNl.base();
            if (static_cast<std::size_t>(bytes.end() - cut) > kMaxLine) {
                m_bDiscarding = !m_bFailed;
            } else if (!m_bFailed) {
                m_carry.assign(cut, bytes.end());
            }
            bytes.erase(cut, bytes.end());
        }
        chunk.firstLine = m_nNextLine;
        m_nNextLine += std::count(bytes.begin(), bytes.end(), '\n') + (chunk.leadingTooLong ? 1 : 0);
        if (!bytes.empty() && bytes.back() != '\n') ++m_nNextLine;
        return !bytes.empty() || chunk.leadingTooLong || !m_bEnd;
    }

    bool Failed() const { return m_bFailed; }

private:
    int m_nInput;
    std::vector<char> m_carry;   // the unfinished last line read so far
    bool m_bDiscarding = false;  // inside a line longer than kMaxLine
    bool m_bEnd = false;
    bool m_bFailed = false;
    long long m_nNextLine = 1;
};

// Hands a chunk's answers to the stream; false when that fails.
bool WriteAnswers(std::FILE* output, const Chunk& chunk) {
    const std::string_view text = chunk.answers.Text();
    return std::fwrite(text.data(), 1, text.size(), output) == text.size() && std::fflush(output) == 0;
}

BatchResult Finish(const ChunkReader& reader, bool writeFailed, bool anyFailed) {
    if (writeFailed) return BatchResult::WriteFailed;
    if (reader.Failed()) return BatchResult::ReadFailed;
    return anyFailed ? BatchResult::SomeFailed : BatchResult::AllAnswered;
}

BatchResult RunOnCallingThread(ChunkReader& reader, std::FILE* output, bool json, bool raw) {
    Chunk chunk;
    bool anyFailed = false;
    while (reader.Fill(chunk)) {
        Answer(chunk, json, raw);
        anyFailed = anyFailed || chunk.anyFailed;
        if (!WriteAnswers(output, chunk)) return BatchResult::WriteFailed;
    }
    return Finish(reader, false, anyFailed);
}

// The calling thread reads; each worker answers a chunk and, when it is the
// oldest one not yet written, writes it and any finished ones after it.
// At most threads + 4 chunks are in memory at once, whatever the input's size.
class Pipeline {
public:
    Pipeline(std::FILE* output, bool json, bool raw, int threads)
        : m_pOutput(output), m_bJson(json), m_bRaw(raw), m_nMaxChunks(static_cast<std::size_t>(threads) + 4) {
        m_workers.reserve(static_cast<std::size_t>(threads));
        try {
            for (int i = 0; i < threads; ++i) m_workers.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // The system gives no more threads: go on with those that started.
        }
    }
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;
    ~Pipeline() { Close(); }

    bool HasWorkers() const { return !m_workers.empty(); }

    BatchResult Run(ChunkReader& reader) {
        for (;;) {
            Chunk* chunk = FreeChunk();
            if (chunk == nullptr) break;  // a write failed
            const bool more = reader.Fill(*chunk);
            std::lock_guard lock(m_mutex);
            if (!more) {
                m_free.push_back(chunk);
                break;
            }
            chunk->done = false;
            m_inOrder.push_back(chunk);
            m_toAnswer.push_back(chunk);
            m_workAvailable.notify_one();
        }
        Close();
        return Finish(reader, m_bWriteFailed, m_bAnyFailed);
    }

private:
    Chunk* FreeChunk() {
        std::unique_lock lock(m_mutex);
        m_chunkFree.wait(lock, [this] { return m_bWriteFailed || !m_free.empty() || m_chunks.size() < m_nMaxChunks; });
        if (m_bWriteFailed) return nullptr;
        if (m_free.empty()) return m_chunks.emplace_back(std::make_unique<Chunk>()).get();
        Chunk* chunk = m_free.back();
        m_free.pop_back();
        return chunk;
    }

    void Work() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_workAvailable.wait(lock, [this] { return m_bWriteFailed || m_bInputDone || !m_toAnswer.empty(); });
            if (m_bWriteFailed || m_toAnswer.empty()) return;
            Chunk* chunk = m_toAnswer.front();
            m_toAnswer.pop_front();
            lock.unlock();
            Answer(*chunk, m_bJson, m_bRaw);
            lock.lock();
            chunk->done = true;
            m_bAnyFailed = m_bAnyFailed || chunk->anyFailed;
            WriteFinished(lock);
        }
    }

    // Writes finished chunks from the oldest on, unless another worker is at it
    // (it then takes ours too, since it looks again after each write).
    void WriteFinished(std::unique_lock<std::mutex>& lock) {
        if (m_bWriting) return;
        m_bWriting = true;
        while (!m_bWriteFailed && !m_inOrder.empty() && m_inOrder.front()->done) {
            Chunk* chunk = m_inOrder.front();
            lock.unlock();
            const bool written = WriteAnswers(m_pOutput, *chunk);
            lock.lock();
            m_inOrder.pop_front();
            m_free.push_back(chunk);
            if (!written) {
                m_bWriteFailed = true;
                m_workAvailable.notify_all();
            }
            m_chunkFree.notify_one();
        }
        m_bWriting = false;
    }

    void Close() {
        {
            std::lock_guard lock(m_mutex);
            m_bInputDone = true;
        }
        m_workAvailable.notify_all();
        for (std::thread& worker : m_workers) worker.join();
        m_workers.clear();
    }

    std::FILE* m_pOutput;
    bool m_bJson;
    bool m_bRaw;
    std::size_t m_nMaxChunks;
    std::vector<std::thread> m_workers;

    std::mutex m_mutex;  // guards everything below
    std::condition_variable m_workAvailable;
    std::condition_variable m_chunkFree;
    std::vector<std::unique_ptr<Chunk>> m_chunks;
    std::vector<Chunk*> m_free;
    std::deque<Chunk*> m_toAnswer;  // read, not yet taken by a worker
    std::deque<Chunk*> m_inOrder;   // read, not yet written, in input order
    bool m_bWriting = false;
    bool m_bWriteFailed = false;
    bool m_bInputDone = false;
    bool m_bAnyFailed = false;
};

}  // namespace

int DefaultThreadCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    int count = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 0;
    if (count <= 0) count = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(count, 1, kMaxThreads);
}

BatchResult RunBatch(int input, std::FILE* output, bool json, bool raw, int threads) {
    ChunkReader reader(input);
    if (threads <= 1) return RunOnCallingThread(reader, output, json, raw);
    Pipeline pipeline(output, json, raw, std::min(threads, kMaxThreads));
    if (!pipeline.HasWorkers()) return RunOnCallingThread(reader, output, json, raw);
    return pipeline.Run(reader);
}

}  // namespace query
