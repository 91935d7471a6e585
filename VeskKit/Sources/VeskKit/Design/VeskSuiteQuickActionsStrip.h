#pragma once

#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/System/VeskHalvotLiveStatus.h"
#include "VeskKit/System/VeskSuiteApp.h"
#include "VeskKit/System/VeskSuiteCommandKind.h"
#include "VeskKit/System/VeskVirtualMemorySummary.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class VeskCapsuleBadge;

// One tap per action on three sibling tools (the memory tool, the process
// killer, the system monitor): each chip sends its sibling one command,
// starting it when it is not running, and tells the host in one line how
// that went. Only siblings that are installed and are not the host itself
// get chips. The full layout is a captioned bar; the compact one a row of
// smaller chips with fewer entries. The host rebuilds the strip to show new
// counts.
class VeskSuiteQuickActionsStrip : public QWidget {
    Q_OBJECT
public:
    struct Chip {
        VeskSuiteApp target;
        VeskSuiteCommandKind kind;
        bool bringToFront = false;
        QString title;
        QString symbol;
        QColor tint;
        bool emphasized = false;
        QString helpText;
        // The message for a command handed over, in the strip's language.
        QString successMessage;
    };

    VeskSuiteQuickActionsStrip(VeskSuiteApp currentApp, const std::optional<VeskVirtualMemorySummary> &vmSummary,
                               const std::optional<VeskHalvotLiveStatus> &halvotStatus, VeskLanguage language,
                               bool compact, std::function<void(const QString &)> onFeedback,
                               QWidget *parent = nullptr);

    VeskSuiteApp currentApp() const { return m_currentApp; }
    VeskLanguage language() const { return m_language; }
    bool isCompact() const { return m_compact; }
    // The chips as built, in display order; empty when no sibling qualifies
    // (the strip then stays hidden).
    const QList<Chip> &chips() const { return m_chips; }
    QList<VeskCapsuleBadge *> chipButtons() const { return m_buttons; }

    // The tints of the chips, beside the glass tokens.
    static QColor memoryToolTint();
    static QColor processKillerTint();
    static QColor systemMonitorTint();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<Chip> buildChips(const std::optional<VeskVirtualMemorySummary> &vmSummary,
                           const std::optional<VeskHalvotLiveStatus> &halvotStatus) const;
    VeskCapsuleBadge *makeChipButton(const Chip &chip);
    // Sends the chip's command and reports the outcome through onFeedback.
    void trigger(const Chip &chip);

    VeskSuiteApp m_currentApp;
    VeskLanguage m_language;
    bool m_compact;
    std::function<void(const QString &)> m_onFeedback;
    QList<Chip> m_chips;
    QList<VeskCapsuleBadge *> m_buttons;
};
