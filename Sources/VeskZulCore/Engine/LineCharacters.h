#pragma once

#include <QList>
#include <QStringView>
#include <QtGlobal>

// Which ASCII characters a text holds, and whether it holds any other,
// from one look at each of its characters. Every special form of a note
// line needs some sign ("%", "=") or one of a few words, and a word needs
// a character that folds to its first one; so a line whose characters meet
// none of what a form needs is not tried in that form at all. A piece of a
// line never holds more than the whole, so the set of the whole line
// serves for every piece of it.
class LineCharacters
{
public:
    LineCharacters() = default;
    explicit LineCharacters(QStringView text)
    {
        // Gathered in locals without a branch: or-ing each character into
        // the member it picks makes every step wait for the one before.
        const char16_t *data = text.utf16();
        quint64 low = 0;
        quint64 high = 0;
        char16_t units = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = data[i];
            // No bit for a character beyond ASCII; below it, bit 6 picks
            // the word.
            const quint64 bit = quint64(c < 0x80) << (c % 64);
            low |= c & 64 ? 0 : bit;
            high |= c & 64 ? bit : 0;
            units |= c;
        }
        m_ascii[0] = low;
        m_ascii[1] = high;
        m_beyondAscii = units >= 0x80;
    }

    void add(char16_t c)
    {
        if (c < 0x80)
            m_ascii[c / 64] |= quint64(1) << (c % 64);
        else
            m_beyondAscii = true;
    }
    void addBeyondAscii() { m_beyondAscii = true; }

    bool has(char16_t c) const { return c < 0x80 && (m_ascii[c / 64] >> (c % 64)) & 1; }
    bool beyondAscii() const { return m_beyondAscii; }

    // Whether the two sets share a character; any characters beyond ASCII
    // count as shared when both have some.
    bool meets(const LineCharacters &other) const
    {
        return (m_ascii[0] & other.m_ascii[0]) || (m_ascii[1] & other.m_ascii[1])
            || (m_beyondAscii && other.m_beyondAscii);
    }

private:
    friend class LineWords;
    quint64 m_ascii[2] = {0, 0};
    bool m_beyondAscii = false;
};

// Whether a line may hold one of some folded words: for every character of
// one of them, it must hold a character that folds to it. Any character
// beyond ASCII may fold to one (İ, the Kelvin sign, a letter with its
// combining dot), so a line with one may hold any word; an ASCII line must
// hold each letter of a word in one case or the other, and can hold no
// word with a character beyond ASCII, since I folds only to i or ı.
class LineWords
{
public:
    explicit LineWords(const QList<QStringView> &words)
    {
        for (const QStringView word : words) {
            Needs needs;
            for (const QChar c : word) {
                char16_t folded = c.unicode();
                if (folded == u'\u0131')
                    folded = u'i'; // the capital I, taken as i: wider, never narrower
                if (folded >= 0x80) {
                    needs.beyondAscii = true;
                    break;
                }
                needs.ascii[folded / 64] |= quint64(1) << (folded % 64);
            }
            if (!needs.beyondAscii) {
                m_words.append(needs);
                const char16_t first = word[0].unicode() == u'\u0131' ? u'i' : word[0].unicode();
                m_initials[first / 64] |= quint64(1) << (first % 64);
            }
        }
    }

    bool mayHold(const LineCharacters &line) const
    {
        if (line.beyondAscii())
            return true;
        // The line's letters in lower case: A-Z are bits 1-26 of the upper
        // word, a-z bits 33-58.
        constexpr quint64 capitals = quint64(0x3FFFFFF) << 1;
        const quint64 low = line.m_ascii[0];
        const quint64 high = line.m_ascii[1] | ((line.m_ascii[1] & capitals) << 32);
        if (!(m_initials[0] & low) && !(m_initials[1] & high))
            return false;
        for (const Needs &needs : m_words) {
            if ((needs.ascii[0] & ~low) == 0 && (needs.ascii[1] & ~high) == 0)
                return true;
        }
        return false;
    }

private:
    struct Needs
    {
        quint64 ascii[2] = {0, 0};
        bool beyondAscii = false;
    };
    QList<Needs> m_words;
    quint64 m_initials[2] = {0, 0}; // the first characters of the words
};
