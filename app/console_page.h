// app/console_page.h -- the page's key logic: a key pressed on the page as
// read_console_key gives it (console_page.cpp), for the reader in
// console_web.cpp.
#pragma once

#include "console.h"

// What one key going down on the page gives read_console_key: the number of
// codes (0: none), stored in codes[0] and codes[1]. character is the key's
// character when it has one (the browser's key value is one character),
// else 0; key is the browser's key value. A character its code (one outside
// ASCII unknown_key, so that none cut to 8 bits reads as 1 or 2); Enter,
// Tab, Backspace and Esc their control codes, as on the Windows console;
// modifiers, lock keys and dead keys nothing; any other key 0 then its PC
// scan code (cursor keys 72 80 75 77, F11 and F12 133 and 134, as on a
// terminal), or unknown_key when the PC has no such key.
int page_console_codes(int character, const char *key, int codes[2]);
