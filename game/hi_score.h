// The high-score table: the five best scores, best first, each with the local date and time
// it was made.
#pragma once
#include <cstddef>

#include "simple_array.h"

class HiScore {
public:
    // The score with the current local date and time.
    void setNow(int score);
    // year x 65536 + month x 256 + day.
    int packDate() const;
    // hour x 65536 + minute x 256 + second.
    int packTime() const;
    void unpack(int score, int date, int time);

    int getScore() const { return score_; }
    int getYear() const { return year_; }
    int getMonth() const { return month_; }
    int getDay() const { return day_; }
    int getHour() const { return hour_; }
    int getMinute() const { return minute_; }
    int getSecond() const { return second_; }

    // "YYYY/MM/DD hh:mm:ss" into buffer (at most size bytes with the terminator; a value out
    // of its usual range makes the text longer and it is cut). Returns buffer.
    char* formatDateTime(char* buffer, size_t size) const;

private:
    int score_ = 0;
    int year_ = 0;
    int month_ = 0;
    int day_ = 0;
    int hour_ = 0;
    int minute_ = 0;
    int second_ = 0;
};

class HiScoreArray : public SimpleArray<HiScore> {
public:
    static constexpr uint32_t kSize = 5;

    HiScoreArray() : SimpleArray<HiScore>(kSize) {}

    // Inserts the score made now: it goes above every record with a lower score and below
    // those with an equal or higher one; the record pushed out of the end is dropped.
    void insert(int score);
};
