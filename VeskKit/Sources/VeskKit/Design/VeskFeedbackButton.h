#pragma once

#include "VeskKit/Cloud/VeskFeedbackKind.h"
#include "VeskKit/Cloud/VeskUrlOpener.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Utilities/VeskAppVersion.h"

#include <QWidget>

#include <memory>
#include <optional>

class QAbstractButton;

enum class VeskFeedbackButtonStyle {
    compactIcon, // a symbol in a small capsule, for title bars and headers
    labeledPill, // symbol and title on the glass button, for panels
};

// The suite's entry point for feedback: a click opens the maker's feedback
// page in the browser, filled in for the calling application. Nothing else
// happens: no sheet, no callback, no state.
class VeskFeedbackButton : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal compactSymbolPixelSize = 10;
    static constexpr qreal compactHorizontalPadding = 6.5;
    static constexpr qreal compactVerticalPadding = 3;

    VeskFeedbackButton(const QString &appName, const VeskAppVersion &version, VeskFeedbackKind kind,
                       VeskLanguage language, VeskFeedbackButtonStyle style, const std::optional<QString> &baseURL,
                       QWidget *parent = nullptr);

    const QString &appName() const { return m_appName; }
    const VeskAppVersion &version() const { return m_version; }
    VeskFeedbackKind kind() const { return m_kind; }
    VeskLanguage language() const { return m_language; }
    VeskFeedbackButtonStyle buttonStyle() const { return m_style; }
    const std::optional<QString> &baseURL() const { return m_baseURL; }

    // The clickable part (the capsule or the pill).
    QAbstractButton *button() const { return m_button; }
    // Tooltip of both looks and accessible name of the capsule.
    QString helpText() const;
    // The pill's title.
    QString title() const;

    // Where the page is opened; the desktop unless replaced.
    void setUrlOpener(std::shared_ptr<VeskUrlOpener> opener);

private:
    void openPage() const;

    QString m_appName;
    VeskAppVersion m_version;
    VeskFeedbackKind m_kind;
    VeskLanguage m_language;
    VeskFeedbackButtonStyle m_style;
    std::optional<QString> m_baseURL;
    std::shared_ptr<VeskUrlOpener> m_opener;
    QAbstractButton *m_button = nullptr;
};
