#include "hotkeys/JsonValue.h"

#include <QHash>
#include <QStringDecoder>

#include <limits>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

// Recursive descent over UTF-8 bytes, strict about the grammar.
class JsonParser
{
public:
    explicit JsonParser(const QByteArray &text)
        : m_text(text)
    {
    }

    std::optional<JsonValue> document()
    {
        std::optional<JsonValue> value = parseValue(0);
        skipSpace();
        if (!value || m_pos != m_text.size())
            return std::nullopt;
        return value;
    }

private:
    static constexpr int maxDepth = 64; // deeper nesting is refused, not recursed into

    void skipSpace()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n'
                                         || m_text[m_pos] == '\r'))
            ++m_pos;
    }

    bool take(char c)
    {
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool takeWord(const char *word)
    {
        const QByteArray w(word);
        if (m_text.mid(m_pos, w.size()) != w)
            return false;
        m_pos += w.size();
        return true;
    }

    std::optional<JsonValue> parseValue(int depth)
    {
        if (depth > maxDepth)
            return std::nullopt;
        skipSpace();
        if (m_pos >= m_text.size())
            return std::nullopt;
        JsonValue value;
        const char c = m_text[m_pos];
        if (c == '{')
            return parseObject(depth);
        if (c == '[')
            return parseArray(depth);
        if (c == '"') {
            std::optional<QString> text = parseString();
            if (!text)
                return std::nullopt;
            value.m_type = JsonValue::Type::string;
            value.m_text = *text;
            return value;
        }
        if (takeWord("true") || takeWord("false")) {
            value.m_type = JsonValue::Type::boolean;
            value.m_bool = c == 't';
            return value;
        }
        if (takeWord("null")) {
            value.m_type = JsonValue::Type::null;
            return value;
        }
        return parseNumber();
    }

    std::optional<JsonValue> parseNumber()
    {
        const qsizetype start = m_pos;
        auto digits = [this] {
            const qsizetype from = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
                ++m_pos;
            return m_pos > from;
        };
        if (m_pos < m_text.size() && m_text[m_pos] == '-')
            ++m_pos;
        const qsizetype integerStart = m_pos;
        if (!digits())
            return std::nullopt;
        if (m_text[integerStart] == '0' && m_pos - integerStart > 1)
            return std::nullopt; // JSON allows no leading zeros
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            if (!digits())
                return std::nullopt;
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-'))
                ++m_pos;
            if (!digits())
                return std::nullopt;
        }
        JsonValue value;
        value.m_type = JsonValue::Type::number;
        value.m_text = QString::fromLatin1(m_text.mid(start, m_pos - start));
        return value;
    }

    std::optional<QString> parseString()
    {
        ++m_pos; // the opening quote
        QByteArray utf8;
        QString result;
        bool validUtf8 = true;
        auto flush = [&] {
            QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            result += decode(utf8);
            validUtf8 = validUtf8 && !decode.hasError();
            utf8.clear();
        };
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                flush();
                if (!validUtf8)
                    return std::nullopt;
                return result;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return std::nullopt;
            if (c != '\\') {
                utf8 += c;
                continue;
            }
            if (m_pos >= m_text.size())
                return std::nullopt;
            const char escape = m_text[m_pos++];
            switch (escape) {
            case '"': utf8 += '"'; break;
            case '\\': utf8 += '\\'; break;
            case '/': utf8 += '/'; break;
            case 'b': utf8 += '\b'; break;
            case 'f': utf8 += '\f'; break;
            case 'n': utf8 += '\n'; break;
            case 'r': utf8 += '\r'; break;
            case 't': utf8 += '\t'; break;
            case 'u': {
                const std::optional<char16_t> unit = hexUnit();
                if (!unit)
                    return std::nullopt;
                flush();
                if (QChar::isHighSurrogate(*unit)) {
                    // Must be followed at once by an escaped low surrogate.
                    if (m_text.mid(m_pos, 2) != "\\u")
                        return std::nullopt;
                    m_pos += 2;
                    const std::optional<char16_t> low = hexUnit();
                    if (!low || !QChar::isLowSurrogate(*low))
                        return std::nullopt;
                    result += QChar(*unit);
                    result += QChar(*low);
                } else if (QChar::isLowSurrogate(*unit)) {
                    return std::nullopt;
                } else {
                    result += QChar(*unit);
                }
                break;
            }
            default:
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    // Four hex digits of a \u escape, exactly.
    std::optional<char16_t> hexUnit()
    {
        if (m_pos + 4 > m_text.size())
            return std::nullopt;
        char16_t unit = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexDigit(m_text[m_pos + i]);
            if (digit < 0)
                return std::nullopt;
            unit = char16_t(unit * 16 + digit);
        }
        m_pos += 4;
        return unit;
    }

    std::optional<JsonValue> parseObject(int depth)
    {
        ++m_pos;
        JsonValue value;
        value.m_type = JsonValue::Type::object;
        QHash<QString, qsizetype> indexOf;
        if (take('}'))
            return value;
        do {
            skipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"')
                return std::nullopt;
            std::optional<QString> name = parseString();
            if (!name || !take(':'))
                return std::nullopt;
            std::optional<JsonValue> member = parseValue(depth + 1);
            if (!member)
                return std::nullopt;
            // A repeated name keeps its last value, as common readers do.
            const auto seen = indexOf.constFind(*name);
            if (seen != indexOf.cend()) {
                value.m_members[*seen].second = std::move(*member);
            } else {
                indexOf.insert(*name, value.m_members.size());
                value.m_members.append({*name, std::move(*member)});
            }
        } while (take(','));
        if (!take('}'))
            return std::nullopt;
        return value;
    }

    std::optional<JsonValue> parseArray(int depth)
    {
        ++m_pos;
        JsonValue value;
        value.m_type = JsonValue::Type::array;
        if (take(']'))
            return value;
        do {
            std::optional<JsonValue> element = parseValue(depth + 1);
            if (!element)
                return std::nullopt;
            value.m_elements.append(std::move(*element));
        } while (take(','));
        if (!take(']'))
            return std::nullopt;
        return value;
    }

    const QByteArray &m_text;
    qsizetype m_pos = 0;
};

std::optional<JsonValue> JsonValue::parse(const QByteArray &text)
{
    return JsonParser(text).document();
}

const JsonValue &JsonValue::member(const QString &name) const
{
    static const JsonValue missing;
    for (const auto &[key, value] : m_members) {
        if (key == name)
            return value;
    }
    return missing;
}

std::optional<bool> JsonValue::toBool() const
{
    if (m_type != Type::boolean)
        return std::nullopt;
    return m_bool;
}

std::optional<QString> JsonValue::toString() const
{
    if (m_type != Type::string)
        return std::nullopt;
    return m_text;
}

std::optional<quint64> JsonValue::toUnsigned(quint64 limit) const
{
    if (m_type != Type::number || m_text.isEmpty())
        return std::nullopt;
    quint64 result = 0;
    for (const QChar c : m_text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt; // a sign, a fraction or an exponent
        const quint64 digit = quint64(c.unicode() - '0');
        if (result > (std::numeric_limits<quint64>::max() - digit) / 10)
            return std::nullopt;
        result = result * 10 + digit;
    }
    if (result > limit)
        return std::nullopt;
    return result;
}

QByteArray JsonValue::quote(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': escaped += QStringLiteral("\\\""); break;
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\b': escaped += QStringLiteral("\\b"); break;
        case '\f': escaped += QStringLiteral("\\f"); break;
        default:
            if (c.unicode() < 0x20)
                escaped += QStringLiteral("\\u") + QString::number(c.unicode(), 16).rightJustified(4, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    // Encoded once as a whole, so surrogate pairs become one UTF-8 sequence.
    return '"' + escaped.toUtf8() + '"';
}
