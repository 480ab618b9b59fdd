#include "tests/game/stand_in/library_stand_in.h"

LibraryStandIn* LibraryStandIn::current = nullptr;

LibraryStandIn::LibraryStandIn() {
    current = this;
    now_ = ApiDateTime{2024, 3, 5, 7, 8, 9, 0};
}

LibraryStandIn::~LibraryStandIn() { current = nullptr; }

std::vector<std::pair<int, int>> LibraryStandIn::plays() const {
    std::vector<std::pair<int, int>> out;
    for (const StandInCall& c : calls_) {
        if (c.op == "play") out.emplace_back(c.a, c.b);
    }
    return out;
}

bool LibraryStandIn::played(int handle) const {
    for (const StandInCall& c : calls_) {
        if (c.op == "play" && c.a == handle) return true;
    }
    return false;
}
