#include "hi_score.h"

#include <cstdio>
#include <utility>

#include "api.h"

void HiScore::setNow(int score) {
    // A failed read leaves the record dated zero rather than with stale values.
    ApiDateTime now{};
    ApiGetLocalDateTime(&now);
    score_ = score;
    year_ = now.year;
    month_ = now.month;
    day_ = now.day;
    hour_ = now.hour;
    minute_ = now.minute;
    second_ = now.second;
}

// Packed in unsigned arithmetic so that fields out of their usual range wrap instead of
// overflowing; in range, the result is the plain sum.
int HiScore::packDate() const {
    return static_cast<int>(static_cast<unsigned>(year_) * 65536u +
                            static_cast<unsigned>(month_) * 256u + static_cast<unsigned>(day_));
}

int HiScore::packTime() const {
    return static_cast<int>(static_cast<unsigned>(hour_) * 65536u +
                            static_cast<unsigned>(minute_) * 256u +
                            static_cast<unsigned>(second_));
}

void HiScore::unpack(int score, int date, int time) {
    score_ = score;
    year_ = date >> 16;
    month_ = (date >> 8) & 255;
    day_ = date & 255;
    hour_ = time >> 16;
    minute_ = (time >> 8) & 255;
    second_ = time & 255;
}

char* HiScore::formatDateTime(char* buffer, size_t size) const {
    if (size == 0) return buffer;
    std::snprintf(buffer, size, "%04d/%02d/%02d %02d:%02d:%02d", year_, month_, day_, hour_,
                  minute_, second_);
    return buffer;
}

void HiScoreArray::insert(int score) {
    HiScore made;
    made.setNow(score);
    // The new record goes above the first record with a strictly lower score; the records
    // from there down move one place, keeping their order, and the last one drops out. So a
    // score equal to a stored one goes below it, and equal scores stay oldest first even when
    // a higher one is inserted above them.
    for (uint32_t i = 0; i < size(); ++i) {
        if (at(i).getScore() < made.getScore()) {
            for (uint32_t j = size() - 1; j > i; --j) at(j) = at(j - 1);
            at(i) = made;
            return;
        }
    }
}
