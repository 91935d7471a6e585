#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QAbstractButton>

#include <functional>

class QMenu;
class VeskLanguagePickerState;

// A compact globe button with the language's short code ("EN", "PT-PT")
// that opens a menu: the system item, then every language by English name,
// the chosen one ticked. Choosing works as in VeskLanguagePicker.
class VeskLanguageMenuButton : public QAbstractButton {
    Q_OBJECT
public:
    using OnSelect = std::function<void(VeskLanguage)>;

    static constexpr qreal fontPixelSize = 11;
    static constexpr qreal itemSpacing = 4;
    static constexpr qreal horizontalPadding = 8;
    static constexpr qreal verticalPadding = 4;

    VeskLanguageMenuButton(VeskLanguage language, OnSelect onSelect, QWidget *parent = nullptr);

    VeskLanguage language() const { return m_language; }
    void setLanguage(VeskLanguage language);
    VeskLanguagePickerState *uiState() const { return m_state; }

    // Built afresh each time it opens.
    QMenu *menu() const { return m_menu; }
    void rebuildMenu();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void openMenu();

    VeskLanguage m_language;
    OnSelect m_onSelect;
    VeskLanguagePickerState *m_state;
    QMenu *m_menu;
};
