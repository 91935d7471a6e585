#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <clocale>

// Switches the C library and Qt's default locale the way the desktop app does
// at start-up, and back to "C" afterwards. Turkish (dotless ı, İ) and German
// (decimal comma) are the locales that break code relying on the process
// locale.
class LocaleScope
{
public:
    explicit LocaleScope(const char *name)
    {
        m_active = std::setlocale(LC_ALL, name) != nullptr;
        QLocale::setDefault(QLocale(QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0)));
    }
    ~LocaleScope()
    {
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
    }
    LocaleScope(const LocaleScope &) = delete;
    LocaleScope &operator=(const LocaleScope &) = delete;

    bool active() const { return m_active; }

    // The locales every locale-sensitive test runs under.
    static constexpr const char *names[] = {"C", "tr_TR.UTF-8", "de_DE.UTF-8"};

    // True when the C library really switched to a decimal comma, so a test run
    // under that locale is not silently a run under "C".
    static bool usesDecimalComma() { return QByteArray(std::localeconv()->decimal_point) == ","; }

private:
    bool m_active = false;
};

// Runs `body` once per locale in LocaleScope::names; fails when a locale is
// not installed rather than quietly testing less.
#define VESK_FOR_EACH_LOCALE(body)                                                            \
    for (const char *veskLocaleName : LocaleScope::names) {                                   \
        LocaleScope veskLocaleScope(veskLocaleName);                                          \
        QVERIFY2(veskLocaleScope.active(), veskLocaleName);                                   \
        if (QByteArray(veskLocaleName) != "C")                                                \
            QVERIFY2(LocaleScope::usesDecimalComma(), veskLocaleName);                        \
        body                                                                                  \
    }
