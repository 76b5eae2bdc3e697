// Reads arbitrary bytes as a stored hot-key configuration. Whatever is
// accepted must survive a write and a second read unchanged.
#include "model/HotkeyConfigJson.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray stored(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<HotkeyConfig> config = HotkeyConfigJson::decode(stored);
    if (!config)
        return 0;
    const QByteArray written = HotkeyConfigJson::encode(*config);
    const std::optional<HotkeyConfig> reread = HotkeyConfigJson::decode(written);
    if (!reread || *reread != *config || HotkeyConfigJson::encode(*reread) != written)
        std::abort();
    return 0;
}
