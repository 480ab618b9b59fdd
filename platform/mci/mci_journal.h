// Internal to the MCI layer: the commands sent so far, which the test controls read.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/mci/mci.h"

namespace plat::mci {

struct SentCommand {
    MCIDEVICEID device;
    uint32_t message;
    uint32_t flags;
    uintptr_t callback;  // 0 when no parameters were given
    uint32_t from;       // MCI_PLAY with MCI_FROM, else 0
    MCIERROR result;
};

// Hands out the commands kept so far and forgets them.
std::vector<SentCommand> TakeSentCommands();
void ForgetSentCommands();

}  // namespace plat::mci
