// The bomb charge: a value that grows while the player plays and a threshold above which a
// bomb is gained; each bomb gained raises the threshold by 10000.
#pragma once

class ChargeMeter {
public:
    void add(int v) { value_ += v; }
    bool isFull() const { return value_ > threshold_; }
    void consume() {
        value_ -= threshold_;
        threshold_ += 10000;
    }
    int getPercent() const { return threshold_ != 0 ? value_ * 100 / threshold_ : 0; }
    // The state of a new game.
    void reset() {
        value_ = 0;
        threshold_ = 20000;
    }
    int getValue() const { return value_; }
    int getThreshold() const { return threshold_; }

private:
    int value_ = 0;
    int threshold_ = 100000;
};
