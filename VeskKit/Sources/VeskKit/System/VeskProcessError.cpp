#include "VeskKit/System/VeskProcessError.h"

#include "VeskKit/Localization/VeskText.h"

QString VeskProcessError::errorDescription() const
{
    return errorDescription(VeskLanguage::current());
}

QString VeskProcessError::errorDescription(VeskLanguage language) const
{
    switch (kind) {
    case Kind::binaryNotFound:
        return veskText(QStringLiteral("Required executable '") + name + QStringLiteral("' was not found."),
                        QStringLiteral("Gerekli '") + name + QStringLiteral("' aracı bulunamadı."), language);
    case Kind::nonZeroExit: {
        // The tool's own words, in whatever language it wrote them.
        const QString text = stderrText.trimmed();
        if (!text.isEmpty())
            return text;
        return QStringLiteral("Process exited with code ") + QString::number(code) + u'.';
    }
    case Kind::cancelled:
        return veskText(QStringLiteral("Operation cancelled."), QStringLiteral("İşlem iptal edildi."), language);
    }
    return {};
}
