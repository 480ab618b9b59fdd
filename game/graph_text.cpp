#include "graph_text.h"

#include "number_text.h"

void GraphText::place(double x, double y, bool large) {
    x_ = x;
    y_ = y;
    large_ = large;
    setColor(255, 255, 255);
    active_ = true;
}

void GraphText::setText(double x, double y, const char* text, int length, bool large) {
    // The count asked for is only an upper bound: copying stops at the text's own end, so a
    // short text with a long count never reads past it.
    int n = 0;
    if (text != nullptr) {
        while (n < length && n < kCapacity - 1 && text[n] != '\0') {
            text_[n] = text[n];
            ++n;
        }
    }
    text_[n] = '\0';
    length_ = n;
    place(x, y, large);
}

void GraphText::setNumber(double x, double y, int value, int digits, bool large) {
    if (digits > kCapacity - 1) digits = kCapacity - 1;
    length_ = formatPlaces(text_, value, digits);
    place(x, y, large);
}

GraphText* GraphTextArray::next() {
    if (used_ >= size()) return nullptr;
    return &at(used_++);
}

void GraphTextArray::addText(double x, double y, const char* text, int length, bool large) {
    if (GraphText* item = next()) {
        item->setText(x, y, text, length, large);
        item->setColor(r_, g_, b_);
    }
}

void GraphTextArray::addNumber(double x, double y, int value, int digits, bool large) {
    if (GraphText* item = next()) {
        item->setNumber(x, y, value, digits, large);
        item->setColor(r_, g_, b_);
    }
}

void GraphTextArray::clear() {
    for (uint32_t i = 0; i < used_ && i < size(); ++i) at(i).hide();
    used_ = 0;
    setBright(255);
}
