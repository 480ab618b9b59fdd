#include "system/pump_services.h"

namespace {

void NoStep() {}
void NoSocketStep(int /*flag*/) {}

constexpr PumpServices kAbsentPumpServices = {
    .refillSoundStreams = NoStep,
    .pollMusic = NoStep,
    .stepJoypadEffects = NoStep,
    .stepSocketMessages = NoSocketStep,
    .stepHttpTransfers = NoStep,
    .stepKeyInput = NoStep,
};

}  // namespace

DriverSlot<PumpServices>& PumpServicesSlot() {
    static DriverSlot<PumpServices> slot(kAbsentPumpServices);
    return slot;
}
