#include "platform/KeyCodeTable.h"

#include <Qt>
#include <array>

namespace vantrel::KeyCodeTable {

namespace {
// An X server numbers its keycodes from 8: keycode = evdev code + 8.
constexpr std::uint32_t kXOffset = 8;

constexpr std::array kEntries{
    Entry{0, 30, Qt::Key_A},       Entry{1, 31, Qt::Key_S},          Entry{2, 32, Qt::Key_D},
    Entry{3, 33, Qt::Key_F},       Entry{4, 35, Qt::Key_H},          Entry{5, 34, Qt::Key_G},
    Entry{6, 44, Qt::Key_Z},       Entry{7, 45, Qt::Key_X},          Entry{8, 46, Qt::Key_C},
    Entry{9, 47, Qt::Key_V},       Entry{11, 48, Qt::Key_B},         Entry{12, 16, Qt::Key_Q},
    Entry{13, 17, Qt::Key_W},      Entry{14, 18, Qt::Key_E},         Entry{15, 19, Qt::Key_R},
    Entry{16, 21, Qt::Key_Y},      Entry{17, 20, Qt::Key_T},         Entry{18, 2, Qt::Key_1},
    Entry{19, 3, Qt::Key_2},       Entry{20, 4, Qt::Key_3},          Entry{21, 5, Qt::Key_4},
    Entry{22, 7, Qt::Key_6},       Entry{23, 6, Qt::Key_5},          Entry{24, 13, Qt::Key_Equal},
    Entry{25, 10, Qt::Key_9},      Entry{26, 8, Qt::Key_7},          Entry{27, 12, Qt::Key_Minus},
    Entry{28, 9, Qt::Key_8},       Entry{29, 11, Qt::Key_0},         Entry{30, 27, Qt::Key_BracketRight},
    Entry{31, 24, Qt::Key_O},      Entry{32, 22, Qt::Key_U},         Entry{33, 26, Qt::Key_BracketLeft},
    Entry{34, 23, Qt::Key_I},      Entry{35, 25, Qt::Key_P},         Entry{36, 28, Qt::Key_Return},
    Entry{37, 38, Qt::Key_L},      Entry{38, 36, Qt::Key_J},         Entry{39, 40, Qt::Key_Apostrophe},
    Entry{40, 37, Qt::Key_K},      Entry{41, 39, Qt::Key_Semicolon}, Entry{42, 43, Qt::Key_Backslash},
    Entry{43, 51, Qt::Key_Comma},  Entry{44, 53, Qt::Key_Slash},     Entry{45, 49, Qt::Key_N},
    Entry{46, 50, Qt::Key_M},      Entry{47, 52, Qt::Key_Period},    Entry{48, 15, Qt::Key_Tab},
    Entry{49, 57, Qt::Key_Space},  Entry{50, 41, Qt::Key_QuoteLeft}, Entry{51, 14, Qt::Key_Backspace},
    Entry{53, 1, Qt::Key_Escape},  Entry{122, 59, Qt::Key_F1},       Entry{120, 60, Qt::Key_F2},
    Entry{99, 61, Qt::Key_F3},     Entry{118, 62, Qt::Key_F4},       Entry{96, 63, Qt::Key_F5},
    Entry{97, 64, Qt::Key_F6},     Entry{98, 65, Qt::Key_F7},        Entry{100, 66, Qt::Key_F8},
    Entry{101, 67, Qt::Key_F9},    Entry{109, 68, Qt::Key_F10},      Entry{103, 87, Qt::Key_F11},
    Entry{111, 88, Qt::Key_F12},   Entry{123, 105, Qt::Key_Left},    Entry{124, 106, Qt::Key_Right},
    Entry{125, 108, Qt::Key_Down}, Entry{126, 103, Qt::Key_Up},
};
} // namespace

std::span<const Entry> entries() {
    return kEntries;
}

std::optional<std::uint32_t> xKeycode(std::uint32_t macKeyCode) {
    for (const Entry& entry : kEntries)
        if (entry.macKeyCode == macKeyCode) return entry.evdevCode + kXOffset;
    return std::nullopt;
}

std::optional<std::uint32_t> macKeyCode(std::uint32_t xKeycode) {
    for (const Entry& entry : kEntries)
        if (entry.evdevCode + kXOffset == xKeycode) return entry.macKeyCode;
    return std::nullopt;
}

std::optional<std::uint32_t> macKeyCodeForQtKey(int qtKey) {
    // The keypad's Enter is the Return key's twin.
    if (qtKey == Qt::Key_Enter) qtKey = Qt::Key_Return;
    for (const Entry& entry : kEntries)
        if (entry.qtKey == qtKey) return entry.macKeyCode;
    return std::nullopt;
}

} // namespace vantrel::KeyCodeTable
