#include "App/ZulDataFolderClaim.h"

#include "VeskKit/Localization/VeskText.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <chrono>
#include <cstdio>

namespace ZulDataFolderClaim {

std::optional<FolderLock> take(const QString &folder, VeskLanguage language)
{
    // A copy that is ending has already let go of the hand-over but holds
    // the lock until its last save is on disk and it exits: a moment.
    FolderLock lock = FolderLock::take(folder, QString::fromLatin1(lockFileName), std::chrono::seconds(2));
    if (lock.state() != FolderLock::State::heldElsewhere)
        return lock;
    const QString text = refusalText(folder, language);
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    // Where nothing is on a screen nobody could ever close the dialog.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1StringView("offscreen") && platform != QLatin1StringView("minimal"))
        QMessageBox::critical(nullptr, QStringLiteral("VeskZul"), text);
    return std::nullopt;
}

QString refusalText(const QString &folder, VeskLanguage language)
{
    return veskText(QStringLiteral("VeskZul is already running with the notes in %1 but does not answer. "
                                   "Nothing was opened, so nothing is lost: close or end that copy, "
                                   "then start VeskZul again."),
                    QStringLiteral("VeskZul, %1 içindeki notlarla zaten çalışıyor ama yanıt vermiyor. "
                                   "Hiçbir şey açılmadı, bu yüzden hiçbir şey kaybolmadı: o kopyayı kapatın "
                                   "ya da sonlandırın, sonra VeskZul'ü yeniden başlatın."),
                    language)
        .arg(folder);
}

} // namespace ZulDataFolderClaim
