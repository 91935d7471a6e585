#pragma once

#include "Engine/LineCharacters.h"
#include "Engine/ZulIdentifierNormalizer.h"

#include <QList>
#include <QStringView>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <utility>

// A fixed table of folded names, filed once by first character and length:
// a name is found by comparing it with the one or two entries filed like it,
// without hashing it and, folded on the fly into a small buffer, without a
// copy of the text. Names are what ZulIdentifierNormalizer folds
// them to; a name with a capital I is also read the Turkish way (I as the
// capital of ı) when the locale-free reading finds nothing.
template <typename T>
class FoldedNameTable
{
public:
    struct Entry
    {
        QStringView name;
        T value;
    };

    FoldedNameTable() = default;
    explicit FoldedNameTable(QList<Entry> entries) : m_entries(std::move(entries))
    {
        // Sorted by bucket, so that each bucket's entries lie side by side.
        std::sort(m_entries.begin(), m_entries.end(), [](const Entry &a, const Entry &b) {
            return std::pair(bucketOf(a.name), a.name) < std::pair(bucketOf(b.name), b.name);
        });
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            const QStringView name = m_entries[i].name;
            Q_ASSERT(!name.isEmpty() && name.size() < 64
                     && name.size() <= ZulIdentifierNormalizer::FoldedName::capacity);
            if (i > 0 && m_entries[i - 1].name == name)
                qFatal("FoldedNameTable: %s is listed twice", qUtf8Printable(name.toString()));
            m_lengths |= quint64(1) << name.size();
            const char16_t initial = name[0].unicode();
            if (initial < 0x80)
                m_asciiInitials[initial / 64] |= quint64(1) << (initial % 64);
            Bucket &bucket = m_buckets[bucketOf(name)];
            if (bucket.count == 0)
                bucket.first = quint16(i);
            ++bucket.count;
        }
    }

    // `folded` as the folding gives it.
    const T *find(QStringView folded) const
    {
        // Most names have a length no entry has.
        if (folded.isEmpty() || folded.size() >= 64 || !(m_lengths & (quint64(1) << folded.size())))
            return nullptr;
        const Bucket &bucket = m_buckets[bucketOf(folded)];
        for (qsizetype i = bucket.first; i < bucket.first + bucket.count; ++i) {
            const QStringView name = m_entries[i].name;
            if (name.size() == folded.size() && std::equal(name.utf16(), name.utf16() + name.size(), folded.utf16()))
                return &m_entries[i].value;
        }
        return nullptr;
    }

    enum Option { exact, allowCallParentheses };

    // `text` as typed. With allowCallParentheses a trailing "()" is no part
    // of the name ("toplam()").
    const T *findName(QStringView text, Option option = exact) const
    {
        // Most texts begin with a character no name begins with. Only a few
        // characters beyond ASCII fold to an ASCII letter (İ, the Kelvin
        // sign), so those are folded in full.
        qsizetype at = 0;
        while (at < text.size() && QChar::isSpace(text[at].unicode()))
            ++at;
        if (at < text.size() && text[at].unicode() < 0x80) {
            char16_t initial = text[at].unicode();
            if (initial >= u'A' && initial <= u'Z')
                initial = char16_t(initial + (u'a' - u'A'));
            if (!(m_asciiInitials[initial / 64] & (quint64(1) << (initial % 64))) && text[at] != u'I')
                return nullptr;
        }
        // Lower-case ASCII letters, digits and "_", as names are usually
        // typed, are their own folding.
        const bool folded = std::all_of(text.begin(), text.end(), [](QChar c) {
            const char16_t u = c.unicode();
            return (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'_';
        });
        if (folded)
            return find(text);
        for (const bool turkish : {false, true}) {
            ZulIdentifierNormalizer::FoldedName name(text, turkish);
            if (!name.fits())
                return nullptr;
            if (option == allowCallParentheses && name.view().endsWith(u"()"))
                name.chop(2);
            if (const T *found = find(name.view()))
                return found;
            if (!name.hasCapitalI())
                return nullptr;
        }
        return nullptr;
    }

    // The characters a text as typed must hold to name an entry: one that
    // folds to an entry's first character (a capital I may be the Turkish
    // capital of ı), or any beyond ASCII.
    LineCharacters initials() const
    {
        LineCharacters initials;
        initials.addBeyondAscii();
        initials.add(u'I');
        for (char16_t c = 0; c < 0x80; ++c) {
            const char16_t lower = (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
            if (m_asciiInitials[lower / 64] & (quint64(1) << (lower % 64)))
                initials.add(c);
        }
        return initials;
    }

private:
    // The entries of one first character and length.
    struct Bucket
    {
        quint16 first = 0;
        quint16 count = 0;
    };
    static qsizetype bucketOf(QStringView name) { return (name[0].unicode() * 7 + name.size()) & 255; }

    QList<Entry> m_entries;
    std::array<Bucket, 256> m_buckets{};
    quint64 m_lengths = 0; // bit n: some entry is n code units long
    quint64 m_asciiInitials[2] = {0, 0}; // bit c: some entry begins with the ASCII character c
};

