#pragma once

#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/System/VeskVirtualMemorySummary.h"

#include <QAbstractButton>
#include <QColor>

#include <functional>

// A small capsule for a window's title area that sums up virtual memory:
// a coloured dot, a symbol and "VM: <what is in use>". A click runs the
// host's action, or without one brings the memory tool up.
class VeskVirtualMemoryHeaderPill : public QAbstractButton {
    Q_OBJECT
public:
    VeskVirtualMemoryHeaderPill(const VeskVirtualMemorySummary &summary, VeskLanguage language,
                                std::function<void()> onTap, QWidget *parent = nullptr);

    const VeskVirtualMemorySummary &summary() const { return m_summary; }
    VeskLanguage language() const { return m_language; }

    // The memory tool's own colours, shared with the gauge card.
    static QColor violet();
    static QColor cyan();

    // A disk pool, sparse disk or memory disk of the memory tool is in use
    // (swap alone does not count).
    bool hasExpansion() const;
    QColor colour() const;
    QString symbolName() const;
    QString pillTitle() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void tapped();

    VeskVirtualMemorySummary m_summary;
    VeskLanguage m_language;
    std::function<void()> m_onTap;
};
