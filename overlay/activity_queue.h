#pragma once
// The activity lines waiting for their turn on the overlay. Slot 0 is the
// line on screen; each line leaves when the activity timer fires.
#include <cstddef>
#include <memory>

class ActivityQueue {
public:
    static constexpr int kCapacity = 32;

    // Copies the first `length` units of `text` and a terminator into a
    // buffer of exactly length + 1 units. A full queue drops the line and
    // returns false; nothing already queued is evicted.
    bool push(const wchar_t* text, size_t length);
    // Drops the head; the next line moves up. No effect on an empty queue.
    void popHead();
    void clear();

    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    bool full() const { return count_ == kCapacity; }

    // The line at `index` (0 = head) and its length without terminator;
    // an empty string and 0 when there is no such line.
    const wchar_t* lineAt(int index) const;
    size_t lengthAt(int index) const;

private:
    struct Line {
        std::unique_ptr<wchar_t[]> text;
        size_t length = 0;
    };
    Line slots_[kCapacity];
    int count_ = 0;
};
