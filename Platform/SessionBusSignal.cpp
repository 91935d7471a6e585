#include "SessionBusSignal.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QRegularExpression>
#include <QThread>

namespace {

struct SplitName {
    QString interface;
    QString member;
};

std::optional<SplitName> split(const QString &name)
{
    // An interface is two or more dot-separated elements of [A-Za-z_][A-Za-z0-9_]*,
    // at most 255 characters; a member is one such element.
    static const QRegularExpression element(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return std::nullopt;
    SplitName parts{name.left(dot), name.mid(dot + 1)};
    if (parts.interface.size() > 255 || !element.match(parts.member).hasMatch())
        return std::nullopt;
    const QStringList elements = parts.interface.split(u'.');
    if (elements.size() < 2)
        return std::nullopt;
    for (const QString &part : elements)
        if (!element.match(part).hasMatch())
            return std::nullopt;
    return parts;
}

} // namespace

namespace SessionBusSignal {

bool isValidName(const QString &name)
{
    return split(name).has_value();
}

bool post(const QString &name, const std::optional<QString> &object)
{
    const std::optional<SplitName> parts = split(name);
    if (!parts)
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage message =
        QDBusMessage::createSignal(QString::fromLatin1(objectPath), parts->interface, parts->member);
    if (object)
        message << *object;
    return bus.send(message);
}

std::unique_ptr<QObject> observe(const QString &name, std::function<void(std::optional<QString>)> handler)
{
    return std::make_unique<SessionBusSignalObserver>(name, std::move(handler));
}

} // namespace SessionBusSignal

SessionBusSignalObserver::SessionBusSignalObserver(const QString &name,
                                                   std::function<void(std::optional<QString>)> handler)
    : m_handler(std::move(handler))
{
    // Qt's D-Bus delivers to the receiver's thread; handlers belong on the
    // main thread whichever thread registered them.
    if (QCoreApplication *app = QCoreApplication::instance(); app && thread() != app->thread())
        moveToThread(app->thread());

    const std::optional<SplitName> parts = split(name);
    if (!parts)
        return;
    m_interface = parts->interface;
    m_member = parts->member;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // The empty signature accepts the signal with or without its argument.
    m_connected = bus.connect(QString(), QString::fromLatin1(SessionBusSignal::objectPath), m_interface, m_member,
                              QString(), this, SLOT(deliver(QDBusMessage)));
}

SessionBusSignalObserver::~SessionBusSignalObserver()
{
    if (!m_connected)
        return;
    QDBusConnection::sessionBus().disconnect(QString(), QString::fromLatin1(SessionBusSignal::objectPath), m_interface,
                                             m_member, QString(), this, SLOT(deliver(QDBusMessage)));
}

void SessionBusSignalObserver::deliver(const QDBusMessage &message)
{
    if (!m_handler)
        return;
    const QList<QVariant> arguments = message.arguments();
    std::optional<QString> object;
    if (!arguments.isEmpty() && arguments.first().metaType() == QMetaType::fromType<QString>())
        object = arguments.first().toString();
    m_handler(object);
}
