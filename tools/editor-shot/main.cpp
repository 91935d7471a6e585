// editor-shot [OUT.png] [--width W] [--height H] [--hold SECONDS]
//
// Opens the note editor on the first starter note, over the studio window's
// ground, at the size the studio gives it (the window less the sidebar), and
// writes the window to OUT.png (default /tmp/editor-shot.png) once the
// results are in. --hold keeps the window open afterwards, so a screen grab
// of a real display can be taken too. Works in a private, throwaway home:
// nothing of the user's notes or settings is read or written.
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ComputationalEditorView.h"
#include "Views/ZulResultGutter.h"

#include "Services/ZulStorageService.h"
#include "VeskKit/Design/VeskGroundBackground.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStackedLayout>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "editor-shot: no temporary folder\n");
        return 1;
    }
    for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        qputenv(name, home.filePath(QString::fromLatin1(name)).toUtf8());

    QApplication app(argc, argv);
    QString out = QStringLiteral("/tmp/editor-shot.png");
    int width = 1180 - 268 - 1;
    int height = 740;
    int hold = 0;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--width") && i + 1 < args.size())
            width = args[++i].toInt();
        else if (args[i] == QLatin1String("--height") && i + 1 < args.size())
            height = args[++i].toInt();
        else if (args[i] == QLatin1String("--hold") && i + 1 < args.size())
            hold = args[++i].toInt();
        else
            out = args[i];
    }

    // An empty notes folder: the view model starts with the starter notes.
    ZulStudioViewModel viewModel(ZulStorageService(home.filePath(QStringLiteral("notes"))));
    const QList<ZulNote> starters = ZulStorageService::makeStarterNotes(QDateTime::currentDateTimeUtc());
    std::optional<QUuid> id;
    for (const ZulNote &note : viewModel.notes()) {
        if (!starters.isEmpty() && note.content == starters.first().content)
            id = note.id;
    }
    if (!id) {
        std::fprintf(stderr, "editor-shot: the first starter note is missing\n");
        return 1;
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("VeskZul editor"));
    auto *stack = new QStackedLayout(&window);
    stack->setStackingMode(QStackedLayout::StackAll);
    auto *editor = new ComputationalEditorView(&viewModel, *id, false, true);
    stack->addWidget(editor);
    stack->addWidget(new VeskGroundBackground(VeskProductPalette::deepIndigo));
    stack->setCurrentWidget(editor);
    window.resize(width, height);
    window.show();

    QElapsedTimer waited;
    waited.start();
    while (editor->resultGutter()->summary().lines.isEmpty() && waited.elapsed() < 5000) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    // Let the layout publish and the first paints settle.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 600) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    if (!window.grab().save(out)) {
        std::fprintf(stderr, "editor-shot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s: %d results\n", qPrintable(out), int(editor->resultGutter()->summary().lines.size()));
    std::fflush(stdout);
    if (hold > 0) {
        QTimer::singleShot(hold * 1000, &app, &QApplication::quit);
        return app.exec();
    }
    return 0;
}
