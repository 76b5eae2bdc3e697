#pragma once

#include <QString>

#include <map>
#include <memory>
#include <mutex>

// A file in the private folder, shared by every value that names it: shelf
// slots, the history, the clipboard slot and the cards that show them. When
// the last holder lets go, the file is deleted, so clipboard images do not
// pile up in a temporary folder that is often RAM. At shutdown the owner
// stops deletions: the stored shelf still names its files.
class PrivateFile
{
public:
    struct Registry
    {
        std::mutex mutex;
        std::map<QString, std::pair<std::weak_ptr<PrivateFile>, const PrivateFile *>> live;
        bool keepFiles = false;
    };

    PrivateFile(QString path, std::shared_ptr<Registry> registry);
    ~PrivateFile();
    PrivateFile(const PrivateFile &) = delete;
    PrivateFile &operator=(const PrivateFile &) = delete;

    const QString &path() const { return m_path; }

private:
    QString m_path;
    std::shared_ptr<Registry> m_registry;
};
