#include "Services/ZulNotesFileAssembler.h"

#include "Models/ZulIsoDate.h"
#include "Services/ZulJsonText.h"

#include <QJsonArray>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

// A note stands one level deep in the file's array: its members two.
class PieceWriter {
public:
    explicit PieceWriter(QByteArray &out) : m_out(out) {}

    void text(QLatin1StringView key, const QString &value)
    {
        writeKey(key);
        ZulJsonText::appendString(m_out, value);
    }

    void flag(QLatin1StringView key, bool value)
    {
        writeKey(key);
        m_out.append(value ? "true" : "false");
    }

    void texts(QLatin1StringView key, const QStringList &values)
    {
        writeKey(key);
        if (values.isEmpty())
            m_out.append("[]");
        else
            ZulJsonText::appendValue(m_out, QJsonArray::fromStringList(values), 2);
    }

    void value(QLatin1StringView key, const QJsonValue &value)
    {
        writeKey(key);
        ZulJsonText::appendValue(m_out, value, 2);
    }

private:
    void writeKey(QLatin1StringView key)
    {
        m_out.append(m_first ? "\n        " : ",\n        ");
        m_first = false;
        ZulJsonText::appendString(m_out, QString(key));
        m_out.append(": ");
    }

    QByteArray &m_out;
    bool m_first = true;
};

// From this many notes to write afresh (a first save, a changed rate of
// every note), they are written on several threads at once.
constexpr qsizetype kParallelFrom = 256;

} // namespace

QByteArray ZulNotesFileAssembler::piece(const ZulNote &note)
{
    // Written where there is room for every escape, then copied out at its
    // size: a piece is kept for as long as its note stays unchanged.
    thread_local QByteArray scratch;
    scratch.resize(0);
    scratch.append("    {");
    PieceWriter writer(scratch);
    note.visitJsonFields(writer);
    scratch.append("\n    }");
    return QByteArray(scratch.constData(), scratch.size());
}

bool ZulNotesFileAssembler::hasPieceFor(const ZulNote &note) const
{
    const auto kept = m_pieces.constFind(note.id);
    return kept != m_pieces.cend() && kept->note == note;
}

void ZulNotesFileAssembler::keepPiece(const ZulNote &note, QByteArray text)
{
    // A kept piece spares its note the date check of assemble().
    if (!ZulIsoDate::isEncodable(note.createdAt) || !ZulIsoDate::isEncodable(note.updatedAt))
        return;
    if (!m_pieces.contains(note.id))
        m_pieces.insert(note.id, Piece{note, std::move(text), m_generation});
}

ZulResult<QByteArray> ZulNotesFileAssembler::assemble(const QList<ZulNote> &notes)
{
    const quint64 generation = ++m_generation;
    QList<QByteArray> texts(notes.size());
    std::vector<qsizetype> changed;
    // Kept pieces that belong to a note of this list.
    qsizetype current = 0;
    for (qsizetype i = 0; i < notes.size(); ++i) {
        const ZulNote &note = notes.at(i);
        const auto kept = m_pieces.find(note.id);
        if (kept != m_pieces.end() && kept->note == note) {
            current += kept->generation != generation;
            kept->generation = generation;
            texts[i] = kept->text;
            continue;
        }
        // A date the file's form cannot hold would make the whole file unreadable later.
        if (!ZulIsoDate::isEncodable(note.createdAt) || !ZulIsoDate::isEncodable(note.updatedAt))
            return ZulResult<QByteArray>::failure(QStringLiteral("note %1 has a date that cannot be written")
                                                      .arg(note.id.toString(QUuid::WithoutBraces)));
        changed.push_back(i);
    }

    const auto writeRange = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k)
            texts[changed[k]] = piece(notes.at(changed[k]));
    };
    if (qsizetype(changed.size()) < kParallelFrom) {
        writeRange(0, changed.size());
    } else {
        const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
        const std::size_t share = (changed.size() + workers - 1) / workers;
        std::vector<std::thread> threads;
        for (std::size_t w = 1; w < workers && w * share < changed.size(); ++w)
            threads.emplace_back(writeRange, w * share, std::min(changed.size(), (w + 1) * share));
        writeRange(0, std::min(changed.size(), share));
        for (std::thread &thread : threads)
            thread.join();
    }
    // A later note with the same id as an earlier one keeps its piece; the
    // earlier one is written afresh each time, as it was before.
    for (const qsizetype i : changed) {
        Piece &kept = m_pieces[notes.at(i).id];
        current += kept.generation != generation;
        kept = Piece{notes.at(i), texts.at(i), generation};
    }
    // Notes deleted since the last assembly take their pieces with them.
    if (m_pieces.size() > current) {
        for (auto it = m_pieces.begin(); it != m_pieces.end();)
            it = it->generation == generation ? std::next(it) : m_pieces.erase(it);
    }

    if (notes.isEmpty())
        return ZulResult<QByteArray>::success(QByteArrayLiteral("[]\n"));
    qsizetype size = 4;
    for (const QByteArray &text : std::as_const(texts))
        size += text.size() + 2;
    QByteArray file;
    file.reserve(size);
    file.append("[\n");
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            file.append(",\n");
        file.append(texts.at(i));
    }
    file.append("\n]\n");
    return ZulResult<QByteArray>::success(std::move(file));
}
