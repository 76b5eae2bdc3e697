#pragma once

#include "platform/DefaultsStore.h"

#include <variant>

// An in-memory defaults store that keeps the two shapes apart like the real
// one and counts writes. While `failWrites` is set, writes are counted and
// refused, as on a full disk, and the stored values stay as they were.
class FakeDefaultsStore final : public DefaultsStore
{
public:
    std::optional<QVariantList> arrayForKey(const QString &key) const override
    {
        const auto it = values.find(key);
        if (it == values.end() || !std::holds_alternative<QVariantList>(*it))
            return std::nullopt;
        return std::get<QVariantList>(*it);
    }

    bool setArray(const QString &key, const QList<StringMap> &list) override
    {
        ++writes;
        if (failWrites)
            return false;
        QVariantList stored;
        for (const StringMap &entry : list) {
            QVariantMap map;
            for (auto it = entry.cbegin(); it != entry.cend(); ++it)
                map.insert(it.key(), it.value());
            stored.append(map);
        }
        values[key] = stored;
        return true;
    }

    std::optional<QByteArray> dataForKey(const QString &key) const override
    {
        const auto it = values.find(key);
        if (it == values.end() || !std::holds_alternative<QByteArray>(*it))
            return std::nullopt;
        return std::get<QByteArray>(*it);
    }

    bool setData(const QString &key, const QByteArray &data) override
    {
        ++writes;
        if (failWrites)
            return false;
        values[key] = data;
        return true;
    }

    // The stored list as plain string maps, for assertions.
    QList<StringMap> storedList(const QString &key) const
    {
        QList<StringMap> result;
        for (const QVariant &element : arrayForKey(key).value_or(QVariantList())) {
            StringMap entry;
            const QVariantMap map = element.toMap();
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                entry.insert(it.key(), it.value().toString());
            result.append(entry);
        }
        return result;
    }

    QMap<QString, std::variant<QVariantList, QByteArray>> values;
    int writes = 0;
    bool failWrites = false;
};
