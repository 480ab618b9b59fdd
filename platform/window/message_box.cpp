// Message boxes: shown by the backend, or answered from ZN_ANSWER; recorded for tests.
#include "platform/window/message_box.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/core/environment.h"
#include "platform/window/window_backend.h"

namespace plat {

namespace {

constexpr size_t kMaxRecords = 64;


int AnswerFromEnvironment() {
    CheckProcessEnvironment();
    const char* v = std::getenv("ZN_ANSWER");
    if (v == nullptr) return IDNO;
    if (std::strcmp(v, "yes") == 0) return IDYES;
    if (std::strcmp(v, "cancel") == 0) return IDCANCEL;
    if (std::strcmp(v, "ok") == 0) return IDOK;
    return IDNO;
}

bool Offers(uint32_t type, int answer) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return answer == IDOK || answer == IDCANCEL;
        case MB_YESNOCANCEL: return answer == IDYES || answer == IDNO || answer == IDCANCEL;
        case MB_YESNO: return answer == IDYES || answer == IDNO;
        default: return answer == IDOK;  // MB_OK and the types this layer does not offer
    }
}

}  // namespace

MessageBoxLog& MessageBoxLogState() {
    static MessageBoxLog* log = new MessageBoxLog;  // lives for the whole process
    return *log;
}

int HeadlessMessageBoxAnswer(uint32_t type) {
    const int set = MessageBoxLogState().answer.load();
    const int wanted = set != 0 ? set : AnswerFromEnvironment();
    if (Offers(type, wanted)) return wanted;
    for (int fallback : {IDNO, IDCANCEL, IDOK}) {
        if (Offers(type, fallback)) return fallback;
    }
    return IDOK;
}

int ShowMessageBox(WindowHandle owner, const char* text, const char* title, uint32_t type) {
    if (text == nullptr) text = "";
    if (title == nullptr) title = "";
    int answer = 0;
    if (!Backend().ShowMessageBox(owner, text, title, type, &answer) || !Offers(type, answer)) {
        answer = HeadlessMessageBoxAnswer(type);
    }
    MessageBoxLog& log = MessageBoxLogState();
    std::lock_guard<std::mutex> hold(log.mutex);
    log.records.push_back(MessageBoxRecord{text, title, type, answer});
    if (log.records.size() > kMaxRecords) log.records.pop_front();
    return answer;
}

void ResetMessageBoxes() {
    MessageBoxLog& log = MessageBoxLogState();
    log.answer.store(0);
    std::lock_guard<std::mutex> hold(log.mutex);
    log.records.clear();
}

}  // namespace plat
