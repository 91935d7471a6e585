#include "DesktopEntry.h"

#include "SharedFile.h"

#include <QProcess>
#include <QStandardPaths>

namespace DesktopEntry {

namespace {

constexpr qint64 maxEntryBytes = 1 << 20;

QString unescapeString(const QString &raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw[++i];
        switch (next.unicode()) {
        case u's': out += u' '; break;
        case u'n': out += u'\n'; break;
        case u't': out += u'\t'; break;
        case u'r': out += u'\r'; break;
        case u'\\': out += u'\\'; break;
        default:
            out += c;
            out += next;
        }
    }
    return out;
}

bool isReservedOutsideQuotes(QChar c)
{
    static const QString reserved = QStringLiteral("\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

} // namespace

std::optional<QHash<QString, QString>> values(const QString &entryPath)
{
    // Entries lie in folders anyone may fill; a FIFO there must not hold up
    // a launch on the GUI thread.
    const std::optional<QByteArray> content = SharedFile::read(entryPath, maxEntryBytes);
    if (!content)
        return std::nullopt;
    QHash<QString, QString> keys;
    bool inMainGroup = false;
    for (const QByteArray &rawLine : content->split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals <= 0)
            continue;
        // The first occurrence of a key counts, as launchers read it.
        const QString key = line.left(equals).trimmed();
        if (!keys.contains(key))
            keys.insert(key, unescapeString(line.mid(equals + 1).trimmed()));
    }
    return keys;
}

std::optional<QString> value(const QString &entryPath, const QString &key)
{
    const std::optional<QHash<QString, QString>> keys = values(entryPath);
    if (!keys || !keys->contains(key))
        return std::nullopt;
    return keys->value(key);
}

std::optional<QStringList> splitExec(const QString &exec, const QString &entryPath, const QString &name,
                                     const QString &icon)
{
    QStringList arguments;
    QString current;
    bool inWord = false;
    bool quoted = false;
    // An argument that is exactly one field code is replaced by a whole
    // argument list (possibly empty); elsewhere a code becomes text.
    bool wordIsLoneCode = false;
    QStringList loneCodeExpansion;

    const auto finishWord = [&] {
        if (!inWord)
            return;
        if (wordIsLoneCode)
            arguments += loneCodeExpansion;
        else
            arguments += current;
        current.clear();
        inWord = false;
        wordIsLoneCode = false;
        loneCodeExpansion.clear();
    };

    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\') {
                if (i + 1 == exec.size())
                    return std::nullopt;
                const QChar next = exec[++i];
                if (next != u'"' && next != u'`' && next != u'$' && next != u'\\')
                    return std::nullopt;
                current += next;
            } else {
                current += c;
            }
            continue;
        }
        if (c == u' ' || c == u'\t' || c == u'\n') {
            finishWord();
            continue;
        }
        const bool startsWord = !inWord;
        inWord = true;
        wordIsLoneCode = false;
        if (c == u'"') {
            quoted = true;
            continue;
        }
        if (c == u'%') {
            if (i + 1 == exec.size())
                return std::nullopt;
            const QChar code = exec[++i];
            const bool alone = startsWord && (i + 1 == exec.size() || exec[i + 1] == u' ' || exec[i + 1] == u'\t');
            QStringList expansion;
            switch (code.unicode()) {
            case u'%': current += u'%'; continue;
            // Files and URLs: this launch passes none.
            case u'f': case u'F': case u'u': case u'U':
            // Deprecated codes are dropped.
            case u'd': case u'D': case u'n': case u'N': case u'v': case u'm':
                break;
            case u'i':
                if (!icon.isEmpty())
                    expansion = {QStringLiteral("--icon"), icon};
                break;
            case u'c':
                expansion = {name};
                break;
            case u'k':
                expansion = {entryPath};
                break;
            default:
                return std::nullopt;
            }
            if (alone) {
                wordIsLoneCode = true;
                loneCodeExpansion = expansion;
            } else {
                current += expansion.join(u' ');
            }
            continue;
        }
        if (isReservedOutsideQuotes(c))
            return std::nullopt;
        current += c;
    }
    if (quoted)
        return std::nullopt;
    finishWord();
    return arguments;
}

std::optional<QStringList> command(const QString &entryPath)
{
    const std::optional<QHash<QString, QString>> keys = values(entryPath);
    if (!keys || !keys->contains(QStringLiteral("Exec")))
        return std::nullopt;
    std::optional<QStringList> arguments = splitExec(keys->value(QStringLiteral("Exec")), entryPath,
                                                     keys->value(QStringLiteral("Name")),
                                                     keys->value(QStringLiteral("Icon")));
    if (!arguments || arguments->isEmpty() || arguments->first().isEmpty())
        return std::nullopt;
    return arguments;
}

bool launch(const QString &entryPath)
{
    std::optional<QStringList> arguments = command(entryPath);
    if (!arguments)
        return false;
    QString program = arguments->takeFirst();
    if (!program.contains(u'/')) {
        program = QStandardPaths::findExecutable(program);
        if (program.isEmpty())
            return false;
    }
    return QProcess::startDetached(program, *arguments);
}

} // namespace DesktopEntry
