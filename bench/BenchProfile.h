#pragma once

// Collections as a person who has kept notes for years has them on disk,
// written through the application's own storage, so a benchmark loads
// exactly the file the application would.
#include "App/ZulStartupProbe.h"
#include "Models/ZulNote.h"
#include "Services/ZulStorageService.h"

#include <QDateTime>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUuid>

namespace BenchProfile {

// Starts `server` as a private X server of 1400 x 900 for a benchmark that
// launches the application: its display (":N"), empty when it did not start.
inline QByteArray startXvfb(const QString &server, QProcess &xvfb)
{
    xvfb.start(server, {"-displayfd", "1", "-screen", "0", "1400x900x24", "-nolisten", "tcp"});
    if (!xvfb.waitForStarted(10000) || !xvfb.waitForReadyRead(20000))
        return {};
    return ":" + xvfb.readAllStandardOutput().trimmed();
}

// The first note a new user sees: 27 lines.
inline QStringList starterNoteLines()
{
    return {
        QStringLiteral("# Aylık Bütçe & Hızlı Hesaplama"),
        QStringLiteral("maaş = 95000"),
        QStringLiteral("kira = 25000"),
        QStringLiteral("aidat = 3200"),
        QStringLiteral("sabit_gider = kira + aidat"),
        QStringLiteral("kalan = maaş - sabit_gider"),
        QString(),
        QStringLiteral("# Proje Maliyetleri & KDV"),
        QStringLiteral("Tasarım: 12000 TL"),
        QStringLiteral("Fatura: 1850 + %20 KDV"),
        QStringLiteral("İndirimli Paket: 4500 - 15%"),
        QStringLiteral("Sunucu: 45 USD to TRY"),
        QStringLiteral("toplam"),
        QString(),
        QStringLiteral("# Döviz, Birim & Tarih Dönüşümleri"),
        QStringLiteral("250 USD to TRY"),
        QStringLiteral("100 EUR -> TL"),
        QStringLiteral("24 px to rem"),
        QStringLiteral("12 km to mi"),
        QStringLiteral("32 c to f"),
        QStringLiteral("bugün + 14 gün"),
        QString(),
        QStringLiteral("# Yapılacaklar"),
        QStringLiteral("- [x] Sabit giderleri hesapla"),
        QStringLiteral("- [x] KDV tutarlarını doğrula"),
        QStringLiteral("- [ ] Sunucu faturasını öde"),
        QStringLiteral("- [ ] Aylık raporu Markdown olarak dışa aktar"),
    };
}

// Every kind of line a note holds, in English and Turkish.
inline const QStringList &lineShapes()
{
    static const QStringList shapes = {
        QStringLiteral("# Section %1"),
        QStringLiteral("rent%1 = 1450 + %1"),
        QStringLiteral("Kahve: %1"),
        QStringLiteral("Öğle Yemeği: %1,5"),
        QStringLiteral("%1 * 1.18 + 3"),
        QStringLiteral("Fatura: %1 + %20 KDV"),
        QStringLiteral("%1 - 15% indirim"),
        QStringLiteral("%1 USD to TRY"),
        QStringLiteral("%1 km to mi"),
        QStringLiteral("€ %1 + 3"),
        QStringLiteral("toplam"),
        QStringLiteral("- [x] task %1 done"),
        QStringLiteral("- [ ] task %1 open"),
        QStringLiteral("Some prose about item %1 that is not a calculation."),
        QStringLiteral("avg"),
        QString(),
    };
    return shapes;
}

// A note of 5 to 40 mixed lines, different for every seed.
inline QString mixedNote(int seed)
{
    const QStringList &shapes = lineShapes();
    const int lines = 5 + int((quint64(seed) * 7919u) % 36u);
    QStringList text;
    text.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        const QString &shape = shapes[(seed + i) % shapes.size()];
        text.append(shape.contains(QLatin1String("%1")) ? shape.arg((seed * 31 + i) % 997 + 1) : shape);
    }
    return text.join(QLatin1Char('\n'));
}

// `count` notes, the first the most recently changed, every 50th pinned,
// a few tags spread over them.
inline QList<ZulNote> mixedCollection(int count)
{
    const QDateTime newest = QDateTime::currentDateTimeUtc().addSecs(-60);
    QList<ZulNote> notes;
    notes.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QDateTime written = newest.addSecs(-qint64(i) * 90);
        QStringList tags;
        if (i % 3 == 0)
            tags.append(QStringLiteral("tag%1").arg(i % 40));
        if (i % 11 == 0)
            tags.append(QStringLiteral("work"));
        notes.append(ZulNote(QUuid::createUuid(), QStringLiteral("Note %1").arg(i), mixedNote(i),
                             ZulNoteTintAllCases().at(size_t(i % 6)), i % 50 == 49, false, false, std::nullopt, tags,
                             written.addDays(-30), written));
    }
    return notes;
}

// A long note of realistic lines, `characters` long.
inline QString longNote(qsizetype characters)
{
    const QStringList lines = {
        QStringLiteral("# Project costs"),
        QStringLiteral("design = 1200"),
        QStringLiteral("build = 3400.5"),
        QStringLiteral("design + build"),
        QStringLiteral("hosting: 12 * 45"),
        QStringLiteral("- [ ] send the invoice to the client"),
        QStringLiteral("- [x] agree on the budget"),
        QStringLiteral("20% of 3400"),
        QStringLiteral("Notes about the meeting with a few words of plain prose in them."),
        QStringLiteral("sum"),
        QString(),
    };
    QString text;
    text.reserve(characters + 80);
    for (qsizetype i = 0; text.size() < characters; ++i) {
        text += lines[i % lines.size()];
        text += QLatin1Char('\n');
    }
    text.truncate(characters);
    return text;
}

// Many short lines: about 18 characters each.
inline QString manyLinesNote(qsizetype lines)
{
    const QStringList shapes = {QStringLiteral("a%1 = %1 * 2"), QStringLiteral("a%1 + 17"),
                                QStringLiteral("- [ ] item %1"), QStringLiteral("note %1 words")};
    QString text;
    text.reserve(lines * 19);
    for (qsizetype i = 0; i < lines; ++i) {
        text += shapes[i % shapes.size()].arg(i % 100000);
        text += QLatin1Char('\n');
    }
    return text;
}

// One line "1+1+…+1" of `characters` characters.
inline QString longSumLine(qsizetype characters)
{
    QString text;
    text.reserve(characters);
    while (text.size() + 2 <= characters)
        text += QStringLiteral("1+");
    text += QLatin1Char('1');
    return text;
}

inline bool write(const QString &folder, const QList<ZulNote> &notes)
{
    return bool(ZulStorageService(folder).saveNotes(notes));
}

// This process's resident memory, in KiB.
inline qint64 residentKilobytes()
{
    return ZulStartupProbe::residentKilobytes();
}

} // namespace BenchProfile
