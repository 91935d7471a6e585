#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QString>

// Why a feedback report could not be delivered. The description is worded
// when it is read, in the interface language of that moment; a server's own
// text is passed through as it came.
class VeskFeedbackError
{
public:
    enum class Case {
        tooManyScreenshots,
        screenshotTooLarge,
        serverRejected,
        networkFailure,
        invalidEndpoint,
        invalidEmail,
        messageTooShort,
        // The application name or an attachment's type would break a header line.
        invalidHeaderText,
    };

    static VeskFeedbackError tooManyScreenshots(int max);
    static VeskFeedbackError screenshotTooLarge(int maxMB);
    static VeskFeedbackError serverRejected(const QString &text);
    static VeskFeedbackError networkFailure(const QString &detail);
    static VeskFeedbackError invalidEndpoint();
    static VeskFeedbackError invalidEmail();
    static VeskFeedbackError messageTooShort();
    static VeskFeedbackError invalidHeaderText();

    Case errorCase() const { return m_case; }
    // The count of tooManyScreenshots and the megabytes of screenshotTooLarge.
    int number() const { return m_number; }
    // The server's text or the network detail.
    const QString &text() const { return m_text; }

    // In VeskLanguage::current().
    QString errorDescription() const;
    QString errorDescription(VeskLanguage language) const;

    bool operator==(const VeskFeedbackError &) const = default;

private:
    VeskFeedbackError(Case errorCase, int number, const QString &text);

    Case m_case;
    int m_number;
    QString m_text;
};
