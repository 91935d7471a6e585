#include "VeskKit/Design/VeskWindowDragGesture.h"

#include "UserFolders.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

bool VeskWindowDragGesture::press(QWidget *window, QMouseEvent *event)
{
    if (!window || event->button() != Qt::LeftButton)
        return false;
    m_pressGlobal = event->globalPosition().toPoint();
    m_pressOffset = *m_pressGlobal - window->frameGeometry().topLeft();
    m_followingPointer = false;
    return true;
}

bool VeskWindowDragGesture::move(QWidget *window, QMouseEvent *event)
{
    if (!window || !m_pressGlobal || !(event->buttons() & Qt::LeftButton))
        return false;
    const QPoint global = event->globalPosition().toPoint();
    if (m_followingPointer) {
        window->move(global - m_pressOffset);
        return true;
    }
    // The move starts once the pointer really travels, so a double click is
    // never swallowed by the window manager's move.
    if ((global - *m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
        return true;
    QWindow *handle = window->windowHandle();
    if (handle && !window->isMaximized() && !window->isFullScreen() && handle->startSystemMove()) {
        m_pressGlobal.reset();
        return true;
    }
    if (window->isMaximized() || window->isFullScreen())
        return true;
    m_followingPointer = true;
    window->move(global - m_pressOffset);
    return true;
}

bool VeskWindowDragGesture::release(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    const bool handled = m_pressGlobal.has_value() || m_followingPointer;
    m_pressGlobal.reset();
    m_followingPointer = false;
    return handled;
}

bool VeskWindowDragGesture::doubleClick(QWidget *window, QMouseEvent *event)
{
    if (!window || event->button() != Qt::LeftButton)
        return false;
    m_pressGlobal.reset();
    m_followingPointer = false;
    perform(window, actionForSetting(doubleClickSetting()));
    return true;
}

std::optional<QString> VeskWindowDragGesture::doubleClickSetting()
{
    QFile file(UserFolders::configHome() + QStringLiteral("/kwinrc"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    bool inWindows = false;
    std::optional<QString> value;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inWindows = line == QStringLiteral("[Windows]");
            continue;
        }
        if (!inWindows)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        if (line.left(equals).trimmed() == QStringLiteral("TitlebarDoubleClickCommand"))
            value = line.mid(equals + 1).trimmed();
    }
    return value;
}

VeskTitlebarDoubleClickAction VeskWindowDragGesture::actionForSetting(const std::optional<QString> &setting)
{
    if (!setting)
        return VeskTitlebarDoubleClickAction::zoom;
    if (*setting == QStringLiteral("Minimize"))
        return VeskTitlebarDoubleClickAction::miniaturize;
    if (*setting == QStringLiteral("None") || *setting == QStringLiteral("Nothing"))
        return VeskTitlebarDoubleClickAction::none;
    return VeskTitlebarDoubleClickAction::zoom;
}

void VeskWindowDragGesture::perform(QWidget *window, VeskTitlebarDoubleClickAction action)
{
    if (!window)
        return;
    switch (action) {
    case VeskTitlebarDoubleClickAction::zoom:
        if (window->isMaximized())
            window->showNormal();
        else
            window->showMaximized();
        break;
    case VeskTitlebarDoubleClickAction::miniaturize:
        window->showMinimized();
        break;
    case VeskTitlebarDoubleClickAction::none:
        break;
    }
}
