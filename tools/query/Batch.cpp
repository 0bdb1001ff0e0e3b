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
#include <span>
#include <string>
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
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t count = 0;
    auto at = line.begin();
    while (count < kMaxWords) {
        at = std::find_if_not(at, line.end(), blank);
        if (at == line.end()) break;
        const auto wordEnd = std::find_if(at, line.end(), blank);
        words[count++] = std::string_view(at, wordEnd);
        at = wordEnd;
    }
    return count;
}

// A CSV row: LAT,LON[,DATE[,HEIGHT_KM]]. One field more is read to be refused.
constexpr std::size_t kCsvFields = 4;
constexpr std::array<std::string_view, kCsvFields> kCsvNames{"LAT", "LON", "DATE", "HEIGHT_KM"};
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Splits a CSV line (RFC 4180, commas or tabs; quoted fields may hold either
// and doubled quotes, but not a line break) into at most fields.size() fields,
// blanks around an unquoted field trimmed; the last one then only shows that
// there are more. Returns how many were read; 0 for an unterminated quote.
std::size_t SplitCsv(std::string_view line, std::span<std::string> fields) {
    std::size_t count = 0;
    std::size_t i = 0;
    for (std::string& field : fields) {
        ++count;
        field.clear();
        while (i < line.size() && line[i] == ' ') ++i;
        if (i < line.size() && line[i] == '"') {
            for (++i;; ++i) {
                if (i == line.size()) return 0;
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        ++i;
                    } else {
                        break;
                    }
                }
                field += line[i];
            }
            ++i;
            while (i < line.size() && line[i] == ' ') ++i;
        } else {
            const auto separator = std::find_if(line.begin() + static_cast<std::ptrdiff_t>(i), line.end(),
                                                [](char c) { return c == ',' || c == '\t'; });
            const auto end = static_cast<std::size_t>(separator - line.begin());
            std::size_t last = end;
            while (last > i && line[last - 1] == ' ') --last;
            field.assign(line.substr(i, last - i));
            i = end;
        }
        if (i >= line.size()) return count;
        if (line[i] != ',' && line[i] != '\t') return 0;  // text after a closing quote
        ++i;
    }
    return count;
}

// A CSV row of numbers starts with its latitude; a command starts with a letter.
bool IsCsvRow(std::string_view line) {
    const std::size_t at = line.find_first_not_of(' ');
    if (at == std::string_view::npos) return false;
    const char c = line[at];
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == '"';
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
    bool leadingTooLong = false;                         // an over-long line, not kept, comes before the bytes
    long long firstLine = 0;                             // number of the first line (the over-long one if any)
    OutputBuffer answers;                                // in memory
    CsvHeaders headers;                                  // the CSV header rows among the answers
    const std::vector<std::string>* csvNames = nullptr;  // the input's CSV header, if it has one
    bool anyFailed = false;
    bool done = false;
};

class BatchRun {
public:
    BatchRun(OutputBuffer& out, const QuerySettings& settings, long long firstLine,
             const std::vector<std::string>* csvNames)
        : out_(out),
          runner_(out, settings),
          format_(settings.format),
          line_(firstLine - 1),
          csvNames_(csvNames),
          fields_(kCsvFields + 1) {}

    void Line(std::string_view line) {
        ++line_;
        if (line.size() > kMaxLine) {
            TooLong();
            return;
        }
        if (line_ == 1 && line.starts_with(kUtf8Bom)) line.remove_prefix(kUtf8Bom.size());
        if (IsCopiedAsItIs(line) || (line_ == 1 && csvNames_ != nullptr)) {
            // The input's CSV header becomes the first part of the answers' own.
            if (format_ == Format::Csv && line_ == 1 && csvNames_ != nullptr) return;
            out_.Append(line);
            out_.Append('\n');
            return;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CRLF input
        if (IsCsvRow(line)) {
            CsvLine(line);
            return;
        }
        std::array<std::string_view, kMaxWords> words;
        const std::size_t count = SplitWords(line, words);
        Answer(std::span(words.data(), count));
    }

    void DroppedLine() {
        ++line_;
        TooLong();
    }

    bool AnyFailed() const { return anyFailed_; }
    const CsvHeaders& Headers() const { return runner_.Headers(); }

private:
    void Answer(std::span<const std::string_view> words) {
        const Outcome outcome = runner_.Run(words, true);
        if (outcome == Outcome::Answered) return;
        anyFailed_ = true;
        if (outcome == Outcome::BadRequest) ErrorLine(runner_.Error());
    }

    // A field request in CSV: its columns come first in a CSV answer, padded
    // to the input's header, under the header's names (else LAT, LON, ...).
    void CsvLine(std::string_view line) {
        const std::size_t count = SplitCsv(line, fields_);
        const std::size_t named = csvNames_ != nullptr ? csvNames_->size() : 0;
        const std::size_t columns = std::max(std::min(count, kCsvFields), std::min(named, kCsvFields));
        if (format_ == Format::Csv) {
            for (std::size_t i = count; i < columns; ++i) fields_[i].clear();  // padded
            if (namesRows_[columns].empty()) {
                std::vector<std::string> names(columns);
                for (std::size_t i = 0; i < columns; ++i) names[i] = i < named ? (*csvNames_)[i] : kCsvNames[i];
                namesRows_[columns] = CsvRow(names);
            }
            runner_.SetLeadingColumns(namesRows_[columns], std::span(fields_.data(), columns));
        }
        if (count == 0) {
            anyFailed_ = true;
            ErrorLine("a quoted field has no closing quote (CSV fields cannot span lines)");
        } else {
            std::array<std::string_view, kCsvFields + 2> words{"field"};
            std::size_t n = 1;
            for (std::size_t i = 0; i < count; ++i) words[n++] = fields_[i];
            if (count == 2 || (count > 2 && fields_[2].empty())) {  // no date: today's
                words[3] = "now";
                n = std::max<std::size_t>(n, 4);
            }
            if (count == 4 && fields_[3].empty()) n = 4;  // no height: sea level
            Answer(std::span(words.data(), n));
        }
        runner_.SetLeadingColumns({}, {});
    }

    void TooLong() {
        anyFailed_ = true;
        ErrorLine("request longer than " + std::to_string(kMaxLine) + " bytes");
    }

    void ErrorLine(std::string_view message) {
        if (format_ != Format::Text) {
            runner_.ErrorAnswer(message, line_);
            return;
        }
        out_.Append("error: line ");
        out_.AppendInteger(line_);
        out_.Append(": ");
        out_.Append(message);
        out_.Append('\n');
    }

    OutputBuffer& out_;
    QueryRunner runner_;
    Format format_;
    bool anyFailed_ = false;
    long long line_;
    const std::vector<std::string>* csvNames_;
    std::vector<std::string> fields_;                    // the CSV row being answered
    std::array<std::string, kCsvFields + 1> namesRows_;  // CSV: the leading columns' names, by their count
};

// Answers every line of the chunk into its own answers.
void Answer(Chunk& chunk, const QuerySettings& settings) {
    chunk.answers.Clear();
    BatchRun run(chunk.answers, settings, chunk.firstLine, chunk.csvNames);
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
    chunk.headers = run.Headers();
}

// Cuts the input into chunks of whole lines. A line longer than kMaxLine is
// not kept: its bytes are skipped up to its end and the chunk that follows
// says that it was there. It reads with read(2) rather than a stdio stream
// for what it does, not for speed (the two cost the same, bench/RESULTS.md):
// it hands over what has come when the input pauses, so a program that waits
// for each answer gets it.
class ChunkReader {
public:
    explicit ChunkReader(int input) : input_(input) {}

    // Fills `chunk` with the next whole lines; false once the input is used up.
    bool Fill(Chunk& chunk) {
        std::vector<char>& bytes = chunk.input;
        bytes.assign(carry_.begin(), carry_.end());
        carry_.clear();
        chunk.leadingTooLong = false;
        std::size_t fresh = 0;  // bytes read for this chunk and kept
        while (!end_ && fresh < kChunkBytes) {
            const std::size_t kept = bytes.size();
            bytes.resize(kept + kChunkBytes);
            const ssize_t n = read(input_, bytes.data() + kept, kChunkBytes);
            if (n < 0 && errno == EINTR) {
                bytes.resize(kept);
                continue;
            }
            if (n <= 0) {
                bytes.resize(kept);
                end_ = true;
                failed_ = n < 0;
                break;
            }
            bytes.resize(kept + static_cast<std::size_t>(n));
            if (discarding_) {
                const auto nl = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(kept), bytes.end(), '\n');
                const bool lineEnds = nl != bytes.end();
                bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(kept), lineEnds ? nl + 1 : nl);
                if (!lineEnds) continue;
                discarding_ = false;
                chunk.leadingTooLong = true;
            }
            fresh += bytes.size() - kept;
            // Input that comes a little at a time waits on its answers: hand them over.
            if (static_cast<std::size_t>(n) < kChunkBytes) break;
        }
        if (end_ && discarding_) {  // the over-long line ends with the input
            discarding_ = false;
            chunk.leadingTooLong = true;
        }
        if (!end_ || failed_) {
            // Keep the unfinished last line for the next chunk; one too long to be a request is dropped.
            const auto lastNl = std::find(bytes.rbegin(), bytes.rend(), '\n');
            const auto cut = lastNl.base();
            if (static_cast<std::size_t>(bytes.end() - cut) > kMaxLine) {
                discarding_ = !failed_;
            } else if (!failed_) {
                carry_.assign(cut, bytes.end());
            }
            bytes.erase(cut, bytes.end());
        }
        if (nextLine_ == 1 && !chunk.leadingTooLong) ReadCsvHeader(bytes);
        chunk.csvNames = csvNames_.empty() ? nullptr : &csvNames_;
        chunk.firstLine = nextLine_;
        nextLine_ += std::count(bytes.begin(), bytes.end(), '\n') + (chunk.leadingTooLong ? 1 : 0);
        if (!bytes.empty() && bytes.back() != '\n') ++nextLine_;
        return !bytes.empty() || chunk.leadingTooLong || !end_;
    }

    bool Failed() const { return failed_; }

private:
    // A first line of words separated by commas or tabs ("lat,lon,date") is
    // the header of CSV rows; a command's words are separated by blanks.
    void ReadCsvHeader(const std::vector<char>& bytes) {
        std::string_view line(
            bytes.data(),
            std::min(static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), '\n') - bytes.begin()), kMaxLine));
        if (line.starts_with(kUtf8Bom)) line.remove_prefix(kUtf8Bom.size());
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // A blank line (a tab is a blank here too) or a comment is copied, never a header.
        if (IsCopiedAsItIs(line) || IsCsvRow(line) || line.find_first_of(",\t") == std::string_view::npos) return;
        std::vector<std::string> names(kCsvFields + 1);
        const std::size_t count = SplitCsv(line, names);
        const std::string_view first = names[0];
        for (const std::string_view command : {"field", "course", "route", "pixel"}) {
            if (first == command) return;
        }
        if (count < 2) return;
        names.resize(std::min(count, kCsvFields));
        csvNames_ = std::move(names);
    }

    int input_;
    std::vector<std::string> csvNames_;  // the input's CSV header: set on the first line, then only read
    std::vector<char> carry_;            // the unfinished last line read so far
    bool discarding_ = false;            // inside a line longer than kMaxLine
    bool end_ = false;
    bool failed_ = false;
    long long nextLine_ = 1;
};

// Hands a chunk's answers to the stream; false when that fails. A CSV header
// row that repeats the one in force (the previous chunk's last) is left out.
bool WriteAnswers(std::FILE* output, const Chunk& chunk, std::string& csvHeader) {
    std::string_view text = chunk.answers.Text();
    std::string_view after;
    const CsvHeaders& headers = chunk.headers;
    if (headers.firstAt != std::string::npos && headers.first == csvHeader) {
        after = text.substr(headers.firstAt + headers.first.size() + kCsvLineEnd.size());
        text = text.substr(0, headers.firstAt);
    }
    if (!headers.last.empty()) csvHeader = headers.last;
    const auto write = [output](std::string_view part) {
        return part.empty() || std::fwrite(part.data(), 1, part.size(), output) == part.size();
    };
    return write(text) && write(after) && std::fflush(output) == 0;
}

BatchResult Finish(const ChunkReader& reader, bool writeFailed, bool anyFailed) {
    if (writeFailed) return BatchResult::WriteFailed;
    if (reader.Failed()) return BatchResult::ReadFailed;
    return anyFailed ? BatchResult::SomeFailed : BatchResult::AllAnswered;
}

BatchResult RunOnCallingThread(ChunkReader& reader, std::FILE* output, const QuerySettings& settings) {
    Chunk chunk;
    bool anyFailed = false;
    std::string csvHeader;
    while (reader.Fill(chunk)) {
        Answer(chunk, settings);
        anyFailed = anyFailed || chunk.anyFailed;
        if (!WriteAnswers(output, chunk, csvHeader)) return BatchResult::WriteFailed;
    }
    return Finish(reader, false, anyFailed);
}

// Each worker reads a chunk, answers it and, when it is the oldest one not yet
// written, writes it and any finished ones after it. Reading takes turns under
// its own lock, which also queues the chunks in input order; a worker waiting
// for input holds no other lock, so the others can still write what they have
// answered. Workers sleep only when the chunks in memory reach their limit
// (threads + 4, whatever the input's size) or the input waits: no thread hands
// chunks to another, so none is woken for each chunk (a task per chunk costs a
// fifth more CPU time: bench/RESULTS.md).
class Pipeline {
public:
    Pipeline(ChunkReader& reader, std::FILE* output, const QuerySettings& settings, int threads)
        : reader_(reader), output_(output), settings_(settings), maxChunks_(static_cast<std::size_t>(threads) + 4) {
        workers_.reserve(static_cast<std::size_t>(threads));
        try {
            for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // The system gives no more threads: go on with those that started.
        }
    }
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;
    ~Pipeline() { Join(); }

    bool HasWorkers() const { return !workers_.empty(); }

    BatchResult Run() {
        Join();
        return Finish(reader_, writeFailed_, anyFailed_);
    }

private:
    // A chunk to read into once there is room for one; nullptr when the work is over.
    Chunk* FreeChunk() {
        std::unique_lock lock(mutex_);
        chunkFree_.wait(lock,
                        [this] { return writeFailed_ || inputDone_ || !free_.empty() || chunks_.size() < maxChunks_; });
        if (writeFailed_ || inputDone_) return nullptr;
        if (free_.empty()) return chunks_.emplace_back(std::make_unique<Chunk>()).get();
        Chunk* chunk = free_.back();
        free_.pop_back();
        return chunk;
    }

    void Work() {
        for (;;) {
            Chunk* chunk = FreeChunk();
            if (chunk == nullptr) return;
            {
                std::lock_guard readLock(readMutex_);
                const bool more = !inputDone_ && reader_.Fill(*chunk);
                std::lock_guard lock(mutex_);
                if (!more) {
                    inputDone_ = true;
                    free_.push_back(chunk);
                    chunkFree_.notify_all();
                    return;
                }
                chunk->done = false;
                inOrder_.push_back(chunk);
            }
            Answer(*chunk, settings_);
            std::unique_lock lock(mutex_);
            chunk->done = true;
            anyFailed_ = anyFailed_ || chunk->anyFailed;
            WriteFinished(lock);
        }
    }

    // Writes finished chunks from the oldest on, unless another worker is at it
    // (it then takes ours too, since it looks again after each write).
    void WriteFinished(std::unique_lock<std::mutex>& lock) {
        if (writing_) return;
        writing_ = true;
        while (!writeFailed_ && !inOrder_.empty() && inOrder_.front()->done) {
            Chunk* chunk = inOrder_.front();
            lock.unlock();
            const bool written = WriteAnswers(output_, *chunk, csvHeader_);
            lock.lock();
            inOrder_.pop_front();
            free_.push_back(chunk);
            if (!written) {
                writeFailed_ = true;
                chunkFree_.notify_all();
            }
            chunkFree_.notify_one();
        }
        writing_ = false;
    }

    void Join() {
        for (std::thread& worker : workers_) worker.join();
        workers_.clear();
    }

    ChunkReader& reader_;
    std::FILE* output_;
    const QuerySettings& settings_;
    std::size_t maxChunks_;
    std::vector<std::thread> workers_;

    std::mutex readMutex_;  // one reader at a time; taken before mutex_, never after
    std::mutex mutex_;      // guards everything below (inputDone_ is set under both)
    std::condition_variable chunkFree_;
    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::vector<Chunk*> free_;
    std::deque<Chunk*> inOrder_;  // read, not yet written, in input order
    bool writing_ = false;
    std::string csvHeader_;  // the CSV header row in force; only the writing worker uses it
    bool writeFailed_ = false;
    bool inputDone_ = false;
    bool anyFailed_ = false;
};

}  // namespace

int DefaultThreadCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    int count = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 0;
    if (count <= 0) count = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(count, 1, kMaxThreads);
}

BatchResult RunBatch(int input, std::FILE* output, const QuerySettings& settings, int threads) {
    ChunkReader reader(input);
    if (threads <= 1) return RunOnCallingThread(reader, output, settings);
    Pipeline pipeline(reader, output, settings, std::min(threads, kMaxThreads));
    if (!pipeline.HasWorkers()) return RunOnCallingThread(reader, output, settings);
    return pipeline.Run();
}

}  // namespace query
