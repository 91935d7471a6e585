#include "VeskKit/System/VeskDesktopApplicationId.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <QVariant>

#include <algorithm>

namespace {

QString sanitized(const QString& id)
{
    QString out;
    out.reserve(id.size());
    for (QChar c : id) {
        const bool allowed = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')
            || (c >= u'0' && c <= u'9') || c == u'.' || c == u'_' || c == u'-';
        out += allowed ? c : u'-';
    }
    return out;
}

} // namespace

QString veskDesktopApplicationId()
{
    // QGuiApplication keeps it as a property, readable without linking QtGui.
    if (const QCoreApplication* app = QCoreApplication::instance()) {
        QString desktopFile = app->property("desktopFileName").toString();
        if (desktopFile.endsWith(QLatin1String(".desktop")))
            desktopFile.chop(8);
        if (!desktopFile.isEmpty())
            return sanitized(desktopFile);
    }

    QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.isEmpty())
        name = QStringLiteral("application");

    const QString domain = QCoreApplication::organizationDomain();
    if (!domain.isEmpty()) {
        QStringList parts = domain.split(u'.', Qt::SkipEmptyParts);
        std::reverse(parts.begin(), parts.end());
        if (!parts.isEmpty())
            return sanitized(parts.join(u'.') + u'.' + name);
    }
    return sanitized(QStringLiteral("com.quarnell.") + name);
}
