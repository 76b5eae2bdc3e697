#include "hotkeys/HotkeyConfigJson.h"

#include "hotkeys/JsonValue.h"

namespace {

QByteArray quoted(const QString &text)
{
    return JsonValue::quote(text);
}

QByteArray encodeBinding(const std::optional<KeyBinding> &binding)
{
    if (!binding)
        return "null";
    return "{\"keyCode\":" + QByteArray::number(binding->keyCode) + ",\"modifiersRaw\":"
        + QByteArray::number(binding->modifiersRaw) + ",\"label\":" + quoted(binding->label) + "}";
}

std::optional<KeyBinding> decodeBinding(const JsonValue &value, bool &ok)
{
    if (value.isNull())
        return std::nullopt;
    const auto keyCode = value.member("keyCode").toUnsigned(0xFFFFFFFFull);
    const auto modifiers = value.member("modifiersRaw").toUnsigned();
    const auto label = value.member("label").toString();
    if (!value.isObject() || !keyCode || !modifiers || !label) {
        ok = false;
        return std::nullopt;
    }
    return KeyBinding{quint32(*keyCode), *modifiers, *label};
}

} // namespace

QByteArray HotkeyConfigJson::encode(const HotkeyConfig &config)
{
    QByteArray bindings = "{";
    for (auto it = config.bindings.cbegin(); it != config.bindings.cend(); ++it) {
        if (bindings.size() > 1)
            bindings += ',';
        bindings += quoted(it.key()) + ':' + encodeBinding(it.value());
    }
    bindings += '}';
    return QByteArray("{\"enabled\":") + (config.enabled ? "true" : "false") + ",\"leaderModifiersRaw\":"
        + QByteArray::number(config.leaderModifiersRaw) + ",\"bindings\":" + bindings + "}";
}

std::optional<HotkeyConfig> HotkeyConfigJson::decode(const QByteArray &json)
{
    const std::optional<JsonValue> root = JsonValue::parse(json);
    if (!root || !root->isObject())
        return std::nullopt;
    const auto enabled = root->member("enabled").toBool();
    const auto leader = root->member("leaderModifiersRaw").toUnsigned();
    const JsonValue &bindings = root->member("bindings");
    if (!enabled || !leader || !bindings.isObject())
        return std::nullopt;

    HotkeyConfig config;
    config.enabled = *enabled;
    config.leaderModifiersRaw = *leader;
    bool ok = true;
    for (const auto &[name, value] : bindings.members()) {
        config.bindings.insert(name, decodeBinding(value, ok));
        if (!ok)
            return std::nullopt;
    }
    return config;
}
