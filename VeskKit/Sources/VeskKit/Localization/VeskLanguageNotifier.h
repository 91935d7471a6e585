#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QObject>

// Announces that the interface language changed. One process-wide instance;
// the signal is emitted on the thread that changed the language, so receivers
// living on that thread run before the change call returns.
class VeskLanguageNotifier : public QObject {
    Q_OBJECT

public:
    // The notification's name among the suite's notifications.
    static constexpr const char *notificationName = "com.quarnell.languageDidChange";

    static VeskLanguageNotifier *shared();

signals:
    // `language` is the language now in effect.
    void veskLanguageDidChange(VeskLanguage language);

private:
    VeskLanguageNotifier() = default;
};
