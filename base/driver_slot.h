// A lower module reaches an upper one through a driver: a record of function pointers that the
// lower module calls and the upper module supplies. A module beside its caller or below it is
// called directly. Every driver has an "absent" instance, complete in every entry, that answers
// as a library without that module would (nothing there, the call fails honestly), so a caller
// never tests an entry for null.
//
// A DriverSlot holds the instance in use. The owning module installs its own instance when it
// starts and resets the slot to the absent one when it ends; tests install test drivers through
// the same call.
#pragma once

template <class Driver>
class DriverSlot {
public:
    explicit constexpr DriverSlot(const Driver& absent) : absent_(&absent), current_(&absent) {}
    DriverSlot(const DriverSlot&) = delete;
    DriverSlot& operator=(const DriverSlot&) = delete;

    const Driver& operator*() const { return *current_; }
    const Driver* operator->() const { return current_; }

    // The driver must be complete (every entry set) and must outlive its installation.
    void Install(const Driver& driver) { current_ = &driver; }
    void Reset() { current_ = absent_; }

    bool IsAbsent() const { return current_ == absent_; }
    const Driver& Absent() const { return *absent_; }

private:
    const Driver* absent_;
    const Driver* current_;
};

