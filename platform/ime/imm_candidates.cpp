// The candidate list of an input context in the CandidateList layout.
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/ime/input_context.h"

namespace plat {

namespace {

constexpr uint32_t kCandidateStyleRead = 1;
constexpr uint32_t kHeaderBytes = offsetof(CandidateList, offset);

std::vector<uint8_t> BuildCandidateList(const ime::ContextRecord& record) {
    const uint32_t count = static_cast<uint32_t>(record.candidates.size());
    uint32_t size = kHeaderBytes + count * sizeof(uint32_t);
    std::vector<uint32_t> offsets;
    for (const std::string& candidate : record.candidates) {
        offsets.push_back(size);
        size += static_cast<uint32_t>(candidate.size()) + 1;
    }
    std::vector<uint8_t> bytes(size, 0);
    const uint32_t header[6] = {size, kCandidateStyleRead, count, record.selection,
                                record.pageStart, record.pageSize};
    std::memcpy(bytes.data(), header, sizeof(header));
    if (count != 0) std::memcpy(bytes.data() + kHeaderBytes, offsets.data(), count * 4);
    for (uint32_t i = 0; i < count; ++i) {
        const std::string& candidate = record.candidates[i];
        std::memcpy(bytes.data() + offsets[i], candidate.data(), candidate.size());
    }
    return bytes;
}

}  // namespace

uint32_t ImmGetCandidateListA(InputContext context, uint32_t index, CandidateList* buffer,
                              uint32_t bufferBytes) {
    if (index != 0) return 0;
    ime::ContextStore& store = ime::Store();
    std::lock_guard<std::mutex> hold(store.mutex);
    const ime::ContextRecord* record = ime::FindContextLocked(store, context);
    if (record == nullptr || record->candidates.empty()) return 0;
    const std::vector<uint8_t> list = BuildCandidateList(*record);
    const uint32_t size = static_cast<uint32_t>(list.size());
    if (buffer == nullptr || bufferBytes == 0) return size;
    if (bufferBytes < size) return 0;
    std::memcpy(buffer, list.data(), size);
    return size;
}

}  // namespace plat
