#include "system/pump_services.h"

namespace {

void NoStep() {}
void NoSocketStep(int /*flag*/) {}

constexpr PumpServices kAbsentPumpServices{NoStep, NoStep, NoStep, NoSocketStep, NoStep, NoStep};

}  // namespace

DriverSlot<PumpServices>& PumpServicesSlot() {
    static DriverSlot<PumpServices> slot(kAbsentPumpServices);
    return slot;
}
