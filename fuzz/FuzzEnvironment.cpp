// Linked into every fuzz target: nothing a target does may reach the real
// home, through a default folder or otherwise.

#include <QByteArray>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir home;
    if (!home.isValid())
        return 0;
    const QByteArray root = home.path().toUtf8();
    qputenv("HOME", root);
    for (const char *name : {"DATA", "CONFIG", "CACHE", "STATE"})
        qputenv(QByteArray("XDG_") + name + "_HOME", root + '/' + QByteArray(name).toLower());
    return 0;
}
