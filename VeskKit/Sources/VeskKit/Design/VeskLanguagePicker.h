#pragma once

#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Localization/VeskLanguageSelection.h"

#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class VeskLanguagePickerState;

// A drop-down for the interface language: "System Language (<name>)" first,
// then every language by English name. Choosing keeps the stored preference
// in step and reports the language to the owner; choosing the system item
// reports the system's language without storing it, so the preference stays
// "system". The control's own texts are in `language`, which is also the
// language it shows as chosen while not following the system.
class VeskLanguagePicker : public QWidget {
    Q_OBJECT
public:
    using OnSelect = std::function<void(VeskLanguage)>;

    static constexpr int minimumPickerWidth = 190;
    static constexpr int maximumPickerWidth = 260;

    // No title means "Language" in the picker's language.
    VeskLanguagePicker(const std::optional<QString> &title, VeskLanguage language, bool showTitle, OnSelect onSelect,
                       QWidget *parent = nullptr);

    QString title() const { return m_title; }
    VeskLanguage language() const { return m_language; }
    // The owner passes the language it now shows; the texts follow.
    void setLanguage(VeskLanguage language);
    bool showTitle() const { return m_showTitle; }
    VeskLanguagePickerState *uiState() const { return m_state; }

    // The chosen item: system while following it, else the picker's language.
    VeskLanguageSelection selection() const;
    // Chooses as the user would.
    void setSelection(const VeskLanguageSelection &selection);

    QComboBox *comboBox() const { return m_combo; }
    QLabel *titleLabel() const { return m_titleLabel; }

    // "System Language (<native name of the system's language>)" in `language`.
    static QString systemLabel(VeskLanguage language);
    static QString defaultTitle(VeskLanguage language);

    // The two ways of choosing, shared with the menu button.
    static void chooseSystem(VeskLanguagePickerState &state, const OnSelect &onSelect);
    static void chooseLanguage(VeskLanguagePickerState &state, VeskLanguage language, const OnSelect &onSelect);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void rebuildItems();
    void refreshTexts();
    void showSelection();
    void activated(int index);

    std::optional<QString> m_givenTitle;
    QString m_title;
    VeskLanguage m_language;
    bool m_showTitle;
    OnSelect m_onSelect;
    VeskLanguagePickerState *m_state;
    QLabel *m_titleLabel;
    QComboBox *m_combo;
};
