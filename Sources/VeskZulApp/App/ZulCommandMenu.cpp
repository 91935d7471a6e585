#include "App/ZulCommandMenu.h"

#include "Models/ZulExportFormat.h"
#include "Models/ZulNoteTint.h"
#include "VeskKit/Localization/VeskText.h"
#include "ViewModels/ZulStudioViewModel.h"

#include <QAction>

namespace {

using Command = ZulCommandMenu::Command;

struct Row {
    Command command;
    const char *en;
    const char *tr;
};

const std::array<Row, ZulCommandMenu::commandCount> kRows = {{
    {Command::newNote, "New Note", "Yeni Not"},
    {Command::toggleEdgeDrawer, "Toggle Screen Edge Drawer", "Ekran Kenarı Çekmecesini Aç/Kapat"},
    {Command::newFloatingSticky, "New Floating Sticky Note", "Yeni Yüzen Yapışkan Not"},
    {Command::copyActiveNote, "Copy Active Note with Live Results", "Aktif Notu Canlı Sonuçlarla Kopyala"},
    {Command::exportActiveNote, "Export Active Note as Markdown (.md)", "Aktif Notu Markdown (.md) Olarak Dışa Aktar"},
    {Command::refreshRates, "Refresh Live Currency Rates", "Canlı Döviz Kurlarını Güncelle"},
}};

} // namespace

ZulCommandMenu::ZulCommandMenu(ZulStudioViewModel &viewModel, QWidget *parent)
    : VeskGlassMenu(parent), m_viewModel(viewModel)
{
    setTitle(QStringLiteral("VeskZul"));
    for (const Row &row : kRows) {
        if (row.command == Command::copyActiveNote || row.command == Command::refreshRates)
            addSeparator();
        QAction *action = addAction(QString());
        action->setShortcut(shortcut(row.command));
        // Whichever of the application's windows has the keyboard.
        action->setShortcutContext(Qt::ApplicationShortcut);
        connect(action, &QAction::triggered, this, [this, command = row.command] { run(command); });
        m_actions[std::size_t(row.command)] = action;
    }
    connect(&viewModel, &ZulStudioViewModel::languageChanged, this, &ZulCommandMenu::retranslate);
    retranslate();
}

QList<QAction *> ZulCommandMenu::commandActions() const
{
    return QList<QAction *>(m_actions.begin(), m_actions.end());
}

QKeySequence ZulCommandMenu::shortcut(Command command)
{
    // Command stands for Ctrl and Option for Alt here.
    switch (command) {
    case Command::newNote:
        return QKeySequence(Qt::CTRL | Qt::Key_N);
    case Command::toggleEdgeDrawer:
        return QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N);
    case Command::newFloatingSticky:
        return QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_N);
    case Command::copyActiveNote:
        return QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C);
    case Command::exportActiveNote:
        return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E);
    case Command::refreshRates:
        return QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R);
    }
    return {};
}

void ZulCommandMenu::retranslate()
{
    const VeskLanguage language = m_viewModel.language();
    for (const Row &row : kRows)
        m_actions[std::size_t(row.command)]->setText(
            veskText(QString::fromUtf8(row.en), QString::fromUtf8(row.tr), language));
}

void ZulCommandMenu::run(Command command)
{
    const std::optional<QUuid> selected = m_viewModel.selectedNoteID();
    switch (command) {
    case Command::newNote:
        m_viewModel.createNote(veskText(QStringLiteral("New Note"), QStringLiteral("Yeni Not"), m_viewModel.language()),
                               QString(), ZulNoteTint::indigo, false, false);
        break;
    case Command::toggleEdgeDrawer:
        m_viewModel.toggleEdgeDrawer();
        break;
    case Command::newFloatingSticky:
        m_viewModel.createAndFloatStickyNote();
        break;
    case Command::copyActiveNote:
        if (selected)
            m_viewModel.copyNoteWithResults(*selected);
        break;
    case Command::exportActiveNote:
        if (selected)
            m_viewModel.exportNoteToDisk(*selected, ZulExportFormat::markdownWithResults);
        break;
    case Command::refreshRates:
        m_viewModel.refreshLiveCurrencyRates();
        break;
    }
}
