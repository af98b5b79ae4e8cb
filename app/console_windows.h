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

// read_console_key's codes, one a call. take_key_event takes what one event of
// the Windows console's input gives: false when it gives nothing (skipped).
// Only a key going down gives codes, and not a modifier alone: a character its
// code (one outside ASCII unknown_key), any other key 0 then its scan code
// (F11 and F12 133 and 134, as on a terminal; cursor keys by their virtual
// key, so the arrow block and the keypad agree).
bool take_key_event(bool key_down, int virtual_key, int scan_code, int character);
// After the read: the first code of the key taken, the rest for next_key_code.
// When the mode could not be put back, -1, and the key is dropped, so that no
// code of it comes later.
int first_key_code(bool mode_restored);
// The next code of the key taken, -1 when it has given them all.
int next_key_code();
