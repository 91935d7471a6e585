#pragma once

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// Tells when the notes file may have been changed by another program: a
// sync tool replacing it, an editor saving it, a second machine's version
// arriving through a link. The file and its folder are both watched (a file
// replaced by a rename leaves the watch on the old one), and so are the file
// a link leads to and that file's folder. Our own saves are reported too;
// telling them apart is for the one who looks at the file.
class ZulNotesFileWatcher : public QObject
{
    Q_OBJECT
public:
    // A burst of events (a sync tool writes, renames, touches) is one report,
    // this long after the last of them.
    static constexpr int settleMs = 150;

    explicit ZulNotesFileWatcher(const QString &path, QObject *parent = nullptr);

signals:
    void mayHaveChanged();

private:
    void watch();

    QString m_path;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_settle = nullptr;
};
