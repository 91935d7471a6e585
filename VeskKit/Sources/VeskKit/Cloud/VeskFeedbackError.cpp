#include "VeskKit/Cloud/VeskFeedbackError.h"

#include "VeskKit/Localization/VeskText.h"

namespace {

// The maker's service as users know it; named in the unreachable-server text
// whatever address was actually configured.
const QString kServiceHost = QStringLiteral("quarnell.com");

} // namespace

VeskFeedbackError::VeskFeedbackError(Case errorCase, int number, const QString &text)
    : m_case(errorCase), m_number(number), m_text(text)
{
}

VeskFeedbackError VeskFeedbackError::tooManyScreenshots(int max)
{
    return {Case::tooManyScreenshots, max, {}};
}

VeskFeedbackError VeskFeedbackError::screenshotTooLarge(int maxMB)
{
    return {Case::screenshotTooLarge, maxMB, {}};
}

VeskFeedbackError VeskFeedbackError::serverRejected(const QString &text)
{
    return {Case::serverRejected, 0, text};
}

VeskFeedbackError VeskFeedbackError::networkFailure(const QString &detail)
{
    return {Case::networkFailure, 0, detail};
}

VeskFeedbackError VeskFeedbackError::invalidEndpoint()
{
    return {Case::invalidEndpoint, 0, {}};
}

VeskFeedbackError VeskFeedbackError::invalidEmail()
{
    return {Case::invalidEmail, 0, {}};
}

VeskFeedbackError VeskFeedbackError::messageTooShort()
{
    return {Case::messageTooShort, 0, {}};
}

VeskFeedbackError VeskFeedbackError::invalidHeaderText()
{
    return {Case::invalidHeaderText, 0, {}};
}

QString VeskFeedbackError::errorDescription() const
{
    return errorDescription(VeskLanguage::current());
}

QString VeskFeedbackError::errorDescription(VeskLanguage language) const
{
    const QString number = QString::number(m_number);
    switch (m_case) {
    case Case::tooManyScreenshots:
        return veskText(QStringLiteral("You can attach up to ") + number + QStringLiteral(" screenshots."),
                        QStringLiteral("En fazla ") + number + QStringLiteral(" ekran görüntüsü ekleyebilirsiniz."),
                        language);
    case Case::screenshotTooLarge:
        return veskText(QStringLiteral("Each screenshot must be smaller than ") + number + QStringLiteral(" MB."),
                        QStringLiteral("Her ekran görüntüsü en fazla ") + number + QStringLiteral(" MB olabilir."),
                        language);
    case Case::serverRejected:
        return m_text;
    case Case::networkFailure:
        return veskText(QStringLiteral("Could not reach ") + kServiceHost + QStringLiteral(" (") + m_text +
                            QStringLiteral("). You can open the feedback page in your browser instead."),
                        kServiceHost + QStringLiteral(" adresine ulaşılamadı (") + m_text +
                            QStringLiteral("). Dilerseniz tarayıcıdan göndermeyi deneyebilirsiniz."),
                        language);
    case Case::invalidEndpoint:
        return veskText(QStringLiteral("Feedback server address could not be resolved."),
                        QStringLiteral("Geri bildirim sunucu adresi çözümlenemedi."), language);
    case Case::invalidEmail:
        return veskText(QStringLiteral("Please enter a valid email address."),
                        QStringLiteral("Lütfen geçerli bir e-posta adresi girin."), language);
    case Case::messageTooShort:
        return veskText(QStringLiteral("Please write a bit more detail (at least 10 characters)."),
                        QStringLiteral("Lütfen en az 10 karakterlik kısa bir açıklama yazın."), language);
    case Case::invalidHeaderText:
        return veskText(QStringLiteral("The report was not sent: the application name or an attachment type holds a "
                                       "line break or another control character."),
                        QStringLiteral("Rapor gönderilmedi: uygulama adı ya da bir ekin türü satır sonu veya başka "
                                       "bir denetim karakteri içeriyor."),
                        language);
    }
    return {};
}
