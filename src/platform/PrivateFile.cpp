#include "platform/PrivateFile.h"

#include <QFile>

#include <unistd.h>

PrivateFile::PrivateFile(QString path, std::shared_ptr<Registry> registry)
    : m_path(std::move(path))
    , m_registry(std::move(registry))
{
}

PrivateFile::~PrivateFile()
{
    const std::lock_guard lock(m_registry->mutex);
    const auto entry = m_registry->live.find(m_path);
    // Another holder may have taken the name over since the last one let go.
    if (entry == m_registry->live.end() || entry->second.second != this)
        return;
    m_registry->live.erase(entry);
    if (!m_registry->keepFiles)
        ::unlink(QFile::encodeName(m_path).constData());
}
