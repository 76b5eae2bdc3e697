#pragma once

#include "model/HotkeyConfig.h"

#include <QByteArray>

#include <optional>

// The stored form of the configuration: compact UTF-8 JSON,
// {"enabled":…,"leaderModifiersRaw":…,"bindings":{action: binding or null}},
// a binding being {"keyCode":…,"modifiersRaw":…,"label":…}. Numbers are
// exact unsigned integers up to 64 bits. Reading is all or nothing: a
// missing member, a wrong type, or a negative, fractional or out-of-range
// number rejects the whole value. Unknown members are ignored; of a
// repeated member only the last one counts.
class HotkeyConfigJson
{
public:
    static QByteArray encode(const HotkeyConfig &config);
    static std::optional<HotkeyConfig> decode(const QByteArray &json);
};
