#pragma once

#include "Models/ZulExportFormat.h"
#include "Models/ZulNote.h"
#include "Models/ZulNoteTint.h"

#include "VeskKit/Localization/VeskLanguage.h"

#include <QAbstractButton>
#include <QColor>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class EditorLayoutMetrics;
class QHBoxLayout;
class QLineEdit;
class QMenu;
class VeskButton;
class ZulEditorChip;
class ZulTintDotPicker;
class ZulTitleFieldKeys;

// The studio editor's header above the text: tint dot and title, tint
// picker, pin and ephemeral toggles, the export menu, the note's tags with
// their remove buttons, a field to add a tag and, for an ephemeral note, the
// auto-tidy caption. It keeps no state but the half-typed tag, which lives
// in the editor's metrics so it survives a change of note; every control
// reports through a signal that the editor hands to the view model.
class ZulEditorNoteHeader : public QWidget
{
    Q_OBJECT

public:
    static const QColor &ephemeralColour();

    explicit ZulEditorNoteHeader(EditorLayoutMetrics *metrics, QWidget *parent = nullptr);

    void setNote(const ZulNote &note);
    void setAutoTidyHours(qint64 hours);
    void setLanguage(VeskLanguage language);

    QLineEdit *titleField() const { return m_title; }
    ZulTintDotPicker *tintPicker() const { return m_tints; }
    VeskButton *pinButton() const { return m_pin; }
    VeskButton *ephemeralButton() const { return m_ephemeral; }
    QAbstractButton *exportButton() const;
    QMenu *exportMenu() const { return m_exportMenu; }
    QLineEdit *tagField() const { return m_tagField; }
    // The tags shown as chips, in order, as their chips read ("#budget").
    QStringList tagChipTexts() const;
    // The remove button of the chip for `tag`; null when none shows.
    QAbstractButton *tagRemoveButton(const QString &tag) const;
    // Clicks the remove button of the chip for `tag`; false when none shows.
    bool clickRemoveTag(const QString &tag);
    ZulEditorChip *autoTidyCaption() const { return m_caption; }
    // Where Tab stops, in reading order.
    QList<QWidget *> tabStops() const;

signals:
    void titleEdited(const QString &title);
    // Return or Escape in the title: the user goes on to the note's text.
    void titleEditEnded();
    void tintChosen(ZulNoteTint tint);
    void pinToggleRequested();
    void ephemeralToggleRequested();
    void exportRequested(ZulExportFormat format);
    void tagRemoveRequested(const QString &tag);
    // The add-tag field's text on Return; the field is emptied afterwards
    // whether or not a tag comes of it.
    void tagSubmitted(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();
    void rebuildTagChips();
    QString text(const char *en, const char *tr) const;
    QColor accent() const;

    QPointer<EditorLayoutMetrics> m_metrics;
    ZulNote m_note;
    QStringList m_shownTags;
    QColor m_shownTagAccent;
    qint64 m_autoTidyHours = 24;
    VeskLanguage m_language = VeskLanguage::en;

    QWidget *m_dot = nullptr;
    QLineEdit *m_title = nullptr;
    ZulTitleFieldKeys *m_titleKeys = nullptr;
    ZulTintDotPicker *m_tints = nullptr;
    VeskButton *m_pin = nullptr;
    VeskButton *m_ephemeral = nullptr;
    QAbstractButton *m_export = nullptr;
    QMenu *m_exportMenu = nullptr;
    QHBoxLayout *m_tagRow = nullptr;
    QList<QWidget *> m_tagChips;
    QLineEdit *m_tagField = nullptr;
    ZulEditorChip *m_caption = nullptr;
};
