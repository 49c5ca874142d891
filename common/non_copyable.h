#pragma once
// Base of the objects that own what a copy would give back twice (a lock
// held, an activation context, a thread's library reference): a copy does
// not compile.
class NonCopyable {
public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;

protected:
    constexpr NonCopyable() = default;
    ~NonCopyable() = default;
};
