#include "LzfseDecoder.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

// Block magics, read as little-endian 32-bit words ("bvx$", "bvx-", ...).
constexpr std::uint32_t kEndOfStreamMagic = 0x24787662;
constexpr std::uint32_t kStoredMagic = 0x2d787662;
constexpr std::uint32_t kLzvnMagic = 0x6e787662;
constexpr std::uint32_t kFseMagic = 0x32787662;

constexpr int kLiteralSymbols = 256;
constexpr int kLiteralStates = 1024;
constexpr int kLengthSymbols = 20;  // both literal-run and match lengths
constexpr int kLengthStates = 64;
constexpr int kDistanceSymbols = 64;
constexpr int kDistanceStates = 256;

constexpr qsizetype kFseFixedHeaderSize = 32;

// Extra bits carried by each literal-run and match length symbol; a symbol's
// base is the sum of the ranges of all symbols before it.
constexpr std::array<std::uint8_t, kLengthSymbols> kLiteralRunExtraBits = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 5, 8};
constexpr std::array<std::uint8_t, kLengthSymbols> kMatchLengthExtraBits = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 5, 8, 11};

// Distances: four symbols per extra-bit count, starting at one extra bit for
// symbols 4..7 (symbols 0..3 stand for themselves).
constexpr std::uint8_t distanceExtraBits(int symbol)
{
    return static_cast<std::uint8_t>(symbol / 4);
}

struct ByteSpan {
    const unsigned char *data = nullptr;
    qsizetype size = 0;

    bool has(qsizetype offset, qsizetype length) const
    {
        return offset >= 0 && length >= 0 && offset <= size && length <= size - offset;
    }
    std::uint32_t u32(qsizetype offset) const
    {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | data[offset + i];
        return v;
    }
    std::uint64_t u64(qsizetype offset) const
    {
        std::uint64_t v = 0;
        for (int i = 7; i >= 0; --i)
            v = (v << 8) | data[offset + i];
        return v;
    }
    ByteSpan sub(qsizetype offset, qsizetype length) const { return {data + offset, length}; }
};

// The decoded output of the whole stream. Matches may reach back into the
// output of earlier blocks, so every block writes into this one buffer.
class Output {
public:
    explicit Output(qsizetype limit) : m_limit(limit) {}

    // Opens room for one block of `count` bytes; false when that would pass the limit.
    bool beginBlock(qsizetype count)
    {
        if (count < 0 || count > m_limit - m_bytes.size())
            return false;
        m_blockEnd = m_bytes.size() + count;
        m_bytes.resize(m_blockEnd);
        return true;
    }
    bool blockComplete() const { return m_position == m_blockEnd; }

    bool literal(const unsigned char *source, qsizetype count)
    {
        if (count > m_blockEnd - m_position)
            return false;
        char *out = m_bytes.data();
        for (qsizetype i = 0; i < count; ++i)
            out[m_position + i] = static_cast<char>(source[i]);
        m_position += count;
        return true;
    }
    // Byte by byte on purpose: an overlapping match repeats its own output.
    bool match(qsizetype distance, qsizetype count)
    {
        if (count == 0)
            return true;
        if (distance < 1 || distance > m_position || count > m_blockEnd - m_position)
            return false;
        char *out = m_bytes.data();
        for (qsizetype i = 0; i < count; ++i)
            out[m_position + i] = out[m_position - distance + i];
        m_position += count;
        return true;
    }

    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
    qsizetype m_limit;
    qsizetype m_position = 0;
    qsizetype m_blockEnd = 0;
};

// ---------------------------------------------------------------------------
// LZVN blocks: byte-aligned opcodes, each a literal run and/or a match.

bool decodeLzvn(ByteSpan in, Output &out)
{
    qsizetype at = 0;
    qsizetype previousDistance = 0;
    while (at < in.size) {
        const unsigned op = in.data[at];
        qsizetype opLength = 1;
        qsizetype literals = 0;
        qsizetype matchLength = 0;
        qsizetype distance = previousDistance;

        const auto need = [&](qsizetype n) { return in.has(at, n); };
        const unsigned low3 = op & 7u;
        const qsizetype shortLiterals = op >> 6;
        const qsizetype shortMatch = ((op >> 3) & 7u) + 3;

        if (op == 0x06) {
            return out.blockComplete();  // end of stream
        } else if (op == 0x0e || op == 0x16) {
            at += 1;  // padding
            continue;
        } else if (op >= 0xf0) {
            if (op == 0xf0) {
                if (!need(2))
                    return false;
                opLength = 2;
                matchLength = qsizetype(in.data[at + 1]) + 16;
            } else {
                matchLength = op & 0x0fu;
            }
        } else if (op >= 0xe0) {
            if (op == 0xe0) {
                if (!need(2))
                    return false;
                opLength = 2;
                literals = qsizetype(in.data[at + 1]) + 16;
            } else {
                literals = op & 0x0fu;
            }
        } else if ((op & 0xf0) == 0xd0 || (op & 0xf0) == 0x70) {
            return false;  // reserved opcodes
        } else if ((op & 0xe0) == 0xa0) {
            if (!need(3))
                return false;
            const unsigned b1 = in.data[at + 1];
            const unsigned b2 = in.data[at + 2];
            opLength = 3;
            literals = (op >> 3) & 3u;
            matchLength = (((op & 7u) << 2) | (b1 & 3u)) + 3;
            distance = qsizetype((b1 >> 2) | (b2 << 6));
        } else if (low3 == 7) {
            if (!need(3))
                return false;
            opLength = 3;
            literals = shortLiterals;
            matchLength = shortMatch;
            distance = qsizetype(in.data[at + 1] | (unsigned(in.data[at + 2]) << 8));
        } else if (low3 == 6) {
            if (shortLiterals == 0)
                return false;  // 0x1e..0x3e are reserved
            literals = shortLiterals;
            matchLength = shortMatch;
        } else {
            if (!need(2))
                return false;
            opLength = 2;
            literals = shortLiterals;
            matchLength = shortMatch;
            distance = qsizetype((low3 << 8) | in.data[at + 1]);
        }

        if (!in.has(at + opLength, literals))
            return false;
        if (!out.literal(in.data + at + opLength, literals))
            return false;
        if (matchLength > 0) {
            if (!out.match(distance, matchLength))
                return false;
            previousDistance = distance;
        }
        at += opLength + literals;
    }
    return false;  // the payload ended without its end-of-stream opcode
}

// ---------------------------------------------------------------------------
// FSE blocks.

// Reads an FSE payload the way its encoder wrote it: the whole payload is one
// little-endian number whose top bits are consumed first. The top
// `-initialBits` bits of the last byte are unused and must be zero.
class BackwardBits {
public:
    bool start(ByteSpan span, int initialBits)
    {
        if (initialBits > 0 || initialBits < -7)
            return false;
        m_span = span;
        m_remaining = span.size * 8 + initialBits;
        if (m_remaining < 0)
            return false;
        if (initialBits < 0 && (span.data[span.size - 1] >> (8 + initialBits)) != 0)
            return false;
        return true;
    }

    // The next `count` (at most 32) bits, most significant first.
    bool pull(int count, std::uint32_t &value)
    {
        if (count > m_remaining)
            return false;
        value = 0;
        if (count == 0)
            return true;
        const qsizetype low = m_remaining - count;
        const qsizetype firstByte = low / 8;
        const qsizetype lastByte = (m_remaining - 1) / 8;
        std::uint64_t gathered = 0;
        for (qsizetype b = lastByte; b >= firstByte; --b)
            gathered = (gathered << 8) | m_span.data[b];
        gathered >>= (low % 8);
        value = static_cast<std::uint32_t>(gathered & ((std::uint64_t(1) << count) - 1));
        m_remaining = low;
        return true;
    }

private:
    ByteSpan m_span;
    qsizetype m_remaining = 0;
};

// One decoder state: the symbol it stands for, how many bits select the next
// state, and the base those bits are added to.
struct StateEntry {
    std::int16_t symbol = -1;  // -1: no symbol owns this state
    std::uint8_t bits = 0;
    std::uint16_t base = 0;
};

// Symbols own consecutive runs of states, in symbol order, as many as their
// frequency. Of a symbol's f states, the first ones read k bits and the rest
// k - 1, where k is the smallest shift that lifts f to at least the state count;
// together they cover every next state exactly once.
bool buildStates(const std::uint16_t *frequencies, int symbolCount, int stateCount,
                 std::vector<StateEntry> &table)
{
    table.assign(std::size_t(stateCount), StateEntry{});
    int next = 0;
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
        const int f = frequencies[symbol];
        if (f == 0)
            continue;
        if (f > stateCount - next)
            return false;
        int k = 0;
        while ((f << k) < stateCount)
            ++k;
        const int wide = ((2 * stateCount) >> k) - f;
        for (int j = 0; j < f; ++j) {
            StateEntry &e = table[std::size_t(next++)];
            e.symbol = static_cast<std::int16_t>(symbol);
            if (j < wide) {
                e.bits = static_cast<std::uint8_t>(k);
                e.base = static_cast<std::uint16_t>(((f + j) << k) - stateCount);
            } else {
                e.bits = static_cast<std::uint8_t>(k - 1);
                e.base = static_cast<std::uint16_t>((j - wide) << (k - 1));
            }
        }
    }
    return true;
}

class SymbolDecoder {
public:
    bool build(const std::uint16_t *frequencies, int symbolCount, int stateCount)
    {
        return buildStates(frequencies, symbolCount, stateCount, m_states);
    }
    bool validState(std::uint32_t state) const
    {
        return state < m_states.size() && m_states[state].symbol >= 0;
    }
    // Decodes the symbol of `state` and moves `state` on.
    bool decode(std::uint32_t &state, BackwardBits &bits, int &symbol) const
    {
        if (!validState(state))
            return false;
        const StateEntry &e = m_states[state];
        std::uint32_t v = 0;
        if (!bits.pull(e.bits, v))
            return false;
        symbol = e.symbol;
        state = e.base + v;
        return true;
    }

private:
    std::vector<StateEntry> m_states;
};

// A length or distance: a symbol picks a range, extra bits pick within it. The
// state bits and the extra bits are read as one field, state bits on top.
class ValueDecoder {
public:
    bool build(const std::uint16_t *frequencies, int symbolCount, int stateCount,
               const std::uint8_t *extraBits)
    {
        m_extraBits.assign(extraBits, extraBits + symbolCount);
        m_bases.assign(std::size_t(symbolCount), 0);
        std::uint32_t base = 0;
        for (int s = 0; s < symbolCount; ++s) {
            m_bases[std::size_t(s)] = base;
            base += std::uint32_t(1) << extraBits[s];
        }
        return buildStates(frequencies, symbolCount, stateCount, m_states);
    }
    bool validState(std::uint32_t state) const
    {
        return state < m_states.size() && m_states[state].symbol >= 0;
    }
    bool decode(std::uint32_t &state, BackwardBits &bits, std::uint32_t &value) const
    {
        if (!validState(state))
            return false;
        const StateEntry &e = m_states[state];
        const int extra = m_extraBits[std::size_t(e.symbol)];
        std::uint32_t field = 0;
        if (!bits.pull(e.bits + extra, field))
            return false;
        state = e.base + (field >> extra);
        value = m_bases[std::size_t(e.symbol)] + (field & ((std::uint32_t(1) << extra) - 1));
        return true;
    }

private:
    std::vector<StateEntry> m_states;
    std::vector<std::uint8_t> m_extraBits;
    std::vector<std::uint32_t> m_bases;
};

// The block header stores every symbol frequency with a prefix code, read from
// the low bits up:
//   ..00 -> 0, ..10 -> 1 (2 bits);  .001 -> 2, .101 -> 3 (3 bits);
//   vv011 -> 4 + vv (5 bits);  vvvv0111 -> 8 + vvvv (8 bits);
//   10 bits v then 1111 -> 24 + v (14 bits).
bool readFrequencies(ByteSpan table, std::uint16_t *frequencies, int count)
{
    const qsizetype totalBits = table.size * 8;
    qsizetype position = 0;
    for (int i = 0; i < count; ++i) {
        std::uint32_t window = 0;
        for (int b = 0; b < 14; ++b) {
            const qsizetype bit = position + b;
            if (bit < totalBits && ((table.data[bit / 8] >> (bit % 8)) & 1u))
                window |= std::uint32_t(1) << b;
        }
        int length = 0;
        std::uint32_t value = 0;
        if ((window & 1u) == 0) {
            length = 2;
            value = (window >> 1) & 1u;
        } else if ((window & 3u) == 1) {
            length = 3;
            value = 2 + ((window >> 2) & 1u);
        } else if ((window & 7u) == 3) {
            length = 5;
            value = 4 + ((window >> 3) & 3u);
        } else if ((window & 15u) == 7) {
            length = 8;
            value = 8 + ((window >> 4) & 15u);
        } else {
            length = 14;
            value = 24 + ((window >> 4) & 0x3ffu);
        }
        if (length > totalBits - position)
            return false;
        position += length;
        frequencies[i] = static_cast<std::uint16_t>(value);
    }
    // The table ends with less than one byte of padding.
    return totalBits - position < 8;
}

std::uint32_t field(std::uint64_t word, int shift, int width)
{
    return static_cast<std::uint32_t>((word >> shift) & ((std::uint64_t(1) << width) - 1));
}

// Decodes one FSE block starting at `block`; `consumed` receives its size.
bool decodeFseBlock(ByteSpan block, Output &out, qsizetype &consumed)
{
    if (!block.has(0, kFseFixedHeaderSize))
        return false;
    const qsizetype rawBytes = block.u32(4);
    const std::uint64_t w0 = block.u64(8);
    const std::uint64_t w1 = block.u64(16);
    const std::uint64_t w2 = block.u64(24);

    const qsizetype literalCount = field(w0, 0, 20);
    const qsizetype literalPayloadBytes = field(w0, 20, 20);
    const qsizetype matchCount = field(w0, 40, 20);
    const int literalInitialBits = int(field(w0, 60, 3)) - 7;
    std::array<std::uint32_t, 4> literalStates = {field(w1, 0, 10), field(w1, 10, 10),
                                                  field(w1, 20, 10), field(w1, 30, 10)};
    const qsizetype lmdPayloadBytes = field(w1, 40, 20);
    const int lmdInitialBits = int(field(w1, 60, 3)) - 7;
    const qsizetype headerSize = field(w2, 0, 32);
    std::uint32_t literalRunState = field(w2, 32, 10);
    std::uint32_t matchLengthState = field(w2, 42, 10);
    std::uint32_t distanceState = field(w2, 52, 10);

    if (headerSize < kFseFixedHeaderSize || !block.has(0, headerSize)
        || !block.has(headerSize, literalPayloadBytes)
        || !block.has(headerSize + literalPayloadBytes, lmdPayloadBytes))
        return false;
    consumed = headerSize + literalPayloadBytes + lmdPayloadBytes;

    constexpr int kFrequencyCount =
        kLengthSymbols + kLengthSymbols + kDistanceSymbols + kLiteralSymbols;
    std::array<std::uint16_t, kFrequencyCount> frequencies{};
    if (!readFrequencies(block.sub(kFseFixedHeaderSize, headerSize - kFseFixedHeaderSize),
                         frequencies.data(), kFrequencyCount))
        return false;
    const std::uint16_t *literalRunFreq = frequencies.data();
    const std::uint16_t *matchLengthFreq = literalRunFreq + kLengthSymbols;
    const std::uint16_t *distanceFreq = matchLengthFreq + kLengthSymbols;
    const std::uint16_t *literalFreq = distanceFreq + kDistanceSymbols;

    std::array<std::uint8_t, kDistanceSymbols> distanceBits{};
    for (int s = 0; s < kDistanceSymbols; ++s)
        distanceBits[std::size_t(s)] = distanceExtraBits(s);

    SymbolDecoder literalDecoder;
    ValueDecoder literalRunDecoder, matchLengthDecoder, distanceDecoder;
    if (!literalDecoder.build(literalFreq, kLiteralSymbols, kLiteralStates)
        || !literalRunDecoder.build(literalRunFreq, kLengthSymbols, kLengthStates,
                                    kLiteralRunExtraBits.data())
        || !matchLengthDecoder.build(matchLengthFreq, kLengthSymbols, kLengthStates,
                                     kMatchLengthExtraBits.data())
        || !distanceDecoder.build(distanceFreq, kDistanceSymbols, kDistanceStates,
                                  distanceBits.data()))
        return false;

    // What the block may do is bounded by what it declares to produce: an
    // encoder pads the literals to a multiple of four and gives every command
    // at least one byte, except perhaps a last one that only ends the block.
    // Tables with one symbol in every state read no bits, so without these
    // bounds a few bytes of header could ask for a million idle steps.
    if (literalCount > rawBytes + 3 || matchCount > rawBytes + 1)
        return false;
    if (!out.beginBlock(rawBytes))
        return false;

    // Literals come in groups of four, one interleaved state per position.
    std::vector<unsigned char> literals(std::size_t((literalCount + 3) / 4 * 4));
    BackwardBits literalBits;
    if (!literalBits.start(block.sub(headerSize, literalPayloadBytes), literalInitialBits))
        return false;
    for (std::size_t i = 0; i < literals.size(); ++i) {
        int symbol = 0;
        if (!literalDecoder.decode(literalStates[i % 4], literalBits, symbol))
            return false;
        literals[i] = static_cast<unsigned char>(symbol);
    }

    BackwardBits lmdBits;
    if (!lmdBits.start(block.sub(headerSize + literalPayloadBytes, lmdPayloadBytes),
                       lmdInitialBits))
        return false;
    qsizetype literalsUsed = 0;
    qsizetype distance = 0;
    for (qsizetype m = 0; m < matchCount; ++m) {
        std::uint32_t run = 0, length = 0, newDistance = 0;
        if (!literalRunDecoder.decode(literalRunState, lmdBits, run)
            || !matchLengthDecoder.decode(matchLengthState, lmdBits, length)
            || !distanceDecoder.decode(distanceState, lmdBits, newDistance))
            return false;
        // A zero distance repeats the previous one.
        if (newDistance != 0)
            distance = newDistance;
        if (qsizetype(run) > literalCount - literalsUsed)
            return false;
        if (run == 0 && length == 0 && m + 1 < matchCount)
            return false;
        if (!out.literal(literals.data() + literalsUsed, run))
            return false;
        literalsUsed += run;
        if (!out.match(distance, length))
            return false;
    }
    return out.blockComplete();
}

} // namespace

namespace LzfseDecoder {

std::optional<QByteArray> decode(QByteArrayView stream, qsizetype maxOutputSize)
{
    const ByteSpan in{reinterpret_cast<const unsigned char *>(stream.data()), stream.size()};
    Output out(maxOutputSize < 0 ? 0 : maxOutputSize);
    qsizetype at = 0;
    while (true) {
        if (!in.has(at, 4))
            return std::nullopt;
        const std::uint32_t magic = in.u32(at);
        switch (magic) {
        case kEndOfStreamMagic:
            return out.take();
        case kStoredMagic: {
            if (!in.has(at, 8))
                return std::nullopt;
            const qsizetype count = in.u32(at + 4);
            if (!in.has(at + 8, count) || !out.beginBlock(count)
                || !out.literal(in.data + at + 8, count))
                return std::nullopt;
            at += 8 + count;
            break;
        }
        case kLzvnMagic: {
            if (!in.has(at, 12))
                return std::nullopt;
            const qsizetype rawBytes = in.u32(at + 4);
            const qsizetype payloadBytes = in.u32(at + 8);
            if (!in.has(at + 12, payloadBytes) || !out.beginBlock(rawBytes)
                || !decodeLzvn(in.sub(at + 12, payloadBytes), out))
                return std::nullopt;
            at += 12 + payloadBytes;
            break;
        }
        case kFseMagic: {
            qsizetype consumed = 0;
            if (!decodeFseBlock(in.sub(at, in.size - at), out, consumed))
                return std::nullopt;
            at += consumed;
            break;
        }
        default:
            // Includes the older FSE block form with uncompressed tables,
            // which current encoders no longer write.
            return std::nullopt;
        }
    }
}

} // namespace LzfseDecoder
