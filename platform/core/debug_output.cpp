#include "platform/core/debug_output.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/core/environment.h"
#include "platform/core/text_encoding.h"

namespace plat {

namespace {
std::mutex g_mutex;
bool g_capturing = false;
std::string g_captured;

bool SendToStderr() {
    static const bool on = [] {
        CheckProcessEnvironment();
        const char* v = std::getenv("ZN_DEBUG_OUTPUT");
        return v != nullptr && std::strcmp(v, "1") == 0;
    }();
    return on;
}
}  // namespace

void DebugOutput(const char* text) {
    if (text == nullptr) return;
    std::lock_guard<std::mutex> hold(g_mutex);
    if (g_capturing) g_captured += text;
    if (SendToStderr()) {
        std::string utf8 = SjisToUtf8(text);
        std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    }
}

void StartDebugCapture() {
    std::lock_guard<std::mutex> hold(g_mutex);
    g_capturing = true;
    g_captured.clear();
}

std::string TakeDebugCapture() {
    std::lock_guard<std::mutex> hold(g_mutex);
    std::string out;
    out.swap(g_captured);
    return out;
}

void StopDebugCapture() {
    std::lock_guard<std::mutex> hold(g_mutex);
    g_capturing = false;
    g_captured.clear();
}

}  // namespace plat
