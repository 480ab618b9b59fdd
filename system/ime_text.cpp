#include "system/ime_text.h"

#include <cstring>

#include "base/sjis_string.h"
#include "base/tracked_memory.h"

char* ReadImeStringAlloc(plat::InputContext context, uint32_t index, int32_t* bytes) {
    *bytes = 0;
    const int32_t size = plat::ImmGetCompositionStringA(context, index, nullptr, 0);
    if (size <= 0) return nullptr;
    char* text = static_cast<char*>(ZN_ALLOC(static_cast<size_t>(size) + 1));
    if (text == nullptr) return nullptr;
    const int32_t read =
        plat::ImmGetCompositionStringA(context, index, text, static_cast<uint32_t>(size));
    if (read <= 0 || read > size) {
        TrackedFree(text);
        return nullptr;
    }
    text[read] = '\0';
    *bytes = read;
    return text;
}

int32_t ReadImeString(plat::InputContext context, uint32_t index, char* out, int32_t outBytes) {
    if (out == nullptr || outBytes <= 0) return 0;
    int32_t size = 0;
    char* text = ReadImeStringAlloc(context, index, &size);
    // Whole characters only, found from the start of the string.
    const int charSet = GetCharSet();
    int32_t keep = 0;
    while (keep < size) {
        const int32_t step =
            IsMultiByteLead(static_cast<uint8_t>(text[keep]), charSet) && keep + 1 < size ? 2 : 1;
        if (keep + step > outBytes - 1) break;
        keep += step;
    }
    if (keep > 0) std::memcpy(out, text, static_cast<size_t>(keep));
    out[keep] = '\0';
    if (text != nullptr) TrackedFree(text);
    return keep;
}
