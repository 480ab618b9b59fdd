#include "platform/core/terminal_line.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/core/text_encoding.h"

namespace plat {

void WriteTerminalLine(const char* text) {
    if (text == nullptr) return;
    std::string line = SjisToUtf8(text);
    if (line.empty() || line.back() != '\n') line.push_back('\n');
    // The whole line in one write (more only when the system takes part of it), so that it
    // is not interleaved with other output.
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

}  // namespace plat
