#include "tests/game/stand_in/app_stand_in.h"

AppStandIn* AppStandIn::current = nullptr;

AppStandIn::AppStandIn() {
    current = this;
    now_ = ApiDateTime{2024, 3, 5, 7, 8, 9, 42};
    resetClock();
}

AppStandIn::~AppStandIn() { current = nullptr; }

std::vector<std::string> AppStandIn::logWithout(const std::vector<std::string>& prefixes) const {
    std::vector<std::string> out;
    for (const std::string& line : log_) {
        bool drop = false;
        for (const std::string& p : prefixes) drop = drop || line.rfind(p, 0) == 0;
        if (!drop) out.push_back(line);
    }
    return out;
}
