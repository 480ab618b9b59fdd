// The game's one growable array: a block of default-constructed elements that the array owns.
// Every table of the game (screens, graph handles, graphs, sounds, texts, high scores, enemies,
// tails) is one of these. Resizing throws the old contents away; copying is not supported.
#pragma once
#include <cstdint>

template <typename T>
class SimpleArray {
public:
    SimpleArray() = default;
    explicit SimpleArray(uint32_t n) { resize(n); }
    virtual ~SimpleArray() { delete[] elements_; }

    SimpleArray(const SimpleArray&) = delete;
    SimpleArray& operator=(const SimpleArray&) = delete;

    // Destroys every element, frees the storage, then makes n default-constructed elements.
    void resize(uint32_t n) {
        delete[] elements_;
        elements_ = nullptr;
        count_ = 0;
        if (n > 0) {
            elements_ = new T[n];
            count_ = n;
        }
    }

    // Element i; callers stay below size().
    T& at(uint32_t i) { return elements_[i]; }
    const T& at(uint32_t i) const { return elements_[i]; }
    uint32_t size() const { return count_; }
    // The element storage (null when empty), for calls that fill a whole block at once.
    T* data() { return elements_; }
    const T* data() const { return elements_; }

private:
    T* elements_ = nullptr;
    uint32_t count_ = 0;
};
