#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;

// Return and Escape end the editing of a note's title, as they end a rename
// anywhere on the desktop: the keyboard goes on into the note's text, and
// Escape first puts back the title the field held when the edit began
// (handed to `restore`, which stores it as the edits before it were stored).
// However the edit ends, a long title shows its beginning again.
class ZulTitleFieldKeys : public QObject {
public:
    ZulTitleFieldKeys(QLineEdit *field, std::function<void()> toText, std::function<void(const QString &)> restore);
    // The field shows another note's title: an edit of it begins here.
    void restart();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_field;
    std::function<void()> m_toText;
    std::function<void(const QString &)> m_restore;
    QString m_before;
};
