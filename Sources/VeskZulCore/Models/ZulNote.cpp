#include "Models/ZulNote.h"

#include "Models/ZulIsoDate.h"
#include "VeskKit/Localization/VeskCharacters.h"

#include <QJsonArray>

#include <cmath>

namespace {

const QString kUntitled = QStringLiteral("Untitled");
constexpr int kDisplayTitleLimit = 48;

// Each of these ends a line by itself, so "\r\n" leaves an empty line between.
bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x0085:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

// Calls `visit` with every line of `content`, trimmed, until it returns false.
template <typename Visit>
void forEachTrimmedLine(const QString &content, Visit visit)
{
    const qsizetype size = content.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= size; ++i) {
        if (i == size || isLineBreak(content.at(i))) {
            const QStringView line = QStringView(content).mid(start, i - start).trimmed();
            if (!visit(line))
                return;
            start = i + 1;
        }
    }
}

bool isCanonicalUuidText(const QString &text)
{
    if (text.size() != 36)
        return false;
    for (qsizetype i = 0; i < 36; ++i) {
        const char16_t c = text.at(i).unicode();
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != u'-')
                return false;
        } else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))) {
            return false;
        }
    }
    return true;
}

QJsonArray pair(double a, double b)
{
    return QJsonArray{a, b};
}

// Small helpers that read one key of a note object and say why they could not.
class NoteReader {
public:
    explicit NoteReader(const QJsonObject &object) : m_object(object) {}

    QString error;

    QJsonValue required(const QString &key)
    {
        const QJsonValue v = m_object.value(key);
        if (v.isUndefined())
            fail(QStringLiteral("missing key \"%1\"").arg(key));
        return v;
    }

    std::optional<QString> string(const QString &key)
    {
        const QJsonValue v = required(key);
        if (!error.isEmpty())
            return std::nullopt;
        if (!v.isString()) {
            fail(QStringLiteral("key \"%1\" is not a string").arg(key));
            return std::nullopt;
        }
        return v.toString();
    }

    std::optional<bool> boolean(const QString &key)
    {
        const QJsonValue v = required(key);
        if (!error.isEmpty())
            return std::nullopt;
        if (!v.isBool()) {
            fail(QStringLiteral("key \"%1\" is not a boolean").arg(key));
            return std::nullopt;
        }
        return v.toBool();
    }

    std::optional<QDateTime> date(const QString &key)
    {
        const std::optional<QString> text = string(key);
        if (!text)
            return std::nullopt;
        std::optional<QDateTime> parsed = ZulIsoDate::parse(*text);
        if (!parsed)
            fail(QStringLiteral("key \"%1\" is not a date of the form YYYY-MM-DDTHH:MM:SSZ: \"%2\"")
                     .arg(key, *text));
        return parsed;
    }

    void fail(const QString &why)
    {
        if (error.isEmpty())
            error = why;
    }

    const QJsonObject &object() const { return m_object; }

private:
    QJsonObject m_object;
};

std::optional<QPointF> readNumberPair(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray array = value.toArray();
    if (array.size() != 2 || !array.at(0).isDouble() || !array.at(1).isDouble())
        return std::nullopt;
    return QPointF(array.at(0).toDouble(), array.at(1).toDouble());
}

} // namespace

ZulNote::ZulNote(const QUuid &id, const QString &title, const QString &content, ZulNoteTint tint,
                 bool isPinned, bool isEphemeral, bool isFloatingSticky,
                 const std::optional<QRectF> &stickyFrame, const QStringList &tags,
                 const QDateTime &createdAt, const QDateTime &updatedAt)
    : id(id), title(title), content(content), tint(tint), isPinned(isPinned),
      isEphemeral(isEphemeral), isFloatingSticky(isFloatingSticky), stickyFrame(stickyFrame),
      tags(tags), createdAt(createdAt), updatedAt(updatedAt)
{
}

QString ZulNote::displayTitle() const
{
    const QString trimmedTitle = title.trimmed();
    if (!trimmedTitle.isEmpty())
        return trimmedTitle;

    std::optional<QStringView> firstLine;
    forEachTrimmedLine(content, [&](QStringView line) {
        if (line.isEmpty())
            return true;
        firstLine = line;
        return false;
    });
    if (!firstLine)
        return kUntitled;

    // Heading marks, list dashes and the spaces between them are decoration;
    // a tab is not, so it stays.
    QStringView rest = *firstLine;
    qsizetype skip = 0;
    while (skip < rest.size()) {
        const char16_t c = rest.at(skip).unicode();
        if (c != u'#' && c != u' ' && c != u'-')
            break;
        ++skip;
    }
    rest = rest.mid(skip);
    if (rest.isEmpty())
        return kUntitled;
    return VeskCharacters::prefix(rest, kDisplayTitleLimit).toString();
}

QString ZulNote::previewSnippet() const
{
    QStringView kept[2];
    int count = 0;
    forEachTrimmedLine(content, [&](QStringView line) {
        if (line.isEmpty() || line.startsWith(u'#'))
            return true;
        kept[count++] = line;
        return count < 2;
    });
    if (count == 0)
        return {};
    if (count == 1)
        return kept[0].toString();
    return kept[0].toString() + QStringLiteral(" \u00B7 ") + kept[1].toString();
}

bool ZulNote::hasPreviewSnippet() const
{
    bool found = false;
    forEachTrimmedLine(content, [&](QStringView line) {
        found = !line.isEmpty() && !line.startsWith(u'#');
        return !found;
    });
    return found;
}

QString ZulNote::idText() const
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QJsonValue> ZulNote::stickyFrameJson() const
{
    if (!stickyFrame)
        return std::nullopt;
    const QRectF &f = *stickyFrame;
    if (!std::isfinite(f.x()) || !std::isfinite(f.y()) || !std::isfinite(f.width()) || !std::isfinite(f.height()))
        return std::nullopt;
    return QJsonArray{pair(f.x(), f.y()), pair(f.width(), f.height())};
}

QString ZulNote::createdAtText() const
{
    return ZulIsoDate::format(createdAt);
}

QString ZulNote::updatedAtText() const
{
    return ZulIsoDate::format(updatedAt);
}

QJsonObject ZulNote::toJson() const
{
    struct Inserter {
        QJsonObject object;
        void text(QLatin1StringView key, const QString &value) { object.insert(key, value); }
        void flag(QLatin1StringView key, bool value) { object.insert(key, value); }
        void texts(QLatin1StringView key, const QStringList &values)
        {
            object.insert(key, QJsonArray::fromStringList(values));
        }
        void value(QLatin1StringView key, const QJsonValue &value) { object.insert(key, value); }
    } inserter;
    visitJsonFields(inserter);
    return inserter.object;
}

ZulResult<ZulNote> ZulNote::fromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return ZulResult<ZulNote>::failure(QStringLiteral("a note is not a JSON object"));
    NoteReader reader(value.toObject());
    ZulNote note;

    if (const std::optional<QString> idText = reader.string(QStringLiteral("id"))) {
        if (isCanonicalUuidText(*idText))
            note.id = QUuid::fromString(*idText);
        else
            reader.fail(QStringLiteral("key \"id\" is not a UUID: \"%1\"").arg(*idText));
    }
    if (const auto v = reader.string(QStringLiteral("title")))
        note.title = *v;
    if (const auto v = reader.string(QStringLiteral("content")))
        note.content = *v;
    if (const auto v = reader.string(QStringLiteral("tint"))) {
        if (const std::optional<ZulNoteTint> tint = ZulNoteTintFromRaw(*v))
            note.tint = *tint;
        else
            reader.fail(QStringLiteral("key \"tint\" has an unknown value \"%1\"").arg(*v));
    }
    if (const auto v = reader.boolean(QStringLiteral("isPinned")))
        note.isPinned = *v;
    if (const auto v = reader.boolean(QStringLiteral("isEphemeral")))
        note.isEphemeral = *v;
    if (const auto v = reader.boolean(QStringLiteral("isFloatingSticky")))
        note.isFloatingSticky = *v;

    const QJsonValue frame = reader.object().value(QStringLiteral("stickyFrame"));
    if (!frame.isUndefined() && !frame.isNull()) {
        const QJsonArray parts = frame.toArray();
        std::optional<QPointF> origin, size;
        if (frame.isArray() && parts.size() == 2) {
            origin = readNumberPair(parts.at(0));
            size = readNumberPair(parts.at(1));
        }
        if (origin && size)
            note.stickyFrame = QRectF(origin->x(), origin->y(), size->x(), size->y());
        else
            reader.fail(QStringLiteral("key \"stickyFrame\" is not [[x, y], [width, height]]"));
    }

    const QJsonValue tags = reader.required(QStringLiteral("tags"));
    if (reader.error.isEmpty()) {
        if (!tags.isArray()) {
            reader.fail(QStringLiteral("key \"tags\" is not an array"));
        } else {
            const QJsonArray array = tags.toArray();
            note.tags.reserve(array.size());
            for (const QJsonValue &tag : array) {
                if (!tag.isString()) {
                    reader.fail(QStringLiteral("key \"tags\" holds a value that is not a string"));
                    break;
                }
                note.tags.append(tag.toString());
            }
        }
    }
    if (const auto v = reader.date(QStringLiteral("createdAt")))
        note.createdAt = *v;
    if (const auto v = reader.date(QStringLiteral("updatedAt")))
        note.updatedAt = *v;

    if (!reader.error.isEmpty())
        return ZulResult<ZulNote>::failure(reader.error);
    return ZulResult<ZulNote>::success(std::move(note));
}

bool ZulNote::operator==(const ZulNote &other) const
{
    const auto sameFrame = [](const std::optional<QRectF> &a, const std::optional<QRectF> &b) {
        if (a.has_value() != b.has_value())
            return false;
        return !a
            || (a->x() == b->x() && a->y() == b->y() && a->width() == b->width()
                && a->height() == b->height());
    };
    return id == other.id && title == other.title && content == other.content
        && tint == other.tint && isPinned == other.isPinned && isEphemeral == other.isEphemeral
        && isFloatingSticky == other.isFloatingSticky && sameFrame(stickyFrame, other.stickyFrame)
        && tags == other.tags && createdAt == other.createdAt && updatedAt == other.updatedAt;
}
