// tests/console_events_test.cpp -- the Windows console's key events and modes as
// read_console_key takes them, on every platform (it needs no console).
#include "console_windows.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace
{
using Codes = std::vector<int>;

// The codes read_console_key gives, a call each, for one event read with the
// mode put back after it; a skipped event gives none.
Codes codes(bool down, int virtual_key, int scan_code, int character)
{
    Codes given;
    bool taken = take_key_event(down, virtual_key, scan_code, character);
    for (int code = first_key_code(true); code != -1; code = next_key_code()) given.push_back(code);
    EXPECT_EQ(taken, !given.empty()) << virtual_key;
    return given;
}

TEST(ConsoleEvents, KeysGiveTheirCodes)
{
    const struct {
        int virtual_key, scan_code, character;
        Codes codes;
    } keys[] = {
        {0x41, 30, 'a', {'a'}},
        {0xde, 40, 0x80, {unknown_key}}, // outside ASCII
        // Cursor keys from the arrow block and from the keypad (Num Lock off)
        // by their virtual keys, whatever the scan code says.
        {0x26, 99, 0, {0, 72}},
        {0x28, 0, 0, {0, 80}},
        {0x25, 0, 0, {0, 75}},
        {0x27, 0, 0, {0, 77}},
        {0x7a, 87, 0, {0, 133}}, // F11 and F12
        {0x7b, 88, 0, {0, 134}},
        // Any other key: its scan code, where it is one.
        {0xff, 1, 0, {0, 1}},
        {0xff, 0, 0, {0, unknown_key}},
        {0xff, 128, 0, {0, unknown_key}},
    };
    for (const auto &key : keys)
        EXPECT_EQ(codes(true, key.virtual_key, key.scan_code, key.character), key.codes);
}

TEST(ConsoleEvents, ReleasesAndModifiersAloneGiveNothing)
{
    EXPECT_EQ(codes(false, 0x41, 30, 'a'), Codes());
    // Shift, Ctrl, Alt (either side), Caps Lock, Num Lock, Scroll Lock and the
    // Windows keys; any other key gives its codes.
    const std::set<int> alone = {0x10, 0x11, 0x12, 0x14, 0x5b, 0x5c, 0x90,
                                 0x91, 0xa0, 0xa1, 0xa2, 0xa3, 0xa4, 0xa5};
    for (int key = 0; key < 256; ++key)
        EXPECT_EQ(codes(true, key, 42, 0).empty(), alone.count(key) == 1) << key;
}

TEST(ConsoleEvents, AKeyWhoseModeWasNotPutBackGivesNoCodeLater)
{
    take_key_event(true, 0x26, 72, 0);
    EXPECT_EQ(first_key_code(false), -1);
    EXPECT_EQ(next_key_code(), -1) << "Up's scan code without its 0";
}

TEST(ConsoleEvents, RawModeClearsLineEchoProcessingAndTerminalInput)
{
    // A console's input in its default mode, with virtual-terminal input on.
    EXPECT_EQ(console_raw_mode(0x1f7 | console_virtual_terminal_input), 0x1f0u);
}
} // namespace
