// app/console_page.cpp -- what a key pressed on the page means to
// read_console_key. Plain values in and out and no I/O, so it builds and is
// tested on every platform; console_web.cpp does the waiting.
#include "console_page.h"

#include <cstring>

struct console_named_key {
    const char *key;   // the browser's key value
    int first, second; // second -1: one code
};

// The keys with a name instead of a character, by the browser's key values.
static const console_named_key named_keys[] = {
    {"Enter", 13, -1},  {"Tab", 9, -1},       {"Backspace", 8, -1}, {"Escape", 27, -1},
    {"ArrowUp", 0, 72}, {"ArrowDown", 0, 80}, {"ArrowLeft", 0, 75}, {"ArrowRight", 0, 77},
    {"Home", 0, 71},    {"End", 0, 79},       {"PageUp", 0, 73},    {"PageDown", 0, 81},
    {"Insert", 0, 82},  {"Delete", 0, 83},    {"Clear", 0, 76},     {"F1", 0, 59},
    {"F2", 0, 60},      {"F3", 0, 61},        {"F4", 0, 62},        {"F5", 0, 63},
    {"F6", 0, 64},      {"F7", 0, 65},        {"F8", 0, 66},        {"F9", 0, 67},
    {"F10", 0, 68},     {"F11", 0, 133},      {"F12", 0, 134},
};

// Keys that give nothing alone: modifiers, locks, and a dead key or an input
// method still composing a character.
static const char *const silent_keys[] = {
    "Shift",    "Control", "Alt",        "AltGraph", "Meta",
    "CapsLock", "NumLock", "ScrollLock", "Dead",     "Process",
};

int page_console_codes(int character, const char *key, int codes[2])
{
    if (character != 0) {
        codes[0] = character < 128 ? character : unknown_key;
        return 1;
    }
    for (const char *silent : silent_keys)
        if (strcmp(key, silent) == 0) return 0;
    codes[0] = 0;
    codes[1] = unknown_key;
    for (const console_named_key &k : named_keys) {
        if (strcmp(key, k.key) != 0) continue;
        codes[0] = k.first;
        codes[1] = k.second;
        return k.second == -1 ? 1 : 2;
    }
    return 2;
}
