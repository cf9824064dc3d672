#pragma once
// One owner type for every Windows handle kind: the traits name the handle
// type, its invalid value and how it is closed.
#include <utility>

template <class Traits>
class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() noexcept = default;
    explicit unique_handle(pointer value) noexcept : value_(value) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_handle() { reset(); }

    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }
    pointer get() const noexcept { return value_; }
    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) noexcept {
        if (*this) Traits::close(value_);
        value_ = value;
    }

private:
    pointer value_ = Traits::invalid();
};
