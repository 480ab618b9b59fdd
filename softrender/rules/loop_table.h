// Dispatch tables of pixel loops. A kernel describes its loops with a constexpr function from
// loop key to PixelLoop; MakeLoopTable instantiates an entry template over every valid
// description of a key range and collects the entry points, null where the key names no loop.
#pragma once
#include <array>
#include <cstddef>
#include <utility>

#include "softrender/rules/pixel_loop.h"

namespace loop_table_detail {

template <typename Fn, PixelLoop (*Describe)(int), template <PixelLoop> class Entry, int Key>
constexpr Fn EntryFor() {
    constexpr PixelLoop loop = Describe(Key);
    if constexpr (loop.valid) {
        return &Entry<loop>::Run;
    } else {
        return nullptr;
    }
}

template <typename Fn, PixelLoop (*Describe)(int), template <PixelLoop> class Entry, int First,
          size_t... I>
constexpr std::array<Fn, sizeof...(I)> Make(std::index_sequence<I...>) {
    return {EntryFor<Fn, Describe, Entry, First + static_cast<int>(I)>()...};
}

}  // namespace loop_table_detail

// Entries for the keys First .. First + Count - 1; entry i belongs to key First + i.
// Entry<loop>::Run must convert to Fn.
template <typename Fn, PixelLoop (*Describe)(int), template <PixelLoop> class Entry, int First,
          int Count>
constexpr std::array<Fn, Count> MakeLoopTable() {
    return loop_table_detail::Make<Fn, Describe, Entry, First>(std::make_index_sequence<Count>());
}
