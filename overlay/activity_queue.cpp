#include "activity_queue.h"

#include <cwchar>
#include <utility>

bool ActivityQueue::push(const wchar_t* text, size_t length) {
    if (full()) return false;
    Line& line = slots_[count_];
    line.text = std::make_unique<wchar_t[]>(length + 1);
    if (text && length) wmemcpy(line.text.get(), text, length);
    line.text[length] = L'\0';
    line.length = length;
    ++count_;
    return true;
}

void ActivityQueue::popHead() {
    if (empty()) return;
    for (int i = 1; i < count_; ++i) slots_[i - 1] = std::move(slots_[i]);
    --count_;
    slots_[count_] = Line{};
}

void ActivityQueue::clear() {
    for (int i = 0; i < count_; ++i) slots_[i] = Line{};
    count_ = 0;
}

const wchar_t* ActivityQueue::lineAt(int index) const {
    if (index < 0 || index >= count_) return L"";
    return slots_[index].text.get();
}

size_t ActivityQueue::lengthAt(int index) const {
    if (index < 0 || index >= count_) return 0;
    return slots_[index].length;
}
