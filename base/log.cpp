#include "base/log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/core/clock.h"
#include "platform/core/debug_output.h"
#include "platform/core/file.h"
#include "platform/core/text_encoding.h"
#include "base/file_access_table.h"
#include "base/tracked_memory.h"

// Note: a caller-supplied window, which would send the log to the debugger output only, does
// not exist in this system; that branch is left out of StartLog and LogWrite.

namespace {

constexpr char kDefaultLogName[] = "Log.txt";

// Texts up to this length are converted on the stack; longer ones in tracked memory.
constexpr size_t kStackTextLength = 255;

// The log file lies in the start directory whatever the current directory is: this changes
// into it for the length of one write and changes back afterwards.
class StartDirectoryScope {
public:
    StartDirectoryScope() {
        const char* start = GetLogState().directory;
        if (FileAccessGetDir(previous_) == 0) return;
        entered_ = FileAccessSetDir(start) != 0;
    }
    ~StartDirectoryScope() {
        if (entered_) FileAccessSetDir(previous_);
    }
    StartDirectoryScope(const StartDirectoryScope&) = delete;
    StartDirectoryScope& operator=(const StartDirectoryScope&) = delete;

    // False when the current directory could not be remembered or the start directory not
    // entered: then nothing is written, so that no stray log file appears elsewhere.
    bool entered() const { return entered_; }

private:
    char previous_[plat::kMaxPath] = {};
    bool entered_ = false;
};

const char* LogFileName(const LogState& log) {
    return log.fileName[0] != '\0' ? log.fileName : kDefaultLogName;
}

bool StartDirectoryKnown() { return GetLogState().directory[0] != '\0'; }

// A byte that can follow a lead byte as the second half of a double-byte character (no trail
// byte is a control character, so a "\n" or the terminator after a lead byte stays itself).
bool IsSjisTrailByte(unsigned char c) { return c >= 0x40 && c != 0x7F; }

// Copies text to out turning each "\n" into CR LF, Shift-JIS aware. The turning stops at the
// first "\n" that already has a CR in front of it; from there the rest is copied unchanged.
// out holds at least 2 * length + 1 bytes. Returns the output length.
size_t ConvertLineEnds(const char* text, size_t length, char* out) {
    size_t o = 0;
    size_t i = 0;
    while (i < length) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (plat::IsSjisLeadByte(c) && i + 1 < length &&
            IsSjisTrailByte(static_cast<unsigned char>(text[i + 1]))) {
            out[o++] = text[i++];
            out[o++] = text[i++];
            continue;
        }
        if (c == '\n') {
            if (i > 0 && text[i - 1] == '\r') {
                std::memcpy(out + o, text + i, length - i);
                o += length - i;
                break;
            }
            out[o++] = '\r';
            out[o++] = '\n';
            ++i;
            continue;
        }
        out[o++] = text[i++];
    }
    out[o] = '\0';
    return o;
}

void WriteString(plat::File* file, const char* text, size_t length) {
    if (length > 0) plat::WriteFile(file, text, length);
}

// Appends one converted piece to the log file in the current directory.
void AppendToLogFile(LogState& log, const char* text, size_t length, bool endsLine) {
    plat::File* file = plat::OpenFile(LogFileName(log), plat::FileAccess::Write,
                                      plat::FileCreation::OpenAlways);
    if (file == nullptr) return;  // the text is lost; logging never fails its caller
    plat::SeekFile(file, 0, plat::SeekOrigin::End);

    if (log.inLine == 0) {
        if (log.prefixOff == 0) {
            char prefix[16];
            uint32_t elapsed = plat::MillisecondClock() - log.startTime;
            int n = std::snprintf(prefix, sizeof(prefix), "%u:", elapsed);
            WriteString(file, prefix, static_cast<size_t>(n));
        }
        if (log.indent > 0) {
            char tabs[64];
            int remaining = log.indent;
            while (remaining > 0) {
                int n = std::min<int>(remaining, static_cast<int>(sizeof(tabs)) - 1);
                std::memset(tabs, '\t', static_cast<size_t>(n));
                tabs[n] = '\0';
                WriteString(file, tabs, static_cast<size_t>(n));
                plat::DebugOutput(tabs);
                remaining -= n;
            }
        }
    }

    WriteString(file, text, length);
    plat::DebugOutput(text);
    log.inLine = endsLine ? 0 : 1;
    plat::CloseFile(file);
}

// Drops a lead byte left alone at the end of text (its trail byte was cut off).
size_t DropDanglingLeadByte(char* text, size_t length) {
    size_t i = 0;
    while (i < length) {
        if (plat::IsSjisLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i + 1 == length) {
                text[i] = '\0';
                return i;
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return length;
}

}  // namespace

LogState& GetLogState() {
    static LogState state;
    return state;
}

void SetLogDirectory(const char* directory) {
    LogState& log = GetLogState();
    std::snprintf(log.directory, sizeof(log.directory), "%s", directory != nullptr ? directory : "");
}

void ResetLogLine() {
    LogState& log = GetLogState();
    log.indent = 0;
    log.inLine = 0;
}

int StartLog() {
    LogState& log = GetLogState();
    if (log.logOff == 1) return 1;

    if (log.datedName == 1) {
        plat::LocalDateTime now = plat::GetLocalDateTime();
        std::snprintf(log.fileName, sizeof(log.fileName), "Log%u_%u_%u_%u_%u_%u.txt", now.year,
                      now.month, now.day, now.hour, now.minute, now.second);
    } else {
        std::snprintf(log.fileName, sizeof(log.fileName), "%s", kDefaultLogName);
    }

    // A fresh, empty file. Without a start directory nothing is ever written, so none is made.
    if (StartDirectoryKnown()) {
        StartDirectoryScope scope;
        if (scope.entered()) {
            plat::DeleteFile(log.fileName);
            plat::File* file = plat::OpenFile(log.fileName, plat::FileAccess::Write,
                                              plat::FileCreation::CreateNew);
            if (file != nullptr) plat::CloseFile(file);
        }
    }

    log.indent = 0;
    log.inLine = 0;
    log.startTime = plat::MillisecondClock();
    return 1;
}

int LogWrite(const char* text) {
    LogState& log = GetLogState();
    if (text == nullptr || text[0] == '\0') return -1;  // nothing to write, the line stays as it is
    if (log.logOff == 1 || !StartDirectoryKnown()) return -1;

    size_t length = std::strlen(text);
    char stackBuffer[kStackTextLength * 2 + 1];
    char* heapBuffer = nullptr;
    const char* out = text;
    size_t outLength = length;
    if (length <= kStackTextLength) {
        outLength = ConvertLineEnds(text, length, stackBuffer);
        out = stackBuffer;
    } else {
        heapBuffer = static_cast<char*>(TrackedAlloc(length * 2 + 1, nullptr, -1));
        // Without a buffer the text still goes out, only with its line ends unconverted.
        if (heapBuffer != nullptr) {
            outLength = ConvertLineEnds(text, length, heapBuffer);
            out = heapBuffer;
        }
    }

    {
        StartDirectoryScope scope;
        if (scope.entered()) AppendToLogFile(log, out, outLength, text[length - 1] == '\n');
    }

    TrackedFree(heapBuffer);
    return -1;
}

int LogFormat(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    // One byte is kept back for the "\n".
    int n = std::vsnprintf(buffer, sizeof(buffer) - 1, format, args);
    va_end(args);

    size_t length = 0;
    if (n > 0) length = std::min(static_cast<size_t>(n), sizeof(buffer) - 2);
    buffer[length] = '\0';
    if (n > 0 && static_cast<size_t>(n) > length) length = DropDanglingLeadByte(buffer, length);
    buffer[length] = '\n';
    buffer[length + 1] = '\0';
    return LogWrite(buffer);
}

int LogIndentAdd() {
    ++GetLogState().indent;
    return 0;
}

int LogIndentSub() {
    LogState& log = GetLogState();
    if (log.indent > 0) --log.indent;
    return 0;
}

void LogAllocation(const AllocHeader* header, uint32_t dataLimit) {
    const unsigned char* data = reinterpret_cast<const unsigned char*>(header + 1);
    uint32_t shown = std::min<uint32_t>({header->size, dataLimit, 16u});

    // The name is printed only up to its field's end, even when a damaged header lost its NUL.
    const void* nul = std::memchr(header->file, '\0', sizeof(header->file));
    int nameLength = nul != nullptr ? static_cast<int>(static_cast<const char*>(nul) - header->file)
                                    : static_cast<int>(sizeof(header->file));

    char text[256];
    int n = std::snprintf(text, sizeof(text),
                          "\tsize:%u(%.3fkb)  file:%.*s  line:%d  ID:%d  data:<", header->size,
                          header->size * (1.0 / 1024), nameLength, header->file,
                          static_cast<int>(static_cast<uint16_t>(header->line)),
                          static_cast<int>(header->serial));
    size_t pos = static_cast<size_t>(n);
    for (uint32_t i = 0; i < shown; ++i) {
        text[pos++] = data[i] < 0x20 ? '.' : static_cast<char>(data[i]);
    }
    std::memcpy(text + pos, "> [", 3);
    pos += 3;
    for (uint32_t i = 0; i < shown; ++i) {
        std::snprintf(text + pos, sizeof(text) - pos, i + 1 < shown ? "%02x " : "%02x", data[i]);
        pos += i + 1 < shown ? 3 : 2;
    }
    std::memcpy(text + pos, "]\n", 3);
    LogWrite(text);
}
