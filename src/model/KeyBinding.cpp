#include "model/KeyBinding.h"

#include <QHash>

namespace {

// Keys whose typed character makes a poor label.
const QHash<quint32, QString> &specialKeyLabels()
{
    static const QHash<quint32, QString> labels = {
        {49, QStringLiteral("Space")},   {36, QStringLiteral("\u21A9")},  {48, QStringLiteral("\u21E5")},
        {117, QStringLiteral("\u2326")}, {123, QStringLiteral("\u2190")}, {124, QStringLiteral("\u2192")},
        {126, QStringLiteral("\u2191")}, {125, QStringLiteral("\u2193")}, {115, QStringLiteral("\u2196")},
        {119, QStringLiteral("\u2198")}, {116, QStringLiteral("\u21DE")}, {121, QStringLiteral("\u21DF")},
        {122, QStringLiteral("F1")},     {120, QStringLiteral("F2")},     {99, QStringLiteral("F3")},
        {118, QStringLiteral("F4")},     {96, QStringLiteral("F5")},      {97, QStringLiteral("F6")},
        {98, QStringLiteral("F7")},      {100, QStringLiteral("F8")},     {101, QStringLiteral("F9")},
        {109, QStringLiteral("F10")},    {103, QStringLiteral("F11")},    {111, QStringLiteral("F12")},
    };
    return labels;
}

} // namespace

std::optional<KeyBinding> KeyBinding::fromEvent(const KeyEvent &event)
{
    KeyBinding binding;
    binding.keyCode = event.keyCode;
    const auto special = specialKeyLabels().constFind(binding.keyCode);
    if (special != specialKeyLabels().cend()) {
        binding.label = *special;
    } else {
        if (!event.charactersIgnoringModifiers)
            return std::nullopt;
        binding.label = event.charactersIgnoringModifiers->trimmed().toUpper();
        if (binding.label.isEmpty())
            return std::nullopt;
    }
    binding.modifiersRaw = event.modifierFlags & ModifierBits::mask;
    return binding;
}

quint32 CarbonModifiers::fromModifierBits(quint64 bits)
{
    quint32 carbon = 0;
    if (bits & ModifierBits::command)
        carbon |= command;
    if (bits & ModifierBits::option)
        carbon |= option;
    if (bits & ModifierBits::control)
        carbon |= control;
    if (bits & ModifierBits::shift)
        carbon |= shift;
    return carbon;
}

quint32 KeyBinding::carbonModifiers() const
{
    return CarbonModifiers::fromModifierBits(modifiersRaw);
}

QStringList modifierGlyphs(quint64 modifierFlags)
{
    // Linux desktops name the modifiers in words.
    QStringList glyphs;
    if (modifierFlags & ModifierBits::control)
        glyphs.append(QStringLiteral("Ctrl"));
    if (modifierFlags & ModifierBits::option)
        glyphs.append(QStringLiteral("Alt"));
    if (modifierFlags & ModifierBits::shift)
        glyphs.append(QStringLiteral("Shift"));
    if (modifierFlags & ModifierBits::command)
        glyphs.append(QStringLiteral("Super"));
    return glyphs;
}

QString KeyBinding::title() const
{
    QStringList parts = modifierGlyphs(modifiersRaw & ModifierBits::mask);
    parts.append(label);
    return parts.join(QLatin1Char('+'));
}
