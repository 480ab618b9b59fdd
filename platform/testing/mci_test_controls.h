// Test controls of the MCI layer (platform/mci/mci.h): the commands the library sent.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/mci/mci.h"

namespace plat {

struct MciCommand {
    MCIDEVICEID device;
    uint32_t message;
    uint32_t flags;
    uintptr_t callback;  // the parameter block's callback window (0 without a block)
    uint32_t from;       // the start of an MCI_PLAY with MCI_FROM
    MCIERROR result;
};

// The commands sent since the last call (or the last reset), oldest first.
std::vector<MciCommand> TakeMciCommands();
void ResetMciTestControls();

}  // namespace plat
