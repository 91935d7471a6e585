#pragma once

#include <QObject>

// Whether a language control shows "follow the system" as chosen: true while
// the stored interface-language preference is "system" (in any letter case,
// or missing or blank).
class VeskLanguagePickerState : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isFollowingSystem READ isFollowingSystem WRITE setIsFollowingSystem NOTIFY
                   isFollowingSystemChanged)
public:
    // Starts from the stored preference.
    explicit VeskLanguagePickerState(QObject *parent = nullptr);

    bool isFollowingSystem() const { return m_isFollowingSystem; }
    void setIsFollowingSystem(bool following);

    // Reads the stored preference again; announces only a change.
    void syncFromDefaults();

    static bool storedPreferenceFollowsSystem();

signals:
    void isFollowingSystemChanged(bool following);

private:
    bool m_isFollowingSystem;
};
