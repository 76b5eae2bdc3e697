#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

#include <optional>

using StringMap = QMap<QString, QString>;

// The per-user key-value store that survives restarts. It holds two value
// shapes: an ordered list of string maps and a byte blob. Reading a missing
// key, or a key that holds the other shape, gives nothing. Every write
// replaces the whole value and reaches the disk before it returns, or says
// that it could not (read-only folder, full disk): the value is then kept in
// memory, reads give it, and the next write tries to store it again. The
// file on disk is never left half written. A write may take long (it stores
// every key), so callers may make it from a worker thread; the store then
// takes care that calls from several threads do not mix.
class DefaultsStore
{
public:
    virtual ~DefaultsStore() = default;

    // The list as stored. Each element is a QVariantMap when it is a map; its
    // values are QStrings unless the stored data says otherwise, so callers
    // can refuse lists that are not string maps throughout.
    virtual std::optional<QVariantList> arrayForKey(const QString &key) const = 0;
    virtual bool setArray(const QString &key, const QList<StringMap> &list) = 0;

    virtual std::optional<QByteArray> dataForKey(const QString &key) const = 0;
    virtual bool setData(const QString &key, const QByteArray &data) = 0;
};
