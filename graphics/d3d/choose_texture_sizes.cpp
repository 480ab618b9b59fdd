// The cut of a graph side into texture sizes: powers of two between the device's smallest and
// largest texture side, as few and as little wasted as the screen width makes sensible.
#include "graphics/d3d/texture_pieces.h"
#include "graphics/drivers/screen_driver.h"

namespace {

// Collects piece sizes: the first kMaxPiecesPerGraph go to out, all are counted, and the last
// two are kept aside so that the closing merge works whatever the count.
struct PieceList {
    int32_t* out;
    int count = 0;
    int64_t last = 0, previous = 0;

    void Add(int64_t size) {
        if (count < kMaxPiecesPerGraph) out[count] = static_cast<int32_t>(size);
        previous = last;
        last = size;
        ++count;
    }
    void ReplaceLast(int64_t size) {
        if (count - 1 < kMaxPiecesPerGraph) out[count - 1] = static_cast<int32_t>(size);
        last = size;
    }
    // The last two equal pieces become one of double size when that fits the largest piece.
    void MergeLastTwo(int64_t largest) {
        if (count < 2 || last != previous || last * 2 > largest) return;
        --count;
        ReplaceLast(last * 2);
    }
};

}  // namespace

int ChooseTextureSizes(int32_t size, int32_t* out, int single) {
    const Device3DState& device3D = GetDevice3DState();
    const int64_t minSide = device3D.minTextureSide;
    // A device that reports no largest side still takes one texel.
    const int64_t maxSide = device3D.maxTextureSide > 0 ? device3D.maxTextureSide : 1;
    int32_t screenWidth = 0;
    GetScreenSize(&screenWidth, nullptr);
    const int64_t s = size;

    int64_t base = minSide < 33 ? 32 : minSide;
    if (base >= s) {
        if (minSide < base) {
            while (minSide < base && base / 2 >= s) base /= 2;
        }
        out[0] = static_cast<int32_t>(base);
        return 1;
    }

    int64_t largest = maxSide;
    if (!single && screenWidth <= maxSide) {
        largest = 8;
        while (largest < screenWidth) largest *= 2;
    }

    int64_t p = largest;
    while (p > base && p > s) p /= 2;

    if ((single || s < screenWidth) && p * 2 <= largest) {
        out[0] = static_cast<int32_t>(p >= s ? p : p * 2);
        return 1;
    }

    PieceList pieces{out};
    int64_t remaining = s;
    for (;;) {
        pieces.Add(p);
        remaining -= p;
        if (remaining < 1) break;
        if (remaining > (3 * p) / 4 && p < largest) {
            pieces.ReplaceLast(p * 2);
            break;
        }
        while (remaining < p && p > base) p /= 2;
    }
    pieces.MergeLastTwo(largest);
    return pieces.count;
}
