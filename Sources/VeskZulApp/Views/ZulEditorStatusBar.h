#pragma once

#include "Models/NoteEvaluationSummary.h"

#include "VeskKit/Localization/VeskLanguage.h"

#include <QString>
#include <QWidget>

class QHBoxLayout;
class VeskButton;
class ZulEditorChip;

// The bar at the foot of every editor: the note's sum and average (a click
// copies them), its task count and word count, and the two note actions
// every surface needs: copy with results and float as a sticky. The compact
// form of the drawer and the stickies leaves out the average, the word
// count and the sticky toggle.
class ZulEditorStatusBar : public QWidget
{
    Q_OBJECT

public:
    static const QColor &sumColour();
    static const QColor &averageColour();

    explicit ZulEditorStatusBar(QWidget *parent = nullptr);

    void setSummary(const NoteEvaluationSummary &summary);
    void setIsFloatingSticky(bool floating);
    void setCompactMode(bool compact);
    bool compactMode() const { return m_compact; }
    void setLanguage(VeskLanguage language);

    ZulEditorChip *sumChip() const { return m_sum; }
    ZulEditorChip *averageChip() const { return m_average; }
    ZulEditorChip *taskChip() const { return m_tasks; }
    ZulEditorChip *wordCountChip() const { return m_words; }
    VeskButton *copyButton() const { return m_copy; }
    VeskButton *stickyButton() const { return m_sticky; }
    // Where Tab stops, left to right: the chips that copy, then the buttons.
    QList<QWidget *> tabStops() const;

signals:
    // Copy `text`, naming it `label` in the confirmation.
    void copyRequested(const QString &text, const QString &label);
    void copyWithResultsRequested();
    void stickyToggleRequested();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    QString text(const char *en, const char *tr) const;

    NoteEvaluationSummary m_summary;
    bool m_isFloatingSticky = false;
    bool m_compact = false;
    VeskLanguage m_language = VeskLanguage::en;
    QString m_sumText;
    QString m_averageText;

    QHBoxLayout *m_layout = nullptr;
    ZulEditorChip *m_sum = nullptr;
    ZulEditorChip *m_average = nullptr;
    ZulEditorChip *m_tasks = nullptr;
    ZulEditorChip *m_words = nullptr;
    VeskButton *m_copy = nullptr;
    VeskButton *m_sticky = nullptr;
};
