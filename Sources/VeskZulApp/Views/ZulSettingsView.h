#pragma once

#include "Models/ZulConfig.h"

#include <QColor>
#include <QScrollArea>

class QComboBox;
class QLabel;
class QSlider;
class QSpinBox;
class VeskButton;
class VeskLanguagePicker;
class ZulChipButton;
class ZulChipGroup;
class ZulStudioViewModel;
class ZulToggle;

// The studio's settings page: four glass cards (drawer and hotkeys, engine
// and rates, editor and tidy, system and language). No control keeps a value
// of its own: each shows the view model's state, writes through one of its
// operations, and is set back from the view model afterwards without
// announcing that as a new choice.
class ZulSettingsView : public QScrollArea {
    Q_OBJECT
public:
    // The slider works in tenths of a point so a stored 13.5 sits where it is.
    static constexpr int sliderScale = 10;
    static constexpr int tidyHoursStep = 6;

    ZulSettingsView(ZulStudioViewModel &viewModel, const QColor &accent, QWidget *parent = nullptr);

    // The controls, in page order.
    ZulToggle *edgeDrawerToggle() const { return m_edgeDrawerToggle; }
    ZulChipButton *leftEdgeButton() const { return m_leftEdge; }
    ZulChipButton *rightEdgeButton() const { return m_rightEdge; }
    QComboBox *currencyPicker() const { return m_currency; }
    QLabel *ratesStatusLabel() const { return m_ratesStatus; }
    QLabel *lastSyncedLabel() const { return m_lastSynced; }
    VeskButton *refreshRatesButton() const { return m_refreshRates; }
    QLabel *fontSizeLabel() const { return m_fontSizeLabel; }
    QSlider *fontSizeSlider() const { return m_fontSize; }
    ZulToggle *lineNumbersToggle() const { return m_lineNumbers; }
    ZulToggle *resultGutterToggle() const { return m_resultGutter; }
    QSpinBox *tidyStepper() const { return m_tidyHours; }
    VeskButton *tidyNowButton() const { return m_tidyNow; }
    ZulToggle *launchAtLoginToggle() const { return m_launchAtLogin; }
    VeskLanguagePicker *languagePicker() const { return m_languagePicker; }
    QLabel *footprintLabel() const { return m_footprint; }
    // Beside the hotkeys, shown where they cannot reach other applications.
    QLabel *hotkeysScopeLabel() const { return m_hotkeysScope; }
    // Every label of the page, for checks that all of them follow the language.
    QList<QLabel *> textLabels() const { return m_textLabels; }
    // Where Tab stops, in page order.
    QList<QWidget *> tabStops() const;

private:
    QString text(const char *en, const char *tr) const;
    QLabel *addLabel(const QFont &font, const QColor &colour);
    void retranslate();
    void syncFromViewModel();

    ZulStudioViewModel &m_viewModel;
    QColor m_accent;
    QList<QLabel *> m_textLabels;

    QLabel *m_drawerTitle = nullptr;
    ZulToggle *m_edgeDrawerToggle = nullptr;
    QLabel *m_edgeSideText = nullptr;
    QWidget *m_edgeSegments = nullptr;
    ZulChipButton *m_leftEdge = nullptr;
    ZulChipButton *m_rightEdge = nullptr;
    ZulChipGroup *m_edgeGroup = nullptr;
    QLabel *m_toggleDrawerBadgeLabel = nullptr;
    QLabel *m_hotkeysScope = nullptr;
    QLabel *m_floatStickyBadgeLabel = nullptr;

    QLabel *m_engineTitle = nullptr;
    QLabel *m_currencyText = nullptr;
    QComboBox *m_currency = nullptr;
    QLabel *m_ratesStatus = nullptr;
    QLabel *m_lastSynced = nullptr;
    VeskButton *m_refreshRates = nullptr;

    QLabel *m_editorTitle = nullptr;
    QLabel *m_fontSizeLabel = nullptr;
    QSlider *m_fontSize = nullptr;
    ZulToggle *m_lineNumbers = nullptr;
    ZulToggle *m_resultGutter = nullptr;
    QLabel *m_tidyTitle = nullptr;
    QLabel *m_tidyNote = nullptr;
    QSpinBox *m_tidyHours = nullptr;
    VeskButton *m_tidyNow = nullptr;

    QLabel *m_systemTitle = nullptr;
    ZulToggle *m_launchAtLogin = nullptr;
    QLabel *m_languageText = nullptr;
    VeskLanguagePicker *m_languagePicker = nullptr;
    QLabel *m_footprintText = nullptr;
    QLabel *m_footprint = nullptr;
};
