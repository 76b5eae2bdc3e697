#pragma once

#include <QtGlobal>

// Modifier bits in the stored (Cocoa) layout, the same on every platform.
namespace ModifierBits {
constexpr quint64 shift = 0x20000;
constexpr quint64 control = 0x40000;
constexpr quint64 option = 0x80000;
constexpr quint64 command = 0x100000;
constexpr quint64 mask = 0x1E0000;
} // namespace ModifierBits

// The same modifiers in the classic hot-key mask layout.
namespace CarbonModifiers {
constexpr quint32 command = 0x100;
constexpr quint32 shift = 0x200;
constexpr quint32 option = 0x800;
constexpr quint32 control = 0x1000;
} // namespace CarbonModifiers
