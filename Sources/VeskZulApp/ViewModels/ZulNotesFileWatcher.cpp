#include "ViewModels/ZulNotesFileWatcher.h"

#include "SharedFile.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStringList>
#include <QTimer>

ZulNotesFileWatcher::ZulNotesFileWatcher(const QString &path, QObject *parent)
    : QObject(parent), m_path(path)
{
    m_watcher = new QFileSystemWatcher(this);
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(settleMs);
    const auto changed = [this] {
        // A replaced file, a new link or a folder made since may need
        // watching anew.
        watch();
        m_settle->start();
    };
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(m_settle, &QTimer::timeout, this, &ZulNotesFileWatcher::mayHaveChanged);
    watch();
}

void ZulNotesFileWatcher::watch()
{
    QStringList wanted;
    for (const QString &file : {m_path, SharedFile::linkTarget(m_path)}) {
        const QFileInfo info(file);
        wanted << file << info.absolutePath();
    }
    wanted.removeDuplicates();
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    QStringList missing;
    for (const QString &path : std::as_const(wanted)) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            missing << path;
    }
    if (!missing.isEmpty())
        m_watcher->addPaths(missing);
}
