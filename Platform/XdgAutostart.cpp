#include "XdgAutostart.h"

#include "DesktopEntry.h"
#include "SharedFile.h"
#include "UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace XdgAutostart {

namespace {

bool isValidApplicationId(const QString& id)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9_.-]+$"));
    return allowed.match(id).hasMatch() && id != QLatin1String(".") && id != QLatin1String("..");
}

QString quoteArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=");
    bool needsQuotes = argument.isEmpty();
    for (QChar c : argument) {
        if (reserved.contains(c)) {
            needsQuotes = true;
            break;
        }
    }
    QString word;
    for (QChar c : argument) {
        // Inside quotes these four are escaped with a backslash.
        if (needsQuotes && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            word += u'\\';
        word += c;
    }
    return needsQuotes ? u'"' + word + u'"' : word;
}

// The Exec value is itself a string value: its backslashes are escaped once
// more, and a literal percent sign is written twice (field codes start with %).
QString escapeStringValue(const QString& value)
{
    QString out;
    for (QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'%')
            out += QStringLiteral("%%");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString plainStringValue(QString value)
{
    value.replace(u'\n', u' ').replace(u'\r', u' ');
    return value.replace(u'\\', QStringLiteral("\\\\"));
}

} // namespace

QString autostartDirectory()
{
    return QDir::cleanPath(UserFolders::configHome() + QStringLiteral("/autostart"));
}

QString entryPath(const QString& applicationId)
{
    return autostartDirectory() + u'/' + applicationId + QStringLiteral(".desktop");
}

bool isEnabled(const QString& applicationId)
{
    if (!isValidApplicationId(applicationId))
        return false;
    const std::optional<QHash<QString, QString>> keys = DesktopEntry::values(entryPath(applicationId));
    if (!keys)
        return false;
    // GNOME skips an entry switched off in its startup settings as it skips
    // a hidden one, so either means it will not start.
    return keys->value(QStringLiteral("Hidden")) != QLatin1String("true")
        && keys->value(QStringLiteral("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

bool enable(const QString& applicationId, const QString& displayName, const QStringList& command)
{
    if (!isValidApplicationId(applicationId) || command.isEmpty() || command.first().isEmpty())
        return false;
    if (!QDir().mkpath(autostartDirectory()))
        return false;

    const QString name = displayName.isEmpty() ? applicationId : displayName;
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=") + plainStringValue(name) + u'\n';
    text += QStringLiteral("Exec=") + execLine(command) + u'\n';
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");

    return SharedFile::replaceWhole(entryPath(applicationId), text.toUtf8()).failure.isEmpty();
}

QStringList launchCommand(const QString& executable)
{
    const QFileInfo program(executable);
    const QString onPath = QStandardPaths::findExecutable(program.fileName());
    if (!onPath.isEmpty() && QFileInfo(onPath).canonicalFilePath() == program.canonicalFilePath())
        return {program.fileName()};
    return {executable};
}

bool disable(const QString& applicationId)
{
    if (!isValidApplicationId(applicationId))
        return false;
    const QString path = entryPath(applicationId);
    QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    return QFile::remove(path);
}

QString execLine(const QStringList& command)
{
    QStringList words;
    words.reserve(command.size());
    for (const QString& argument : command)
        words.append(quoteArgument(argument));
    return escapeStringValue(words.join(u' '));
}

} // namespace XdgAutostart
