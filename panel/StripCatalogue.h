#pragma once

// The strip's own rows: pen sizes, colours and the commands, in strip
// order, with what each button shows and does. The tools' rows come from
// the tool table.

#include "canvas/BoardKeys.h"
#include "panel/PaintControlScene.h"

#include <array>

namespace StripCatalogue {

using Slot = void (PaintControlScene::*)();
using RingSlot = void (PaintControlScene::*)(bool);

// The width of "size 1", the size a new board starts with.
constexpr int kSizeOneWidth = 2;

struct SizeEntry {
    const char* tip;
    const char* name;
    int side;
    Slot slot;
};
extern const std::array<SizeEntry, 5> kSizes;

struct ColorEntry {
    const char* tip;
    const char* name;
    Slot slot;
    RingSlot ring;
};
extern const std::array<ColorEntry, 8> kColors;

// The commands after the tools; their group ids follow the item types'.
struct CommandEntry {
    const char* tip;
    const char* name;
    int id;
    Slot slot;
    // The key on the board that does what the button does.
    BoardCommand key;
};
extern const std::array<CommandEntry, 10> kCommands;

// The keys 1 to 8 choose the colours in strip order.
BoardCommand colourKey(int index);

extern const char kOpenStyle[];
extern const char kOffStyle[];

} // namespace StripCatalogue
