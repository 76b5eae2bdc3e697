#pragma once

#include "platform/DefaultsStore.h"

#include <memory>

class QSettings;

// The defaults store as an INI file that people can read: lists become
// numbered QSettings arrays, blobs @ByteArray values. The file and its folder
// are private to the user (0600 and 0700).
class SettingsDefaultsStore final : public DefaultsStore
{
public:
    // `path` is the INI file; standardPath() gives the production one.
    explicit SettingsDefaultsStore(const QString &path);
    ~SettingsDefaultsStore() override;

    static QString standardPath();

    std::optional<QVariantList> arrayForKey(const QString &key) const override;
    void setArray(const QString &key, const QList<StringMap> &list) override;
    std::optional<QByteArray> dataForKey(const QString &key) const override;
    void setData(const QString &key, const QByteArray &data) override;

    // False once a write could not reach the disk (read-only folder, full disk).
    bool lastWriteSucceeded() const { return m_lastWriteSucceeded; }

private:
    QVariant readArrayElement(int index) const;
    int storedElementCount(const QString &key) const;
    void commit();

    // QSettings' array reading is not const; the store's reads change nothing.
    std::unique_ptr<QSettings> m_settings;
    bool m_lastWriteSucceeded = true;
};
