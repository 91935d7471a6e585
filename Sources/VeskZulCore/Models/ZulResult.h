#pragma once

#include <QString>

#include <optional>
#include <utility>

// The outcome of an operation that can fail: either a value or the reason it
// could not be produced. The core never throws; decoders and writers hand back
// one of these so the caller decides what a failure means (usually: keep the
// old data, fall back to defaults).
template <typename T>
class ZulResult
{
public:
    static ZulResult success(T value)
    {
        ZulResult result;
        result.m_value.emplace(std::move(value));
        return result;
    }

    static ZulResult failure(QString error)
    {
        ZulResult result;
        result.m_error = std::move(error);
        return result;
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }

    const QString &error() const { return m_error; }

private:
    ZulResult() = default;

    std::optional<T> m_value;
    QString m_error;
};

// For operations that produce nothing but can fail (writes).
template <>
class ZulResult<void>
{
public:
    static ZulResult success() { return ZulResult(true, {}); }
    static ZulResult failure(QString error) { return ZulResult(false, std::move(error)); }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const QString &error() const { return m_error; }

private:
    ZulResult(bool ok, QString error) : m_ok(ok), m_error(std::move(error)) {}

    bool m_ok = false;
    QString m_error;
};
