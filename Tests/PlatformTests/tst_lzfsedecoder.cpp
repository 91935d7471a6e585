#include "LzfseDecoder.h"

#include <QRandomGenerator>
#include <QtTest>

#include <array>
#include <functional>
#include <vector>

// The streams below are written by a small encoder kept in this file, so that
// the decoder is checked against streams whose every bit we chose.
namespace {

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xff);
    return b;
}

QByteArray le64(quint64 v)
{
    QByteArray b(8, '\0');
    for (int i = 0; i < 8; ++i)
        b[i] = char((v >> (8 * i)) & 0xff);
    return b;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

const QByteArray kEnd = QByteArrayLiteral("bvx$");

QByteArray storedBlock(const QByteArray &raw)
{
    return "bvx-" + le32(quint32(raw.size())) + raw;
}

QByteArray lzvnBlock(quint32 rawBytes, const QByteArray &payload)
{
    return "bvxn" + le32(rawBytes) + le32(quint32(payload.size())) + payload;
}

// LZVN end-of-stream opcode with the padding encoders write after it.
const QByteArray kLzvnEnd = hex("0600000000000000");

// --- FSE blocks --------------------------------------------------------------

constexpr int kLiteralStates = 1024;
constexpr int kLengthStates = 64;
constexpr int kDistanceStates = 256;

const std::array<int, 20> kRunBits = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 5, 8};
const std::array<int, 20> kMatchBits = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 5, 8, 11};

std::vector<int> distanceBits()
{
    std::vector<int> bits(64);
    for (int s = 0; s < 64; ++s)
        bits[std::size_t(s)] = s / 4;
    return bits;
}

std::vector<quint32> basesFor(const std::vector<int> &bits)
{
    std::vector<quint32> bases(bits.size());
    quint32 base = 0;
    for (std::size_t s = 0; s < bits.size(); ++s) {
        bases[s] = base;
        base += quint32(1) << bits[s];
    }
    return bases;
}

struct Command {
    int literalRun;
    int matchLength;
    int distance;  // 0 repeats the previous distance
};

// Everything an FSE block header carries, so tests can spoil single fields.
struct FseBlock {
    quint32 rawBytes = 0;
    quint32 literalCount = 0;
    quint32 matchCount = 0;
    int literalInitialBits = 0;
    std::array<quint32, 4> literalStates{};
    int lmdInitialBits = 0;
    quint32 runState = 0, matchState = 0, distanceState = 0;
    std::vector<int> runFreq = std::vector<int>(20), matchFreq = std::vector<int>(20),
                     distanceFreq = std::vector<int>(64), literalFreq = std::vector<int>(256);
    QByteArray literalPayload;
    QByteArray lmdPayload;
    QByteArray frequencyTableOverride;  // used instead of the encoded table when set
    qint64 headerSizeAdjust = 0;

    QByteArray frequencyTable() const;
    QByteArray serialize() const;
};

// Appends values whose bits the decoder reads back last-pushed-first.
class BitStack {
public:
    explicit BitStack(int paddingBits) : m_used(paddingBits) {}
    void push(quint32 value, int count)
    {
        for (int i = 0; i < count; ++i) {
            if ((value >> i) & 1u) {
                const int bit = m_used + i;
                m_bytes.resize(qMax(m_bytes.size(), qsizetype(bit / 8 + 1)), '\0');
                m_bytes[bit / 8] = char(m_bytes[bit / 8] | (1 << (bit % 8)));
            }
        }
        m_used += count;
    }
    // The payload and the (zero or negative) count of unused top bits.
    QByteArray finish(int &initialBits) const
    {
        const int bytes = (m_used + 7) / 8;
        QByteArray out = m_bytes;
        out.resize(bytes, '\0');
        initialBits = m_used - 8 * bytes;
        return out;
    }

private:
    QByteArray m_bytes;
    int m_used;
};

// Appends the prefix code of each frequency, low bits first.
QByteArray FseBlock::frequencyTable() const
{
    QByteArray out;
    int used = 0;
    auto put = [&](quint32 bits, int count) {
        for (int i = 0; i < count; ++i, ++used) {
            out.resize(used / 8 + 1, '\0');
            if ((bits >> i) & 1u)
                out[used / 8] = char(out[used / 8] | (1 << (used % 8)));
        }
    };
    auto code = [&](int f) {
        if (f <= 1)
            put(quint32(f) << 1, 2);
        else if (f <= 3)
            put(1u | (quint32(f - 2) << 2), 3);
        else if (f <= 7)
            put(3u | (quint32(f - 4) << 3), 5);
        else if (f <= 23)
            put(7u | (quint32(f - 8) << 4), 8);
        else
            put(15u | (quint32(f - 24) << 4), 14);
    };
    for (const auto *table : {&runFreq, &matchFreq, &distanceFreq, &literalFreq})
        for (int f : *table)
            code(f);
    out.resize((used + 7) / 8, '\0');
    return out;
}

QByteArray FseBlock::serialize() const
{
    const QByteArray table =
        frequencyTableOverride.isNull() ? frequencyTable() : frequencyTableOverride;
    const quint64 headerSize = quint64(qint64(32 + table.size()) + headerSizeAdjust);
    const quint64 w0 = quint64(literalCount) | (quint64(literalPayload.size()) << 20)
                       | (quint64(matchCount) << 40) | (quint64(literalInitialBits + 7) << 60);
    const quint64 w1 = quint64(literalStates[0]) | (quint64(literalStates[1]) << 10)
                       | (quint64(literalStates[2]) << 20) | (quint64(literalStates[3]) << 30)
                       | (quint64(lmdPayload.size()) << 40) | (quint64(lmdInitialBits + 7) << 60);
    const quint64 w2 = (headerSize & 0xffffffffu) | (quint64(runState) << 32)
                       | (quint64(matchState) << 42) | (quint64(distanceState) << 52);
    return "bvx2" + le32(rawBytes) + le64(w0) + le64(w1) + le64(w2) + table + literalPayload
           + lmdPayload;
}

std::vector<int> normalize(const std::vector<int> &counts, int states)
{
    std::vector<int> f(counts.size());
    long total = 0;
    for (int c : counts)
        total += c;
    if (total == 0)
        return f;
    int sum = 0;
    for (std::size_t s = 0; s < counts.size(); ++s) {
        if (counts[s] > 0)
            f[s] = qMax(1, int(long(counts[s]) * states / total));
        sum += f[s];
    }
    while (sum != states) {
        std::size_t largest = 0;
        for (std::size_t s = 1; s < f.size(); ++s)
            if (f[s] > f[largest])
                largest = s;
        const int step = sum < states ? 1 : -1;
        f[largest] += step;
        sum += step;
    }
    return f;
}

// The encoder's view of a state table: the state range each symbol owns and,
// per state, how many bits lead to the next state and from which base.
struct StateTable {
    std::vector<int> first, bits, base;
    StateTable(const std::vector<int> &freq, int states) : first(freq.size()), bits(std::size_t(states)), base(std::size_t(states))
    {
        int next = 0;
        for (std::size_t s = 0; s < freq.size(); ++s) {
            const int f = freq[s];
            first[s] = next;
            if (f == 0)
                continue;
            int k = 0;
            while ((f << k) < states)
                ++k;
            const int wide = ((2 * states) >> k) - f;
            for (int j = 0; j < f; ++j, ++next) {
                bits[std::size_t(next)] = j < wide ? k : k - 1;
                base[std::size_t(next)] = j < wide ? ((f + j) << k) - states : (j - wide) << (k - 1);
            }
        }
    }
    // Picks the state of `symbol` from which `target` is reachable; returns the bits to write.
    quint32 step(int symbol, const std::vector<int> &freq, int &state) const
    {
        const int target = state;
        for (int s = first[std::size_t(symbol)]; s < first[std::size_t(symbol)] + freq[std::size_t(symbol)]; ++s) {
            if (target >= base[std::size_t(s)] && target < base[std::size_t(s)] + (1 << bits[std::size_t(s)])) {
                state = s;
                return quint32(target - base[std::size_t(s)]);
            }
        }
        qFatal("state table does not cover the target state");
    }
};

int symbolFor(quint32 value, const std::vector<quint32> &bases)
{
    int s = 0;
    while (s + 1 < int(bases.size()) && bases[std::size_t(s) + 1] <= value)
        ++s;
    return s;
}

// Builds a complete FSE block for the given literals and commands.
FseBlock encodeFse(QByteArray literals, const QList<Command> &commands, quint32 rawBytes)
{
    FseBlock b;
    b.rawBytes = rawBytes;
    b.literalCount = quint32(literals.size());
    b.matchCount = quint32(commands.size());
    while (literals.size() % 4 != 0)
        literals.append(literals.isEmpty() ? '\0' : literals.back());

    const std::vector<int> runBits(kRunBits.begin(), kRunBits.end());
    const std::vector<int> matchBits(kMatchBits.begin(), kMatchBits.end());
    const std::vector<int> dBits = distanceBits();
    const auto runBases = basesFor(runBits), matchBases = basesFor(matchBits),
               distanceBases = basesFor(dBits);

    std::vector<int> litCounts(256), runCounts(20), matchCounts(20), distanceCounts(64);
    for (char c : std::as_const(literals))
        ++litCounts[std::size_t(uchar(c))];
    for (const Command &c : commands) {
        ++runCounts[std::size_t(symbolFor(quint32(c.literalRun), runBases))];
        ++matchCounts[std::size_t(symbolFor(quint32(c.matchLength), matchBases))];
        ++distanceCounts[std::size_t(symbolFor(quint32(c.distance), distanceBases))];
    }
    b.literalFreq = normalize(litCounts, kLiteralStates);
    b.runFreq = normalize(runCounts, kLengthStates);
    b.matchFreq = normalize(matchCounts, kLengthStates);
    b.distanceFreq = normalize(distanceCounts, kDistanceStates);

    // Eight zero bytes below the payload give a word-at-a-time reader its slack.
    const StateTable litTable(b.literalFreq, kLiteralStates);
    BitStack litBits(64);
    std::array<int, 4> litStates{};
    for (qsizetype i = literals.size() - 1; i >= 0; --i) {
        int &state = litStates[std::size_t(i % 4)];
        const quint32 v = litTable.step(uchar(literals[i]), b.literalFreq, state);
        litBits.push(v, litTable.bits[std::size_t(state)]);
    }
    b.literalPayload = litBits.finish(b.literalInitialBits);
    for (int i = 0; i < 4; ++i)
        b.literalStates[std::size_t(i)] = quint32(litStates[std::size_t(i)]);

    const StateTable runTable(b.runFreq, kLengthStates), matchTable(b.matchFreq, kLengthStates),
        distanceTable(b.distanceFreq, kDistanceStates);
    BitStack lmdBits(64);
    int runState = 0, matchState = 0, distanceState = 0;
    auto pushValue = [&](const StateTable &table, const std::vector<int> &freq,
                         const std::vector<int> &extra, const std::vector<quint32> &bases,
                         quint32 value, int &state) {
        const int symbol = symbolFor(value, bases);
        const quint32 stateBits = table.step(symbol, freq, state);
        const int e = extra[std::size_t(symbol)];
        lmdBits.push((stateBits << e) | (value - bases[std::size_t(symbol)]),
                     table.bits[std::size_t(state)] + e);
    };
    for (qsizetype i = commands.size() - 1; i >= 0; --i) {
        const Command &c = commands[i];
        pushValue(distanceTable, b.distanceFreq, dBits, distanceBases, quint32(c.distance), distanceState);
        pushValue(matchTable, b.matchFreq, matchBits, matchBases, quint32(c.matchLength), matchState);
        pushValue(runTable, b.runFreq, runBits, runBases, quint32(c.literalRun), runState);
    }
    b.lmdPayload = lmdBits.finish(b.lmdInitialBits);
    b.runState = quint32(runState);
    b.matchState = quint32(matchState);
    b.distanceState = quint32(distanceState);
    return b;
}

// Greedy LZ77 parse into commands within the format's length limits.
FseBlock compressFse(const QByteArray &text)
{
    QByteArray literals;
    QList<Command> commands;
    int pendingRun = 0;
    int lastDistance = -1;
    auto flushRun = [&](int match, int distance) {
        while (pendingRun > 315) {
            commands.append({315, 0, 0});
            pendingRun -= 315;
        }
        const int coded = distance == lastDistance ? 0 : distance;
        commands.append({pendingRun, match, match > 0 ? coded : 0});
        if (match > 0)
            lastDistance = distance;
        pendingRun = 0;
    };
    qsizetype i = 0;
    while (i < text.size()) {
        int bestLength = 0, bestDistance = 0;
        for (int d = 1; d <= qMin<qsizetype>(i, 4000); ++d) {
            int len = 0;
            while (i + len < text.size() && text[i + len] == text[i + len - d])
                ++len;
            if (len > bestLength) {
                bestLength = len;
                bestDistance = d;
            }
        }
        if (bestLength >= 3) {
            int remaining = bestLength;
            flushRun(qMin(remaining, 2359), bestDistance);
            remaining -= qMin(remaining, 2359);
            while (remaining > 0) {
                const int chunk = qMin(remaining, 2359);
                flushRun(chunk, bestDistance);
                remaining -= chunk;
            }
            i += bestLength;
        } else {
            literals.append(text[i]);
            ++pendingRun;
            ++i;
        }
    }
    if (pendingRun > 0 || commands.isEmpty())
        flushRun(0, 0);
    return encodeFse(literals, commands, quint32(text.size()));
}

QByteArray fseStream(const QByteArray &text)
{
    return compressFse(text).serialize() + kEnd;
}

QByteArray sampleCatalog()
{
    return QByteArrayLiteral(
        "{\n  \"code\" : \"de\",\n  \"englishName\" : \"German\",\n  \"isRTL\" : false,\n"
        "  \"nativeName\" : \"Deutsch\",\n  \"strings\" : {\n    \"New Note\" : \"Neue Notiz\",\n"
        "    \"Delete Note\" : \"Notiz löschen\",\n    \"Pin Note\" : \"Notiz anheften\"\n  },\n"
        "  \"templates\" : {\n    \"{0} notes\" : \"{0} Notizen\"\n  }\n}\n");
}

// Output "abababab" from literals "abab" and one command (run 4, match 4,
// distance 2). Each length and distance table gives all its states to one
// symbol (run 4: 64, match 4: 64, distance 2: 256), so those states read no
// bits and the command payload is nothing but its eight bytes of zero padding.
// The literal table splits its 1024 states between 'a' (0..511) and 'b'
// (512..1023), one bit per step from base 2j; starting from states 0, 512, 0,
// 512 each of the four steps reads a zero bit: 64 padding bits plus 4 make 9
// bytes with 4 unused top bits. The frequency table holds 355 two-bit zeros
// and five fourteen-bit codes "1111" + (f - 24): 780 bits in 98 bytes.
const char *const kHandBuiltFseStream =
    "62767832"          // "bvx2"
    "08000000"          // 8 raw bytes
    "0400900000010030"  // 4 literals, 9 literal payload bytes, 1 command, 4 unused bits (7 - 4)
    "0000080080080070"  // literal states 0 512 0 512, 8 command payload bytes, 0 unused bits
    "8200000000000000"  // header of 130 bytes, run/match/distance states 0
    // run[4] = 64 at bit 8, match[4] = 64 at bit 60, distance[2] = 256 at bit 108
    "008f0200000000f02800000000f0e800000000000000000000000000000000000000"
    // literal[97] = 512 at bit 438, literal[98] = 512 at bit 452
    "0000000000000000000000000000000000000000c0a3f7e801000000000000000000"
    "000000000000000000000000000000000000000000000000000000000000"
    "000000000000000000"  // literal payload
    "0000000000000000"    // command payload
    "62767824";           // "bvx$"

} // namespace

class TestLzfseDecoder : public QObject {
    Q_OBJECT

private slots:
    void decodesValidStreams_data();
    void decodesValidStreams();
    void rejectsMalformedStreams_data();
    void rejectsMalformedStreams();
    void rejectsMalformedFseBlocks_data();
    void rejectsMalformedFseBlocks();
    void honoursOutputLimit();
    void everyTruncationFailsAndNoCorruptionCrashes();
};

void TestLzfseDecoder::decodesValidStreams_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty stream") << kEnd << QByteArray();
    QTest::newRow("stored block") << storedBlock("hello") + kEnd << QByteArray("hello");
    QTest::newRow("two stored blocks") << storedBlock("ab") + storedBlock("cd") + kEnd
                                       << QByteArray("abcd");
    QTest::newRow("bytes after end marker are ignored") << storedBlock("x") + kEnd + "junk"
                                                        << QByteArray("x");

    // LZVN opcodes, one row each.
    QTest::newRow("lzvn small literal") << lzvnBlock(5, hex("e5") + "hello" + kLzvnEnd) + kEnd
                                        << QByteArray("hello");
    QTest::newRow("lzvn large literal")
        << lzvnBlock(20, hex("e004") + "abcdefghijklmnopqrst" + kLzvnEnd) + kEnd
        << QByteArray("abcdefghijklmnopqrst");
    // 10 001 000: two literals, match 4 at distance (000 << 8 | 0x02).
    QTest::newRow("lzvn small distance") << lzvnBlock(6, hex("8802") + "ab" + kLzvnEnd) + kEnd
                                         << QByteArray("ababab");
    // 101 01 001, 000001 11, 00000000: one literal, match 3 + (001 << 2 | 11) = 10 at distance 1.
    QTest::newRow("lzvn medium distance") << lzvnBlock(11, hex("a90700") + "x" + kLzvnEnd) + kEnd
                                          << QByteArray(11, 'x');
    // 00 000 111 + 16-bit distance 3.
    QTest::newRow("lzvn large distance")
        << lzvnBlock(6, hex("e3") + "abc" + hex("070300") + kLzvnEnd) + kEnd
        << QByteArray("abcabc");
    // 01 000 110: one literal then match 3 at the previous distance (2).
    QTest::newRow("lzvn previous distance")
        << lzvnBlock(10, hex("8802") + "ab" + hex("46") + "c" + kLzvnEnd) + kEnd
        << QByteArray("abababc" "bcb");
    QTest::newRow("lzvn small match") << lzvnBlock(9, hex("8802") + "ab" + hex("f3") + kLzvnEnd) + kEnd
                                      << QByteArray("ababababa");
    QTest::newRow("lzvn large match")
        << lzvnBlock(27, hex("8802") + "ab" + hex("f005") + kLzvnEnd) + kEnd
        << QByteArray("ababab" "ababababababababababa");
    QTest::newRow("lzvn padding opcodes")
        << lzvnBlock(2, hex("0e") + hex("e1") + "a" + hex("16") + hex("e1") + "b" + kLzvnEnd) + kEnd
        << QByteArray("ab");
    QTest::newRow("lzvn match reaching into an earlier block")
        << storedBlock("xyz") + lzvnBlock(3, hex("070300") + kLzvnEnd) + kEnd
        << QByteArray("xyzxyz");

    QTest::newRow("fse hand-built block") << hex(kHandBuiltFseStream) << QByteArray("abababab");
    QTest::newRow("fse hand-built block, encoded here")
        << encodeFse("abab", {{4, 4, 2}}, 8).serialize() + kEnd << QByteArray("abababab");
    QTest::newRow("fse repeated phrase")
        << fseStream("the cat sat on the mat; the cat sat on the hat")
        << QByteArray("the cat sat on the mat; the cat sat on the hat");
    QTest::newRow("fse catalog text") << fseStream(sampleCatalog()) << sampleCatalog();
    QByteArray allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.append(char(i));
    allBytes += allBytes;
    QTest::newRow("fse every byte value twice") << fseStream(allBytes) << allBytes;
    // 5000 equal bytes: one overlapping match longer than a command can carry,
    // continued by commands that repeat the distance with a zero.
    QTest::newRow("fse long run") << fseStream(QByteArray(5000, 'z')) << QByteArray(5000, 'z');
    QTest::newRow("fse literals only") << fseStream("abcdefg") << QByteArray("abcdefg");
    QTest::newRow("fse long literal run") << fseStream(allBytes.left(256) + "!")
                                          << allBytes.left(256) + "!";
    const QByteArray tail = "tail end tail end tail";
    QTest::newRow("fse after a stored block") << storedBlock("head ") + fseStream(tail)
                                              << "head " + tail;
}

void TestLzfseDecoder::decodesValidStreams()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, expected);
    const auto decoded = LzfseDecoder::decode(stream);
    QVERIFY(decoded.has_value());
    QCOMPARE(*decoded, expected);
}

void TestLzfseDecoder::rejectsMalformedStreams_data()
{
    QTest::addColumn<QByteArray>("stream");

    QTest::newRow("empty input") << QByteArray();
    QTest::newRow("missing end marker") << storedBlock("abc");
    QTest::newRow("unknown block magic") << QByteArray("bvxQ") + kEnd;
    QTest::newRow("uncompressed-table fse block") << QByteArray("bvx1") + QByteArray(800, '\0') + kEnd;
    QTest::newRow("stored length past the input") << "bvx-" + le32(100) + "abc" + kEnd;
    QTest::newRow("stored length of four gigabytes") << "bvx-" + le32(0xffffffffu) + kEnd;
    QTest::newRow("lzvn payload length past the input") << "bvxn" + le32(1) + le32(50) + hex("e1") + "a" + kEnd;
    QTest::newRow("lzvn without end opcode") << lzvnBlock(1, hex("e1") + "a") + kEnd;
    QTest::newRow("lzvn literal past the payload") << lzvnBlock(5, hex("e5") + "ab") + kEnd;
    QTest::newRow("lzvn distance before the output") << lzvnBlock(5, hex("e1") + "a" + hex("0805") + kLzvnEnd) + kEnd;
    QTest::newRow("lzvn distance zero") << lzvnBlock(4, hex("e1") + "a" + hex("0000") + kLzvnEnd) + kEnd;
    QTest::newRow("lzvn previous distance before any match") << lzvnBlock(4, hex("46") + "a" + kLzvnEnd) + kEnd;
    QTest::newRow("lzvn reserved opcode 1e") << lzvnBlock(0, hex("1e") + kLzvnEnd) + kEnd;
    QTest::newRow("lzvn reserved opcode 70") << lzvnBlock(0, hex("70") + kLzvnEnd) + kEnd;
    QTest::newRow("lzvn reserved opcode d5") << lzvnBlock(0, hex("d5") + kLzvnEnd) + kEnd;
    QTest::newRow("lzvn more output than declared") << lzvnBlock(2, hex("e3") + "abc" + kLzvnEnd) + kEnd;
    QTest::newRow("lzvn less output than declared") << lzvnBlock(4, hex("e3") + "abc" + kLzvnEnd) + kEnd;
    QTest::newRow("lzvn truncated medium opcode") << lzvnBlock(3, hex("e1") + "a" + hex("a9")) + kEnd;
}

void TestLzfseDecoder::rejectsMalformedStreams()
{
    QFETCH(QByteArray, stream);
    QVERIFY(!LzfseDecoder::decode(stream).has_value());
}

void TestLzfseDecoder::rejectsMalformedFseBlocks_data()
{
    QTest::addColumn<QByteArray>("stream");

    const QByteArray text = "abcabcabcabd, abcabcabcabd";
    auto spoiled = [&](const std::function<void(FseBlock &)> &spoil) {
        FseBlock b = compressFse(text);
        spoil(b);
        return b.serialize() + kEnd;
    };
    // The unspoiled block decodes, so each row below fails for its own reason.
    const auto intact = LzfseDecoder::decode(spoiled([](FseBlock &) {}));
    QVERIFY(intact && *intact == text);

    QTest::newRow("literal frequencies above the state count")
        << spoiled([](FseBlock &b) { b.literalFreq['a'] += 1; });
    QTest::newRow("distance frequencies above the state count")
        << spoiled([](FseBlock &b) { b.distanceFreq[63] = 300; });
    QTest::newRow("literal state outside the table") << spoiled([](FseBlock &b) {
        b.literalFreq = std::vector<int>(256);
        b.literalFreq['a'] = 1;  // only state 0 is owned
        b.literalStates = {0, 0, 0, 700};
    });
    QTest::newRow("run state outside the table")
        << spoiled([](FseBlock &b) { b.runFreq = std::vector<int>(20); b.runFreq[0] = 3; b.runState = 40; });
    QTest::newRow("more literals than the payload holds")
        << spoiled([](FseBlock &b) { b.literalCount += 4000; });
    QTest::newRow("commands using more literals than decoded")
        << spoiled([](FseBlock &b) { b.literalCount = 1; });
    QTest::newRow("more commands than the payload holds")
        << spoiled([](FseBlock &b) { b.matchCount += 1000; });
    QTest::newRow("raw size larger than the commands produce")
        << spoiled([](FseBlock &b) { b.rawBytes += 1; });
    QTest::newRow("raw size smaller than the commands produce")
        << spoiled([](FseBlock &b) { b.rawBytes -= 1; });
    QTest::newRow("header size below the fixed header") << spoiled([](FseBlock &b) {
        b.headerSizeAdjust = -qint64(b.frequencyTable().size()) - 12;  // 20 bytes
    });
    QTest::newRow("header size past the input")
        << spoiled([](FseBlock &b) { b.headerSizeAdjust = 100000; });
    QTest::newRow("frequency table one byte too long")
        << spoiled([](FseBlock &b) { b.frequencyTableOverride = b.frequencyTable() + '\0'; });
    QTest::newRow("frequency table cut short")
        << spoiled([](FseBlock &b) { b.frequencyTableOverride = b.frequencyTable().left(20); });
    QTest::newRow("set padding bits above the literal payload") << spoiled([](FseBlock &b) {
        b.literalInitialBits = qMin(b.literalInitialBits, -1);
        b.literalPayload.back() = char(uchar(b.literalPayload.back()) | 0x80);
    });
    QTest::newRow("command payload missing")
        << spoiled([](FseBlock &b) { b.lmdPayload.clear(); b.lmdInitialBits = -3; });
    QTest::newRow("distance before the output") << [] {
        FseBlock b = encodeFse("ab", {{2, 3, 9}}, 5);
        return b.serialize() + kEnd;
    }();
    QTest::newRow("first command repeats a distance it never had") << [] {
        FseBlock b = encodeFse("ab", {{2, 3, 0}}, 5);
        return b.serialize() + kEnd;
    }();
    // One symbol in every state reads no bits: each step is free to encode.
    QTest::newRow("a million commands that produce nothing") << [] {
        FseBlock b;
        b.runFreq[0] = b.matchFreq[0] = 64;
        b.distanceFreq[0] = 256;
        b.literalFreq[0] = 1024;
        b.matchCount = 0xfffff;
        return b.serialize() + kEnd;
    }();
    QTest::newRow("idle commands after the output is complete")
        << encodeFse("ab", {{2, 0, 0}, {0, 0, 0}, {0, 0, 0}}, 2).serialize() + kEnd;
    QTest::newRow("a million literals for four bytes")
        << encodeFse(QByteArray(1000000, 'a'), {{4, 0, 0}}, 4).serialize() + kEnd;
}

void TestLzfseDecoder::rejectsMalformedFseBlocks()
{
    QFETCH(QByteArray, stream);
    QVERIFY(!LzfseDecoder::decode(stream).has_value());
}

void TestLzfseDecoder::honoursOutputLimit()
{
    const QByteArray text = "0123456789";
    for (const QByteArray &stream :
         {storedBlock(text) + kEnd, lzvnBlock(10, hex("ea") + text + kLzvnEnd) + kEnd, fseStream(text)}) {
        const auto decoded = LzfseDecoder::decode(stream, 10);
        QVERIFY(decoded && *decoded == text);
        QVERIFY(!LzfseDecoder::decode(stream, 9).has_value());
    }
    // A declared size far beyond the limit is refused before anything is allocated.
    QVERIFY(!LzfseDecoder::decode(lzvnBlock(0xfffffff0u, kLzvnEnd) + kEnd).has_value());
}

void TestLzfseDecoder::everyTruncationFailsAndNoCorruptionCrashes()
{
    const QList<QByteArray> streams = {
        storedBlock("stored") + kEnd,
        lzvnBlock(10, hex("8802") + "ab" + hex("46") + "c" + kLzvnEnd) + kEnd,
        fseStream(sampleCatalog()),
        hex(kHandBuiltFseStream),
    };
    QRandomGenerator random(20240611);
    for (const QByteArray &stream : streams) {
        QVERIFY(LzfseDecoder::decode(stream).has_value());
        for (qsizetype cut = 0; cut < stream.size(); ++cut)
            QVERIFY2(!LzfseDecoder::decode(stream.left(cut)).has_value(),
                     qPrintable(QStringLiteral("prefix of %1 bytes decoded").arg(cut)));
        // Damaged streams may decode to something, but within bounds (the
        // sanitizers watch every access) and never past the limit.
        for (int round = 0; round < 400; ++round) {
            QByteArray damaged = stream;
            const int flips = 1 + int(random.bounded(4));
            for (int f = 0; f < flips; ++f) {
                const qsizetype at = random.bounded(int(damaged.size()));
                damaged[at] = char(uchar(damaged[at]) ^ uchar(1 + random.bounded(255)));
            }
            const auto decoded = LzfseDecoder::decode(damaged, 4096);
            if (decoded)
                QVERIFY(decoded->size() <= 4096);
        }
    }
}

QTEST_GUILESS_MAIN(TestLzfseDecoder)
#include "tst_lzfsedecoder.moc"
