// The log of the sound devices when the output starts.
#pragma once
#include <cstdint>

#include "platform/dsound/dsound.h"

// Logs every sound device the system lists, then the capabilities of the device in use: its
// sample rates, memory, sample sizes and channels.
void LogSoundDevices(plat::IDirectSound* device);
// The device enumeration's callback: logs each device. Always 1 (go on).
int32_t EnumSoundDeviceLogProc(const plat::GUID* guid, const char* description,
                               const char* module, void* context);
