#include "VeskKit/Design/VeskAnnouncer.h"

#include "VeskKit/Design/VeskAccessibleControl.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {

const char *const kVoiceName = "veskAnnouncerVoice";

// What waits to be spoken; one for the whole application, as a reader
// speaks one thing at a time.
struct Pending
{
    QString message;
    QPointer<QWidget> where;
    bool forAnyWindow = false;
};

Pending &pending()
{
    static Pending news;
    return news;
}

QWidget *targetWindow()
{
    const Pending &news = pending();
    if (!news.forAnyWindow)
        return news.where ? news.where->window() : nullptr;
    if (QWidget *focused = QApplication::focusWidget())
        return focused->window();
    return QApplication::activeWindow();
}

// A one-point child that paints nothing and takes no input: a reader finds
// the news in a window it can tell apart, and the window looks the same. A
// class of its own, so that it has the kit's accessible interface.
class Voice : public QWidget
{
    Q_OBJECT
public:
    explicit Voice(QWidget *window) : QWidget(window)
    {
        setObjectName(QLatin1String(kVoiceName));
        VeskAccessibleControl::setRole(this, QAccessible::Notification);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 1, 1);
    }
};

QWidget *voiceOf(QWidget *window)
{
    if (auto *voice = window->findChild<Voice *>(QLatin1String(kVoiceName), Qt::FindDirectChildrenOnly))
        return voice;
    auto *voice = new Voice(window);
    voice->show();
    return voice;
}

void speak()
{
    Pending &news = pending();
    const QString message = std::exchange(news.message, QString());
    QWidget *window = targetWindow();
    news.where = nullptr;
    if (message.isEmpty() || !window || !QAccessible::isActive())
        return;
    QWidget *voice = voiceOf(window);
    voice->setAccessibleName(message);
    VeskAccessibleControl::announce(voice);
}

QTimer &timer()
{
    static QTimer *single = [] {
        auto *made = new QTimer(qApp);
        made->setSingleShot(true);
        QObject::connect(made, &QTimer::timeout, made, speak);
        return made;
    }();
    return *single;
}

void schedule(const QString &message, QWidget *where, int delayMs)
{
    if (message.isEmpty())
        return;
    Pending &news = pending();
    news.message = message;
    news.where = where;
    news.forAnyWindow = where == nullptr;
    timer().start(delayMs);
}

} // namespace

namespace VeskAnnouncer {

void announce(const QString &message, QWidget *where)
{
    schedule(message, where, 0);
}

void announceAfterPause(const QString &message, QWidget *where)
{
    schedule(message, where, pauseMs);
}

} // namespace VeskAnnouncer

#include "VeskAnnouncer.moc"
