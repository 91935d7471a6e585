#include "ViewModels/ZulCommand.h"

#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/System/VeskGlobalHotkeyManager.h"

#include <QKeySequence>

#include <array>

namespace {

using ID = ZulCommandID;

constexpr std::array<ZulCommand, ZulCommand::count> kCommands = {{
    {ID::newNote, "New Note", "Yeni Not", Qt::CTRL | Qt::Key_N, false, false},
    {ID::toggleEdgeDrawer, "Toggle Screen Edge Drawer", "Ekran Kenarı Çekmecesini Aç/Kapat",
     Qt::CTRL | Qt::ALT | Qt::Key_N, true, false},
    {ID::newFloatingSticky, "New Floating Sticky Note", "Yeni Yüzen Yapışkan Not",
     Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_N, true, false},
    {ID::copyActiveNote, "Copy Active Note with Live Results", "Aktif Notu Canlı Sonuçlarla Kopyala",
     Qt::CTRL | Qt::ALT | Qt::Key_C, false, true},
    {ID::exportActiveNote, "Export Active Note as Markdown (.md)", "Aktif Notu Markdown (.md) Olarak Dışa Aktar",
     Qt::CTRL | Qt::SHIFT | Qt::Key_E, false, false},
    {ID::refreshLiveCurrencyRates, "Refresh Live Currency Rates", "Canlı Döviz Kurlarını Güncelle",
     Qt::CTRL | Qt::ALT | Qt::Key_R, false, true},
}};

// of() finds a command at its identifier's place.
static_assert([] {
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        if (kCommands[i].id != ID(i))
            return false;
    }
    return true;
}());

} // namespace

QString ZulCommand::title(VeskLanguage language) const
{
    return veskText(QString::fromUtf8(english), QString::fromUtf8(turkish), language);
}

QKeySequence ZulCommand::keySequence() const
{
    return QKeySequence(keys);
}

QString ZulCommand::keysText() const
{
    return keySequence().toString(QKeySequence::NativeText);
}

std::optional<VeskHotkeyDescriptor> ZulCommand::hotkey() const
{
    return isGlobalHotkey ? VeskGlobalHotkeyManager::descriptorFor(keys) : std::nullopt;
}

std::span<const ZulCommand> ZulCommand::all()
{
    return kCommands;
}

const ZulCommand &ZulCommand::of(ZulCommandID id)
{
    return kCommands.at(std::size_t(id));
}
