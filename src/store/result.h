#pragma once
// A value or an error message: the store's way of reporting failure without
// exceptions or out-parameters.

#include <string>
#include <utility>
#include <variant>

namespace qp::store {

struct Error {
    std::string message;
};

template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const std::string& error() const { return std::get<1>(state_).message; }

private:
    std::variant<T, Error> state_;
};

// Success or an error message.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : message_(std::move(error.message)), failed_(true) {}
    static Status success() { return {}; }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return message_; }

private:
    std::string message_;
    bool failed_ = false;
};

inline Error fail(std::string message) { return Error{std::move(message)}; }

} // namespace qp::store
