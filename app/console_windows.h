// app/console_windows.h -- the Windows console's key logic: its input modes
// and key events as read_console_key gives them (console_events.cpp), for the
// reader in console_windows.cpp.
#pragma once

#include "console.h"

// The Windows console's input modes, as its API numbers them.
constexpr unsigned long console_processed_input = 0x1, console_line_input = 0x2,
                        console_echo_input = 0x4, console_virtual_terminal_input = 0x200;

// The console input mode made raw: no line editing, echo or processed control
// keys (Ctrl+C reads as 3), and keys as key events, not as escape sequences.
unsigned long console_raw_mode(unsigned long mode);

// What one event of the Windows console's input gives read_console_key: the
// number of codes (0: skipped), stored in codes[0] and codes[1]. Only a key
// going down gives codes, and not a modifier alone: a character its code (one
// outside ASCII unknown_key), any other key 0 then its scan code (F11 and F12
// 133 and 134, as on a terminal; cursor keys by their virtual key, so the
// arrow block and the keypad agree).
int console_key_codes(bool key_down, int virtual_key, int scan_code, int character, int codes[2]);
