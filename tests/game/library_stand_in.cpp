#include "tests/game/library_stand_in.h"

LibraryStandIn* LibraryStandIn::current = nullptr;

struct StandInEntries {
    static LibraryStandIn& s() { return *LibraryStandIn::current; }

    static int readPadInputBits(int type) {
        s().calls_.push_back({"pad", type, 0, 0, ""});
        return static_cast<int>(s().padBits_);
    }
    static int loadGraphFromPath(const char* file, int flag) {
        s().calls_.push_back({"loadGraph", flag, 0, 0, file});
        if (s().failing_.count(file) != 0) return -1;
        int handle = s().nextGraph_++;
        auto it = s().sizes_.find(file);
        s().handleSizes_[handle] = it != s().sizes_.end() ? it->second : std::make_pair(0, 0);
        return handle;
    }
    static int loadDivGraphFromPath(const char* file, int total, int, int, int, int,
                                    int* handles, int flag) {
        s().calls_.push_back({"loadDivGraph", total, flag, 0, file});
        if (s().failing_.count(file) != 0) return -1;
        for (int i = 0; i < total; ++i) handles[i] = s().nextGraph_++;
        return 0;
    }
    static int queryGraphSize(int graph, int* w, int* h) {
        auto it = s().handleSizes_.find(graph);
        if (it == s().handleSizes_.end()) return -1;
        *w = it->second.first;
        *h = it->second.second;
        return 0;
    }
    static int loadSoundFromFile(const char* file, int buffers, int unionHandle) {
        s().calls_.push_back({"loadSound", buffers, unionHandle, 0, file});
        if (s().failing_.count(file) != 0) return -1;
        return s().nextSound_++;
    }
    static int playSoundHandle(int handle, int type, int top) {
        s().calls_.push_back({"play", handle, type, top, ""});
        return 0;
    }
    static int stopSoundHandle(int handle) {
        s().calls_.push_back({"stop", handle, 0, 0, ""});
        return 0;
    }
    static int setSoundHandleVolume(int volume, int handle) {
        s().calls_.push_back({"volume", volume, handle, 0, ""});
        return 0;
    }
    static void getLocalDateTime(GameDateTime* out) { *out = s().now_; }
};

LibraryStandIn::LibraryStandIn() {
    current = this;
    now_ = GameDateTime{2024, 3, 5, 7, 8, 9};
    LibraryEntries& e = libraryEntries();
    e.readPadInputBits = StandInEntries::readPadInputBits;
    e.loadGraphFromPath = StandInEntries::loadGraphFromPath;
    e.loadDivGraphFromPath = StandInEntries::loadDivGraphFromPath;
    e.queryGraphSize = StandInEntries::queryGraphSize;
    e.loadSoundFromFile = StandInEntries::loadSoundFromFile;
    e.playSoundHandle = StandInEntries::playSoundHandle;
    e.stopSoundHandle = StandInEntries::stopSoundHandle;
    e.setSoundHandleVolume = StandInEntries::setSoundHandleVolume;
    e.getLocalDateTime = StandInEntries::getLocalDateTime;
}

LibraryStandIn::~LibraryStandIn() {
    resetLibraryEntries();
    current = nullptr;
}

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
