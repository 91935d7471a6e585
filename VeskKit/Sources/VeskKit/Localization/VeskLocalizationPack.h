#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QString>

#include <optional>

// Why a custom language pack could not be loaded.
struct VeskLocalizationPackError {
    enum class Kind { unreadable, notDecompressible, notDecodable };
    Kind kind;
    QString detail;
};

// A translation catalog file. Two JSON forms are read: this record (every
// member optional), and a flat object of string values taken as `strings`.
struct VeskLocalizationPack {
    QString code;
    QString nativeName;
    QString englishName;
    bool isRTL = false;
    QMap<QString, QString> strings;
    QMap<QString, QString> templates;

    VeskLocalizationPack() = default;
    VeskLocalizationPack(QString code, QString nativeName, QString englishName, bool isRTL,
                         QMap<QString, QString> strings, QMap<QString, QString> templates);

    friend bool operator==(const VeskLocalizationPack &, const VeskLocalizationPack &) = default;

    // All six members.
    QJsonObject toJson() const;
    // The record form: a member of the wrong JSON type fails the whole object;
    // a missing or null member takes its empty value.
    static std::optional<VeskLocalizationPack> fromJson(const QJsonObject &object);
    // The flat form: every member must be a string.
    static std::optional<QMap<QString, QString>> flatStringsFromJson(const QJsonObject &object);

    // The top-level object of a JSON document, or nullopt with a reason.
    static std::optional<QJsonObject> parseObject(const QByteArray &json, QString *error = nullptr);
};
