#pragma once

#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/System/VeskMirrelOffloadLiveProgress.h"

#include <QColor>
#include <QWidget>

#include <functional>
#include <optional>

class VeskAdaptiveGridLayout;
class QVBoxLayout;

// Shows one offload run of the memory tool: a header with the step, the
// phase, the bytes moved and the percentage, a progress bar, the detail line
// and (in the full layout) a pill for each of the run's four steps. It only
// displays; its Cancel and close buttons hand control back through the two
// callbacks. A new record is shown by passing it to setProgress.
class VeskOffloadProgressBanner : public QWidget {
    Q_OBJECT
public:
    enum class StepState {
        pending,
        done,
        current,
        // A closing summary that still reports itself running.
        doneAndCurrent,
    };

    VeskOffloadProgressBanner(const VeskMirrelOffloadLiveProgress &progress, VeskLanguage language, bool compact,
                              std::function<void()> onCancel, std::function<void()> onDismiss,
                              QWidget *parent = nullptr);

    const VeskMirrelOffloadLiveProgress &progress() const { return m_progress; }
    void setProgress(const VeskMirrelOffloadLiveProgress &progress);
    VeskLanguage language() const { return m_language; }
    bool isCompact() const { return m_compact; }

    // The memory tool's own colour, shown while nothing calls for another.
    static QColor violet();
    QColor accentColor() const;
    // fractionCompleted × 100 rounded half away from zero, not clamped;
    // nothing for a fraction that is not finite or whose percentage would not
    // fit, in which case no percentage is shown.
    std::optional<qint64> percent() const;
    QString stepBadgeText() const;
    StepState stepState(int index) const;
    static QString stepTitle(int index, VeskLanguage language);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuild();
    QWidget *makeHeader();
    QWidget *makeStepPill(int index);

    VeskMirrelOffloadLiveProgress m_progress;
    VeskLanguage m_language;
    bool m_compact;
    std::function<void()> m_onCancel;
    std::function<void()> m_onDismiss;
    QVBoxLayout *m_stack = nullptr;
};
