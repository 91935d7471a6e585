#include "Services/ZulJsonText.h"

#include <QJsonArray>
#include <QLocale>
#include <QJsonObject>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int kMaxDepth = 512;

class Parser {
public:
    explicit Parser(QByteArrayView text)
        : m_begin(reinterpret_cast<const unsigned char *>(text.data())),
          m_pos(m_begin), m_end(m_begin + text.size())
    {
    }

    ZulResult<QJsonValue> parseDocument()
    {
        skipWhiteSpace();
        QJsonValue value;
        if (m_pos < m_end && (*m_pos == '{' || *m_pos == '['))
            value = parseValue(0);
        else
            fail("expected an object or an array");
        if (m_error.isEmpty()) {
            skipWhiteSpace();
            if (m_pos != m_end)
                fail("unexpected text after the end");
        }
        if (!m_error.isEmpty())
            return ZulResult<QJsonValue>::failure(m_error);
        return ZulResult<QJsonValue>::success(value);
    }

private:
    const unsigned char *m_begin;
    const unsigned char *m_pos;
    const unsigned char *m_end;
    QString m_error;

    void fail(const char *what)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("not valid JSON at byte %1: %2")
                          .arg(qint64(m_pos - m_begin))
                          .arg(QLatin1StringView(what));
    }

    void skipWhiteSpace()
    {
        while (m_pos < m_end && (*m_pos == ' ' || *m_pos == '\n' || *m_pos == '\r' || *m_pos == '\t'))
            ++m_pos;
    }

    bool consume(char c)
    {
        skipWhiteSpace();
        if (m_pos < m_end && *m_pos == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool consumeWord(const char *word)
    {
        const size_t length = std::strlen(word);
        if (size_t(m_end - m_pos) < length || std::memcmp(m_pos, word, length) != 0)
            return false;
        m_pos += length;
        return true;
    }

    QJsonValue parseValue(int depth)
    {
        skipWhiteSpace();
        if (m_pos == m_end) {
            fail("unexpected end");
            return {};
        }
        switch (*m_pos) {
        case '{':
            return parseObject(depth + 1);
        case '[':
            return parseArray(depth + 1);
        case '"': {
            QString text;
            if (parseString(text))
                return text;
            return {};
        }
        case 't':
            if (consumeWord("true"))
                return true;
            break;
        case 'f':
            if (consumeWord("false"))
                return false;
            break;
        case 'n':
            if (consumeWord("null"))
                return QJsonValue(QJsonValue::Null);
            break;
        default:
            if (*m_pos == '-' || (*m_pos >= '0' && *m_pos <= '9'))
                return parseNumber();
            break;
        }
        fail("unexpected character");
        return {};
    }

    QJsonValue parseObject(int depth)
    {
        if (depth > kMaxDepth) {
            fail("nested too deeply");
            return {};
        }
        ++m_pos;  // '{'
        QJsonObject object;
        if (consume('}'))
            return object;
        do {
            skipWhiteSpace();
            if (m_pos == m_end || *m_pos != '"') {
                fail("expected a key");
                return {};
            }
            QString key;
            if (!parseString(key))
                return {};
            if (!consume(':')) {
                fail("expected ':'");
                return {};
            }
            QJsonValue value = parseValue(depth);
            if (!m_error.isEmpty())
                return {};
            object.insert(key, value);
        } while (consume(','));
        if (!consume('}'))
            fail("expected ',' or '}'");
        return object;
    }

    QJsonValue parseArray(int depth)
    {
        if (depth > kMaxDepth) {
            fail("nested too deeply");
            return {};
        }
        ++m_pos;  // '['
        QJsonArray array;
        if (consume(']'))
            return array;
        do {
            QJsonValue value = parseValue(depth);
            if (!m_error.isEmpty())
                return {};
            array.append(value);
        } while (consume(','));
        if (!consume(']'))
            fail("expected ',' or ']'");
        return array;
    }

    QJsonValue parseNumber()
    {
        const unsigned char *start = m_pos;
        bool whole = true;
        const auto digits = [this] {
            const unsigned char *from = m_pos;
            while (m_pos < m_end && *m_pos >= '0' && *m_pos <= '9')
                ++m_pos;
            return m_pos > from;
        };
        if (*m_pos == '-')
            ++m_pos;
        if (m_pos < m_end && *m_pos == '0') {
            ++m_pos;
        } else if (!digits()) {
            fail("malformed number");
            return {};
        }
        if (m_pos < m_end && *m_pos == '.') {
            whole = false;
            ++m_pos;
            if (!digits()) {
                fail("malformed number");
                return {};
            }
        }
        if (m_pos < m_end && (*m_pos == 'e' || *m_pos == 'E')) {
            whole = false;
            ++m_pos;
            if (m_pos < m_end && (*m_pos == '+' || *m_pos == '-'))
                ++m_pos;
            if (!digits()) {
                fail("malformed number");
                return {};
            }
        }
        const char *first = reinterpret_cast<const char *>(start);
        const char *last = reinterpret_cast<const char *>(m_pos);
        if (whole) {
            qint64 integer = 0;
            const auto [end, ec] = std::from_chars(first, last, integer);
            if (ec == std::errc() && end == last)
                return integer;
        }
        double number = 0;
        const auto [end, ec] = std::from_chars(first, last, number);
        if (ec != std::errc() || end != last) {
            m_pos = start;
            fail("number out of range");
            return {};
        }
        return number;
    }

    int hexValue(unsigned char c) const
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    bool readHex4(char16_t &unit)
    {
        if (m_end - m_pos < 4) {
            fail("short \\u escape");
            return false;
        }
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const int h = hexValue(m_pos[i]);
            if (h < 0) {
                fail("malformed \\u escape");
                return false;
            }
            value = value * 16 + unsigned(h);
        }
        m_pos += 4;
        unit = char16_t(value);
        return true;
    }

    // Decodes one UTF-8 sequence starting at m_pos (which is >= 0x80),
    // refusing overlong forms, surrogates and values beyond U+10FFFF.
    bool decodeUtf8(char16_t *&out)
    {
        const unsigned char lead = *m_pos;
        int length;
        char32_t cp;
        char32_t minimum;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, cp = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, cp = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, cp = lead & 0x07, minimum = 0x10000;
        } else {
            fail("invalid UTF-8");
            return false;
        }
        if (m_end - m_pos < length) {
            fail("invalid UTF-8");
            return false;
        }
        for (int i = 1; i < length; ++i) {
            const unsigned char c = m_pos[i];
            if ((c & 0xC0) != 0x80) {
                fail("invalid UTF-8");
                return false;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            fail("invalid UTF-8");
            return false;
        }
        m_pos += length;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *out++ = char16_t(0xD800 + (cp >> 10));
            *out++ = char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            *out++ = char16_t(cp);
        }
        return true;
    }

    bool parseString(QString &text)
    {
        ++m_pos;  // opening quote
        // A string never holds more UTF-16 units than its encoded bytes; find
        // its end first so the buffer is sized once.
        const unsigned char *scan = m_pos;
        while (scan < m_end && *scan != '"') {
            // A backslash as the last byte escapes nothing: the string has no end.
            if (*scan == '\\' && m_end - scan < 2) {
                scan = m_end;
                break;
            }
            scan += (*scan == '\\') ? 2 : 1;
        }
        if (scan >= m_end) {
            fail("unterminated string");
            return false;
        }
        text.resize(scan - m_pos);
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        char16_t *const begin = out;
        while (true) {
            if (m_pos == m_end) {
                fail("unterminated string");
                return false;
            }
            const unsigned char c = *m_pos;
            if (c == '"') {
                ++m_pos;
                break;
            }
            if (c < 0x20) {
                fail("control character in string");
                return false;
            }
            if (c < 0x80 && c != '\\') {
                *out++ = c;
                ++m_pos;
                continue;
            }
            if (c >= 0x80) {
                if (!decodeUtf8(out))
                    return false;
                continue;
            }
            ++m_pos;  // backslash; the scan above found a byte after it
            if (m_pos == m_end) {
                fail("unterminated string");
                return false;
            }
            const unsigned char e = *m_pos++;
            switch (e) {
            case '"': *out++ = u'"'; break;
            case '\\': *out++ = u'\\'; break;
            case '/': *out++ = u'/'; break;
            case 'b': *out++ = u'\b'; break;
            case 'f': *out++ = u'\f'; break;
            case 'n': *out++ = u'\n'; break;
            case 'r': *out++ = u'\r'; break;
            case 't': *out++ = u'\t'; break;
            case 'u': {
                // Lone surrogates are kept as they are: the writer escapes a
                // QString's unpaired surrogate this way, and it must read back.
                char16_t unit;
                if (!readHex4(unit))
                    return false;
                *out++ = unit;
                break;
            }
            default:
                --m_pos;
                fail("unknown escape");
                return false;
            }
        }
        text.truncate(out - begin);
        return true;
    }
};

// Qt's writer builds nested containers by inserting into growing buffers,
// which copies a large notes file over and over; this one only appends.
class Writer {
public:
    explicit Writer(QByteArray &out) : m_out(out) {}

    void write(const QJsonValue &value, int depth)
    {
        switch (value.type()) {
        case QJsonValue::Null:
        case QJsonValue::Undefined:
            m_out.append("null");
            break;
        case QJsonValue::Bool:
            m_out.append(value.toBool() ? "true" : "false");
            break;
        case QJsonValue::Double:
            writeNumber(value);
            break;
        case QJsonValue::String:
            writeString(value.toString());
            break;
        case QJsonValue::Array:
            writeArray(value.toArray(), depth);
            break;
        case QJsonValue::Object:
            writeObject(value.toObject(), depth);
            break;
        }
    }

private:
    QByteArray &m_out;

    void indent(int depth) { m_out.append(QByteArray(4 * depth, ' ')); }

    void writeArray(const QJsonArray &array, int depth)
    {
        if (array.isEmpty()) {
            m_out.append("[]");
            return;
        }
        m_out.append("[\n");
        for (qsizetype i = 0; i < array.size(); ++i) {
            if (i > 0)
                m_out.append(",\n");
            indent(depth + 1);
            write(array.at(i), depth + 1);
        }
        m_out.append('\n');
        indent(depth);
        m_out.append(']');
    }

    void writeObject(const QJsonObject &object, int depth)
    {
        if (object.isEmpty()) {
            m_out.append("{}");
            return;
        }
        m_out.append("{\n");
        bool first = true;
        // QJsonObject iterates in ascending key order.
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            if (!first)
                m_out.append(",\n");
            first = false;
            indent(depth + 1);
            writeString(it.key());
            m_out.append(": ");
            write(it.value(), depth + 1);
        }
        m_out.append('\n');
        indent(depth);
        m_out.append('}');
    }

    void writeNumber(const QJsonValue &value)
    {
        // Integers are written exactly, whatever their size; JSON has no
        // text for infinity or NaN, so those become null.
        if (value.toInteger(0) == value.toInteger(1)) {
            m_out.append(QByteArray::number(value.toInteger()));
            return;
        }
        const double number = value.toDouble();
        if (std::isfinite(number))
            m_out.append(QByteArray::number(number, 'g', QLocale::FloatingPointShortest));
        else
            m_out.append("null");
    }

public:
    void writeString(const QString &text)
    {
        static const char hex[] = "0123456789abcdef";
        const qsizetype start = m_out.size();
        // The longest form of one UTF-16 unit is a six-byte \uXXXX escape.
        m_out.resize(start + 2 + 6 * text.size());
        char *out = m_out.data() + start;
        *out++ = '"';
        const char16_t *src = reinterpret_cast<const char16_t *>(text.constData());
        const char16_t *const end = src + text.size();
        const auto escapeUnit = [&out](char16_t u) {
            *out++ = '\\';
            *out++ = 'u';
            *out++ = hex[(u >> 12) & 0xF];
            *out++ = hex[(u >> 8) & 0xF];
            *out++ = hex[(u >> 4) & 0xF];
            *out++ = hex[u & 0xF];
        };
        while (src < end) {
            const char16_t u = *src++;
            if (u < 0x80) {
                switch (u) {
                case u'"': *out++ = '\\'; *out++ = '"'; break;
                case u'\\': *out++ = '\\'; *out++ = '\\'; break;
                case u'\b': *out++ = '\\'; *out++ = 'b'; break;
                case u'\f': *out++ = '\\'; *out++ = 'f'; break;
                case u'\n': *out++ = '\\'; *out++ = 'n'; break;
                case u'\r': *out++ = '\\'; *out++ = 'r'; break;
                case u'\t': *out++ = '\\'; *out++ = 't'; break;
                default:
                    if (u < 0x20)
                        escapeUnit(u);
                    else
                        *out++ = char(u);
                }
            } else if (u < 0x800) {
                *out++ = char(0xC0 | (u >> 6));
                *out++ = char(0x80 | (u & 0x3F));
            } else if (QChar::isHighSurrogate(u) && src < end && QChar::isLowSurrogate(*src)) {
                const char32_t cp = QChar::surrogateToUcs4(u, *src++);
                *out++ = char(0xF0 | (cp >> 18));
                *out++ = char(0x80 | ((cp >> 12) & 0x3F));
                *out++ = char(0x80 | ((cp >> 6) & 0x3F));
                *out++ = char(0x80 | (cp & 0x3F));
            } else if (QChar::isSurrogate(u)) {
                // An unpaired surrogate has no UTF-8 form; the escape keeps it.
                escapeUnit(u);
            } else {
                *out++ = char(0xE0 | (u >> 12));
                *out++ = char(0x80 | ((u >> 6) & 0x3F));
                *out++ = char(0x80 | (u & 0x3F));
            }
        }
        *out++ = '"';
        m_out.truncate(out - m_out.constData());
    }
};

} // namespace

namespace ZulJsonText {

ZulResult<QJsonValue> parse(QByteArrayView text)
{
    return Parser(text).parseDocument();
}

QByteArray format(const QJsonValue &value)
{
    QByteArray out;
    out.reserve(64 * 1024);
    Writer(out).write(value, 0);
    out.append('\n');
    return out;
}

void appendString(QByteArray &out, const QString &text)
{
    Writer(out).writeString(text);
}

void appendValue(QByteArray &out, const QJsonValue &value, int depth)
{
    Writer(out).write(value, depth);
}

} // namespace ZulJsonText
