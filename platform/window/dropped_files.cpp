// File lists of dropped files, named by drop handles that stay valid until DragFinish.
#include "platform/window/dropped_files.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/window/window.h"

namespace plat {

namespace {

struct DropTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::vector<std::string>> drops;
    uintptr_t next = 1;
};

DropTable& Drops() {
    static DropTable* table = new DropTable;
    return *table;
}

}  // namespace

uintptr_t CreateDrop(std::vector<std::string> sjisNames) {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> hold(table.mutex);
    const uintptr_t handle = table.next++;
    table.drops.emplace(handle, std::move(sjisNames));
    return handle;
}

size_t LiveDropCount() {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> hold(table.mutex);
    return table.drops.size();
}

void ResetDrops() {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> hold(table.mutex);
    table.drops.clear();
}

uint32_t DragQueryFile(uintptr_t drop, uint32_t index, char* buffer, uint32_t size) {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> hold(table.mutex);
    auto it = table.drops.find(drop);
    if (it == table.drops.end()) return 0;
    const std::vector<std::string>& names = it->second;
    if (index == 0xFFFFFFFFu) return static_cast<uint32_t>(names.size());
    if (index >= names.size()) return 0;
    const std::string& name = names[index];
    if (buffer == nullptr) return static_cast<uint32_t>(name.size());
    if (size == 0) return 0;
    const size_t n = name.size() < size - 1 ? name.size() : size - 1;
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return static_cast<uint32_t>(n);
}

void DragFinish(uintptr_t drop) {
    DropTable& table = Drops();
    std::lock_guard<std::mutex> hold(table.mutex);
    table.drops.erase(drop);
}

}  // namespace plat
