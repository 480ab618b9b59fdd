#include "platform/mci/mci.h"

#include <mutex>
#include <vector>

#include "platform/mci/mci_journal.h"

namespace plat {

namespace {

// Commands kept for the test controls; the oldest are dropped past this many.
constexpr size_t kJournalMax = 256;

std::mutex journalMutex;
std::vector<mci::SentCommand> journal;

void Keep(const mci::SentCommand& command) {
    std::lock_guard<std::mutex> lock(journalMutex);
    if (journal.size() >= kJournalMax) journal.erase(journal.begin());
    journal.push_back(command);
}

MCIERROR Answer(uint32_t message, const void* params) {
    switch (message) {
        case MCI_OPEN:
            // No sequencer or other MCI driver is installed.
            return params == nullptr ? MCIERR_NULL_PARAMETER_BLOCK : MCIERR_CANNOT_LOAD_DRIVER;
        case MCI_CLOSE:
        case MCI_PLAY:
        case MCI_SEEK:
        case MCI_STOP:
        case MCI_STATUS:
            // No device is ever open, so no device id is valid.
            return MCIERR_INVALID_DEVICE_ID;
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
    }
}

}  // namespace

MCIERROR mciSendCommand(MCIDEVICEID device, uint32_t message, uint32_t flags, void* params) {
    const MCIERROR result = Answer(message, params);
    mci::SentCommand command{device, message, flags, 0, 0, result};
    if (params != nullptr) {
        command.callback = static_cast<const MCI_GENERIC_PARMS*>(params)->dwCallback;
        if (message == MCI_PLAY && (flags & MCI_FROM) != 0) {
            command.from = static_cast<const MCI_PLAY_PARMS*>(params)->dwFrom;
        }
    }
    Keep(command);
    return result;
}

namespace mci {

std::vector<SentCommand> TakeSentCommands() {
    std::lock_guard<std::mutex> lock(journalMutex);
    std::vector<SentCommand> out;
    out.swap(journal);
    return out;
}

void ForgetSentCommands() {
    std::lock_guard<std::mutex> lock(journalMutex);
    journal.clear();
}

}  // namespace mci

}  // namespace plat
