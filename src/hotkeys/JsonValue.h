#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// A minimal JSON reader that keeps integers exact over the whole unsigned
// 64-bit range (Qt's own JSON turns every number into a double, which
// cannot). Numbers are kept as their text until asked for.
class JsonValue
{
public:
    enum class Type { missing, null, boolean, number, string, array, object };

    static std::optional<JsonValue> parse(const QByteArray &text);
    static QByteArray quote(const QString &text);

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::null; }
    bool isObject() const { return m_type == Type::object; }

    // The named member of an object; a value of type missing otherwise.
    const JsonValue &member(const QString &name) const;
    const QList<std::pair<QString, JsonValue>> &members() const { return m_members; }

    std::optional<bool> toBool() const;
    std::optional<QString> toString() const;
    // A non-negative integer written without fraction or exponent, at most `limit`.
    std::optional<quint64> toUnsigned(quint64 limit = ~quint64(0)) const;

private:
    friend class JsonParser;

    Type m_type = Type::missing;
    bool m_bool = false;
    QString m_text; // a string's value, or a number as written
    QList<std::pair<QString, JsonValue>> m_members;
    QList<JsonValue> m_elements;
};
