// A language's catalog file (plain, or LZFSE-compressed when it starts as a
// compressed stream does) through the store: every lookup answers, with a
// text of its own or the English one, and never with nothing.

#include "FuzzSupport.h"
#include "VeskKit/Localization/VeskLocalizationPack.h"
#include "VeskKit/Localization/VeskLocalizationStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const FuzzSupport::ScratchFolder folder;
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    const QString name = bytes.startsWith("bvx") ? QStringLiteral("/de.json.lzfse") : QStringLiteral("/de.json");
    FuzzSupport::writeFile(folder.emptied() + name, bytes);
    VeskLocalizationStore store({folder.path()});

    // The file's own keys, and texts around them that templates may fit.
    QStringList texts = {QStringLiteral("3 notes"), QStringLiteral("Total: 12"), QStringLiteral("Page 2 of 10")};
    if (const std::optional<QJsonObject> object = VeskLocalizationPack::parseObject(bytes)) {
        QStringList keys = object->keys();
        for (const char *member : {"strings", "templates"})
            keys += object->value(QLatin1StringView(member)).toObject().keys();
        for (const QString &key : std::as_const(keys).mid(0, 16)) {
            texts << key << QStringLiteral("12 ") + key << key + QStringLiteral(" 12")
                  << QString(key).replace(QStringLiteral("{0}"), QStringLiteral("7"));
        }
    }
    for (const QString &text : std::as_const(texts)) {
        for (const VeskLanguage language : {VeskLanguage(VeskLanguage::de), VeskLanguage(VeskLanguage::en)}) {
            const QString shown = store.resolve(std::nullopt, text, QStringLiteral("tr"), language);
            FUZZ_CHECK(!shown.isEmpty() || text.isEmpty());
            FUZZ_CHECK(language != VeskLanguage::en || shown == text);
        }
    }
    store.loadJSONPack(folder.path() + name);
    return 0;
}
