#include "system/pump_services.h"

PumpServices& GetPumpServices() {
    static PumpServices services{};
    return services;
}

void ResetPumpServices() { GetPumpServices() = PumpServices{}; }
