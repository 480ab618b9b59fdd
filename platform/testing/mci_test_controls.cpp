#include "platform/testing/mci_test_controls.h"

#include "platform/mci/mci_journal.h"

namespace plat {

std::vector<MciCommand> TakeMciCommands() {
    std::vector<MciCommand> out;
    for (const mci::SentCommand& c : mci::TakeSentCommands()) {
        out.push_back(MciCommand{c.device, c.message, c.flags, c.callback, c.from, c.result});
    }
    return out;
}

void ResetMciTestControls() { mci::ForgetSentCommands(); }

}  // namespace plat
