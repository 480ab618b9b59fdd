#include "character.h"

#include <cmath>
#include <numbers>

double degreesToRadians(int degrees) { return degrees * std::numbers::pi / 180.0; }

int Character::getHandle() const {
    if (graph_ == nullptr) return -1;
    return graph_->getClampedHandle(frame_);
}

void Character::setAngle(double a) { setMotion(a, speed_); }

void Character::setMotion(double a, double s) {
    angle_ = a;
    speed_ = s;
    vx_ = std::sin(a) * s;
    vy_ = std::cos(a) * s;
}

double Character::angleTo(double tx, double ty) const { return std::atan2(tx - x_, ty - y_); }

void Character::steer(double target, double limit) {
    double d = target - angle_;
    double amount;
    if (std::cos(limit) < std::cos(d)) {
        amount = std::acos(std::cos(d));
        if (limit < 0) amount = -amount;
    } else {
        amount = limit;
    }
    if (std::sin(d) > 0) {
        turn(amount);
    } else {
        turn(-amount);
    }
}

bool Character::hitTest(const Character& other) const {
    return other.x_ + other.hit_.right > x_ + hit_.left &&
           other.x_ + other.hit_.left < x_ + hit_.right &&
           other.y_ + other.hit_.bottom > y_ + hit_.top &&
           other.y_ + other.hit_.top < y_ + hit_.bottom;
}
