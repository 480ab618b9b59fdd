#include "library/library_pump_services.h"

#include "system/input.h"
#include "system/pump_services.h"

namespace {

// One record with a step from each supplying module; entries without a supplier keep the
// absent steps, which do nothing.
const PumpServices kLibraryPumpServices = [] {
    PumpServices services = PumpServicesSlot().Absent();
    services.stepJoypadEffects = StepJoypadEffects;
    return services;
}();

}  // namespace

int InstallLibraryPumpServices() {
    PumpServicesSlot().Install(kLibraryPumpServices);
    return 0;
}

int ResetLibraryPumpServices() {
    PumpServicesSlot().Reset();
    return 0;
}
