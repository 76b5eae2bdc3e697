#include "model/HotkeyConfigJson.h"

#include <nlohmann/json.hpp>

namespace {

// Reading looks members up in a sorted map, so a huge object stays fast;
// writing keeps the members in the order the format lists them.
using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

std::optional<quint64> unsignedMember(const Json &object, const char *name, quint64 limit = ~quint64(0))
{
    // Only a plain non-negative integer literal is unsigned here: "-1",
    // "1.5", "1e3" and anything beyond 64 bits come out as other types.
    const auto member = object.find(name);
    if (member == object.end() || !member->is_number_unsigned())
        return std::nullopt;
    const quint64 value = member->get<std::uint64_t>();
    if (value > limit)
        return std::nullopt;
    return value;
}

std::optional<QString> stringMember(const Json &object, const char *name)
{
    const auto member = object.find(name);
    if (member == object.end() || !member->is_string())
        return std::nullopt;
    return QString::fromStdString(member->get_ref<const std::string &>());
}

// A binding, or nullopt for null; `ok` turns false for anything else.
std::optional<KeyBinding> decodeBinding(const Json &value, bool &ok)
{
    if (value.is_null())
        return std::nullopt;
    if (!value.is_object()) {
        ok = false;
        return std::nullopt;
    }
    const auto keyCode = unsignedMember(value, "keyCode", 0xFFFFFFFFull);
    const auto modifiers = unsignedMember(value, "modifiersRaw");
    const auto label = stringMember(value, "label");
    if (!keyCode || !modifiers || !label) {
        ok = false;
        return std::nullopt;
    }
    return KeyBinding{quint32(*keyCode), *modifiers, *label};
}

OrderedJson encodeBinding(const std::optional<KeyBinding> &binding)
{
    if (!binding)
        return nullptr;
    OrderedJson object = OrderedJson::object();
    object["keyCode"] = binding->keyCode;
    object["modifiersRaw"] = binding->modifiersRaw;
    object["label"] = binding->label.toStdString();
    return object;
}

} // namespace

QByteArray HotkeyConfigJson::encode(const HotkeyConfig &config)
{
    OrderedJson bindings = OrderedJson::object();
    auto &members = bindings.get_ref<OrderedJson::object_t &>();
    members.reserve(std::size_t(config.bindings.size()));
    for (auto it = config.bindings.cbegin(); it != config.bindings.cend(); ++it) {
        // The map's keys are unique already; the ordered map's own insert
        // would search all earlier members for each one.
        members.Container::emplace_back(it.key().toStdString(), encodeBinding(it.value()));
    }
    OrderedJson root = OrderedJson::object();
    root["enabled"] = config.enabled;
    root["leaderModifiersRaw"] = config.leaderModifiersRaw;
    root["bindings"] = std::move(bindings);
    // QString converts to valid UTF-8 already; replacing is only a guard.
    return QByteArray::fromStdString(root.dump(-1, ' ', false, OrderedJson::error_handler_t::replace));
}

std::optional<HotkeyConfig> HotkeyConfigJson::decode(const QByteArray &json)
{
    // Strict RFC 8259: invalid UTF-8, unpaired surrogates, leading zeros and
    // trailing text fail the parse. Of a repeated member the last one counts.
    const Json root = Json::parse(json.cbegin(), json.cend(), nullptr, /*allow_exceptions=*/false);
    if (!root.is_object())
        return std::nullopt; // also a failed parse, which is "discarded"
    const auto enabled = root.find("enabled");
    const auto leader = unsignedMember(root, "leaderModifiersRaw");
    const auto bindings = root.find("bindings");
    if (enabled == root.end() || !enabled->is_boolean() || !leader || bindings == root.end()
        || !bindings->is_object())
        return std::nullopt;

    HotkeyConfig config;
    config.enabled = enabled->get<bool>();
    config.leaderModifiersRaw = *leader;
    bool ok = true;
    for (auto it = bindings->cbegin(); it != bindings->cend(); ++it) {
        config.bindings.insert(QString::fromStdString(it.key()), decodeBinding(it.value(), ok));
        if (!ok)
            return std::nullopt;
    }
    return config;
}
