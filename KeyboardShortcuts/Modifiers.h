#pragma once

namespace Blinkwit::KeyboardShortcuts::Modifier {

// The classic modifier bits that shortcuts are stored with.
constexpr int control = 0x1000;
constexpr int option = 0x800;
constexpr int shift = 0x200;
constexpr int command = 0x100;
constexpr int function = 0x20000;

constexpr int all = control | option | shift | command | function;

} // namespace Blinkwit::KeyboardShortcuts::Modifier
