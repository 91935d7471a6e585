#pragma once

#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/System/VeskSuiteApp.h"
#include "VeskKit/System/VeskSuiteCommandKind.h"
#include "VeskKit/System/VeskVirtualMemorySummary.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class QBoxLayout;
class VeskButton;

// A glass card that shows virtual memory in full: a header with the title,
// status badges and chips that command the memory tool, a gauge for
// physical memory and one for the virtual pool, and four tiles for swap,
// disk pools, sparse disks and memory disks with frozen applications. It
// reads only the summary it is given.
class VeskVirtualMemoryGaugeCard : public QWidget {
    Q_OBJECT
public:
    struct Tile {
        QString label;
        QString value;
        std::optional<QString> detail;
        QColor tint;

        bool operator==(const Tile &) const = default;
    };

    struct Chip {
        QString label;
        QString symbol;
        bool active = false;
        VeskSuiteCommandKind kind;
        bool bringToFront = false;
        std::optional<QString> confirmation;
    };

    VeskVirtualMemoryGaugeCard(const VeskVirtualMemorySummary &summary, VeskLanguage language,
                               const QColor &accentColor, VeskSuiteApp sourceApp,
                               std::function<void(const QString &)> onFeedback, QWidget *parent = nullptr);

    const VeskVirtualMemorySummary &summary() const { return m_summary; }
    VeskLanguage language() const { return m_language; }
    QColor accentColor() const { return m_accentColor; }
    VeskSuiteApp sourceApp() const { return m_sourceApp; }

    static QColor mint();

    // The memory tool's expansion or swap is in use.
    bool isVirtualMemoryActive() const;
    QColor statusColor() const;
    // Physical memory in use, 0...100.
    double physicalPercent() const;
    QString physicalValueText() const;
    QString virtualValueText() const;
    QList<Tile> tiles() const;
    // Empty when the memory tool is not installed.
    const QList<Chip> &chips() const { return m_chips; }
    QList<VeskButton *> chipButtons() const { return m_chipButtons; }
    // Whether the header shows badges and chips side by side (else stacked).
    bool headerIsRow() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *headerTitleBadges(bool vmActive, const QColor &statusColor);
    QWidget *headerActionButtons();
    QWidget *gaugeBar(const QString &title, const QString &valueText, double fraction, const QColor &tint);
    QWidget *statPill(const Tile &tile);
    void press(const Chip &chip);
    void fitHeader(int width);

    VeskVirtualMemorySummary m_summary;
    VeskLanguage m_language;
    QColor m_accentColor;
    VeskSuiteApp m_sourceApp;
    std::function<void(const QString &)> m_onFeedback;
    QList<Chip> m_chips;
    QList<VeskButton *> m_chipButtons;
    QWidget *m_header = nullptr;
    QBoxLayout *m_headerLayout = nullptr;
    QWidget *m_badges = nullptr;
    QWidget *m_actions = nullptr;
};
