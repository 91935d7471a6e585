#include "App/ZulTrayIcon.h"

#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "ViewModels/ZulStudioViewModel.h"

#include <QFontMetricsF>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

#include <algorithm>

ZulTrayIcon::ZulTrayIcon(ZulStudioViewModel &viewModel, QObject *parent)
    : QObject(parent), m_viewModel(viewModel), m_tray(new QSystemTrayIcon(this))
{
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            click();
    });
    // The selected note's total, else the number of notes.
    for (auto signal : {&ZulStudioViewModel::noteAdded, &ZulStudioViewModel::noteRemoved,
                        &ZulStudioViewModel::evaluationChanged})
        connect(&viewModel, signal, this, [this](const QUuid &) { refresh(); });
    for (auto signal : {&ZulStudioViewModel::notesReset, &ZulStudioViewModel::evaluationsReset,
                        &ZulStudioViewModel::selectedNoteIDChanged})
        connect(&viewModel, signal, this, &ZulTrayIcon::refresh);
    refresh();
    m_tray->show();
}

ZulTrayIcon::~ZulTrayIcon() = default;

void ZulTrayIcon::setContextMenu(QMenu *menu)
{
    m_tray->setContextMenu(menu);
}

void ZulTrayIcon::click()
{
    if (m_clickAction)
        m_clickAction(m_tray->geometry());
}

QImage ZulTrayIcon::drawIcon(const QString &text)
{
    QImage image(iconSide, iconSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // The symbol on top, the text below it, shrunk until it fits the width.
    const qreal symbolSide = text.isEmpty() ? iconSide : iconSide * 0.56;
    VeskSymbol::paint(painter, QRectF((iconSide - symbolSide) / 2, 0, symbolSide, symbolSide),
                      QStringLiteral("note.text"), Qt::white, QFont::DemiBold);
    if (!text.isEmpty()) {
        qreal size = iconSide * 0.4;
        QFont font = veskSystemFont(size, QFont::Bold, VeskFontDesign::monospaced);
        while (size > 6 && QFontMetricsF(font).horizontalAdvance(text) > iconSide) {
            size -= 1;
            font = veskSystemFont(size, QFont::Bold, VeskFontDesign::monospaced);
        }
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(0, symbolSide, iconSide, iconSide - symbolSide), Qt::AlignCenter, text);
    }
    return image;
}

void ZulTrayIcon::refresh()
{
    const QString text = m_viewModel.menuBarBadgeText();
    if (text == m_text && !m_tray->icon().isNull())
        return;
    m_text = text;
    m_tray->setIcon(QIcon(QPixmap::fromImage(drawIcon(text))));
    m_tray->setToolTip(text);
}
