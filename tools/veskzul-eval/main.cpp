// veskzul-eval [options] [FILE]
//
// Reads a note's text from FILE (or standard input when FILE is absent or
// "-") and prints what the note engine makes of it, as JSON. Exit status 0 on
// success, 2 for a bad option or an unreadable input.
#include "Engine/ComputationalNoteEngine.h"
#include "Engine/ZulSystemTimeZone.h"
#include "Models/CurrencyRateTable.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kUsageError = 2;

int fail(const QString &message)
{
    std::fprintf(stderr, "veskzul-eval: %s\n", qUtf8Printable(message));
    return kUsageError;
}

void appendNumber(QByteArray &out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, ec == std::errc() ? end - buffer : 0);
}

void appendField(QByteArray &out, const char *key, const QByteArray &value)
{
    out += ",\n  \"";
    out += key;
    out += "\": ";
    out += value;
}

bool isCurrencyCode(const QString &code)
{
    if (code.size() != 3)
        return false;
    for (const QChar c : code) {
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("veskzul-eval"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Evaluates a note line by line and prints the results as JSON."));
    parser.addHelpOption();
    const QCommandLineOption currencyOption(QStringLiteral("currency"),
                                            QStringLiteral("Default currency of mixed-currency totals (default TRY)."),
                                            QStringLiteral("CODE"), QStringLiteral("TRY"));
    const QCommandLineOption nowOption(QStringLiteral("now"),
                                       QStringLiteral("The instant that stands for today, ISO 8601 (default now)."),
                                       QStringLiteral("ISO8601"));
    const QCommandLineOption zoneOption(QStringLiteral("tz"),
                                        QStringLiteral("Time zone in which days are counted (default the system's)."),
                                        QStringLiteral("IANA"));
    const QCommandLineOption ratesOption(QStringLiteral("rates"),
                                         QStringLiteral("Exchange-rate table as JSON (default the built-in table)."),
                                         QStringLiteral("FILE"));
    parser.addOptions({currencyOption, nowOption, zoneOption, ratesOption});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The note's text; standard input when absent or \"-\"."));

    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return fail(QStringLiteral("expected at most one input file, got %1").arg(positional.size()));

    const QString currency = parser.value(currencyOption);
    if (!isCurrencyCode(currency))
        return fail(QStringLiteral("--currency wants a three-letter code such as TRY, got \"%1\"").arg(currency));

    QDateTime now = QDateTime::currentDateTimeUtc();
    if (parser.isSet(nowOption)) {
        now = QDateTime::fromString(parser.value(nowOption), Qt::ISODateWithMs);
        if (!now.isValid())
            return fail(QStringLiteral("--now wants an ISO 8601 date and time such as 2025-01-10T15:00:00Z, got \"%1\"")
                            .arg(parser.value(nowOption)));
        now = now.toUTC();
    }

    QTimeZone zone;
    if (!parser.isSet(zoneOption)) {
        const ZulSystemTimeZone system = ZulSystemTimeZone::current();
        if (!system.unknownName.isEmpty())
            std::fprintf(stderr, "veskzul-eval: the system time zone \"%s\" is unknown; dates are counted in UTC\n",
                         system.unknownName.constData());
        zone = system.zone;
    } else {
        zone = QTimeZone(parser.value(zoneOption).toUtf8());
        if (!zone.isValid())
            return fail(QStringLiteral("--tz wants an IANA time zone such as Europe/Istanbul, got \"%1\"")
                            .arg(parser.value(zoneOption)));
    }

    CurrencyRateTable rates = CurrencyRateTable::offlineDefaults();
    if (parser.isSet(ratesOption)) {
        const QString path = parser.value(ratesOption);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read the rates file %1: %2").arg(path, file.errorString()));
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error != QJsonParseError::NoError)
            return fail(QStringLiteral("the rates file %1 is not JSON: %2").arg(path, error.errorString()));
        ZulResult<CurrencyRateTable> table = CurrencyRateTable::fromJson(document.object());
        if (!document.isObject() || !table.ok())
            return fail(QStringLiteral("the rates file %1 is not a rate table: %2")
                            .arg(path, document.isObject() ? table.error() : QStringLiteral("not a JSON object")));
        rates = std::move(table).value();
    }

    const QString input = positional.isEmpty() ? QStringLiteral("-") : positional.first();
    QFile file;
    if (input == QLatin1String("-")) {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read standard input: %1").arg(file.errorString()));
    } else {
        file.setFileName(input);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1: %2").arg(input, file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot read %1: %2").arg(input, file.errorString()));
    const QString text = QString::fromUtf8(bytes);

    const ComputationalNoteEngine engine(rates, currency, now, zone);
    const NoteEvaluationSummary summary = engine.evaluate(text);

    QByteArray out = "{\n  \"lines\": [";
    for (qsizetype i = 0; i < summary.lines.size(); ++i) {
        const ZulResult<QByteArray> line = summary.lines[i].toJson();
        if (!line.ok()) {
            std::fprintf(stderr, "veskzul-eval: %s\n", qUtf8Printable(line.error()));
            return 1;
        }
        out += i == 0 ? "\n    " : ",\n    ";
        out += line.value();
    }
    out += summary.lines.isEmpty() ? "]" : "\n  ]";
    if (summary.totalNumericSum) {
        QByteArray sum;
        appendNumber(sum, *summary.totalNumericSum);
        appendField(out, "totalNumericSum", sum);
    }
    appendField(out, "numericCount", QByteArray::number(summary.numericCount));
    appendField(out, "completedTasks", QByteArray::number(summary.completedTasks));
    appendField(out, "totalTasks", QByteArray::number(summary.totalTasks));
    appendField(out, "wordCount", QByteArray::number(summary.wordCount));
    appendField(out, "charCount", QByteArray::number(summary.charCount));
    out += "\n}\n";
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
