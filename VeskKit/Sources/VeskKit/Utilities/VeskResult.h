#pragma once

#include <optional>
#include <utility>
#include <variant>

// The outcome of a kit operation that can fail: a value, or the kit error that
// says why not. The kit reports failures this way instead of throwing, so no
// error can escape past a caller that ignores it.
template <typename T, typename E>
class VeskResult
{
public:
    static VeskResult success(T value) { return VeskResult(std::in_place_index<0>, std::move(value)); }
    static VeskResult failure(E error) { return VeskResult(std::in_place_index<1>, std::move(error)); }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const E& error() const& { return std::get<1>(m_state); }

    std::optional<T> toOptional() const { return ok() ? std::optional<T>(value()) : std::nullopt; }

private:
    template <std::size_t I, typename V>
    VeskResult(std::in_place_index_t<I> index, V&& v) : m_state(index, std::forward<V>(v)) {}

    std::variant<T, E> m_state;
};

// For operations that produce nothing but may fail.
template <typename E>
class VeskResult<void, E>
{
public:
    static VeskResult success() { return VeskResult(std::nullopt); }
    static VeskResult failure(E error) { return VeskResult(std::move(error)); }

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const E& error() const { return *m_error; }

private:
    explicit VeskResult(std::optional<E> error) : m_error(std::move(error)) {}

    std::optional<E> m_error;
};
