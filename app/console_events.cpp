// app/console_events.cpp -- what the Windows console's input events and modes
// mean to read_console_key, and the codes of the key it read last, given one a
// call. Plain numbers in and out and no I/O, so it builds and is tested on
// every platform; console_windows.cpp does the reading.
#include "console_windows.h"

// Virtual-key codes of the Windows keyboard. Shift, Ctrl, Alt are 0x10..0x12,
// and 0xa0..0xa5 as left and right keys.
constexpr int vk_shift = 0x10, vk_alt = 0x12, vk_left_shift = 0xa0, vk_right_alt = 0xa5;
constexpr int vk_caps_lock = 0x14, vk_num_lock = 0x90, vk_scroll_lock = 0x91;
constexpr int vk_left_windows = 0x5b, vk_right_windows = 0x5c;
constexpr int vk_left = 0x25, vk_up = 0x26, vk_right = 0x27, vk_down = 0x28;
constexpr int vk_f11 = 0x7a, vk_f12 = 0x7b;

unsigned long console_raw_mode(unsigned long mode)
{
    // With virtual-terminal input on, a cursor key would come as ESC [ A, and
    // F5 as ESC [ 1 5 ~, whose 1 the menu would take as a choice.
    return mode & ~(console_processed_input | console_line_input | console_echo_input |
                    console_virtual_terminal_input);
}

// Shift, Ctrl and Alt (either side), the lock keys and the Windows keys give
// no code alone.
static bool modifier(int key)
{
    return (key >= vk_shift && key <= vk_alt) || (key >= vk_left_shift && key <= vk_right_alt) ||
           key == vk_caps_lock || key == vk_num_lock || key == vk_scroll_lock ||
           key == vk_left_windows || key == vk_right_windows;
}

// Second code of a key without a character: its PC scan code (1..127), but
// the cursor keys, which the keypad also sends, by their virtual keys, and F11
// and F12 as a terminal's give them.
static int second_code(int virtual_key, int scan_code)
{
    static const int named[][2] = {{vk_up, 72},    {vk_down, 80}, {vk_left, 75},
                                   {vk_right, 77}, {vk_f11, 133}, {vk_f12, 134}};
    for (const auto &key : named)
        if (key[0] == virtual_key) return key[1];
    return scan_code > 0 && scan_code < 128 ? scan_code : unknown_key;
}

static int codes[2], code_count, next_code; // the last key's codes, next_code not yet given

bool take_key_event(bool key_down, int virtual_key, int scan_code, int character)
{
    code_count = 0;
    next_code = 0;
    if (!key_down || modifier(virtual_key)) return false;
    if (character != 0) {
        // A UTF-16 unit cut to 8 bits could read as 1 or 2 (U+0131 as 0x31).
        codes[0] = character < 128 ? character : unknown_key;
        code_count = 1;
        return true;
    }
    codes[0] = 0;
    codes[1] = second_code(virtual_key, scan_code);
    code_count = 2;
    return true;
}

int first_key_code(bool mode_restored)
{
    if (!mode_restored) next_code = code_count;
    return next_key_code();
}

int next_key_code()
{
    if (next_code == code_count) return -1;
    return codes[next_code++];
}
