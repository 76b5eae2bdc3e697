#pragma once

#include "platform/DefaultsStore.h"

#include <QMap>

#include <mutex>

// The defaults store as an INI file that people can read: lists become
// numbered QSettings arrays, blobs @ByteArray values. The file and its folder
// are private to the user (0600 and 0700). Every key of the file is held in
// memory, and each write stores all of them in a new file that replaces the
// old one only once it has been read back whole. It may be used from
// several threads: each call holds the others back until it is done, so a
// write stores everything that any earlier call set.
class SettingsDefaultsStore final : public DefaultsStore
{
public:
    // `path` is the INI file; standardPath() gives the production one.
    explicit SettingsDefaultsStore(const QString &path);
    ~SettingsDefaultsStore() override;

    static QString standardPath();

    std::optional<QVariantList> arrayForKey(const QString &key) const override;
    bool setArray(const QString &key, const QList<StringMap> &list) override;
    std::optional<QByteArray> dataForKey(const QString &key) const override;
    bool setData(const QString &key, const QByteArray &data) override;

private:
    bool isGroup(const QString &key) const;
    QVariant readArrayElement(const QString &key, int index) const;
    int storedElementCount(const QString &key) const;
    void removeKey(const QString &key);
    bool write();

    mutable std::mutex m_mutex;
    QString m_path;
    // QSettings' key names: "group/key", arrays as "key/1/name" and "key/size".
    QMap<QString, QVariant> m_values;
    quint64 m_writes = 0;
};
