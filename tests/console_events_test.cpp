// tests/console_events_test.cpp -- the Windows console's key events and modes as
// read_console_key takes them, on every platform (it needs no console).
#include "console_windows.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace
{
std::vector<int> codes(bool down, int virtual_key, int scan_code, int character)
{
    int got[2] = {-7, -7};
    int count = console_key_codes(down, virtual_key, scan_code, character, got);
    return std::vector<int>(got, got + count);
}

TEST(ConsoleEvents, KeysGiveTheirCodes)
{
    const int u = unknown_key;
    // virtual key, scan code, character: codes. Cursor keys from the arrow block and the
    // keypad (Num Lock off) by their virtual keys, whatever the scan code says.
    const std::pair<std::vector<int>, std::vector<int>> keys[] = {
        {{0x41, 30, 'a'}, {'a'}}, {{0x31, 2, '1'}, {'1'}},   {{0x43, 46, 3}, {3}},
        {{0x08, 14, 127}, {127}}, {{0xde, 40, 0x80}, {u}},   {{0x49, 23, 0x131}, {u}},
        {{0x26, 72, 0}, {0, 72}}, {{0x28, 80, 0}, {0, 80}},  {{0x25, 75, 0}, {0, 75}},
        {{0x27, 77, 0}, {0, 77}}, {{0x25, 0, 0}, {0, 75}},   {{0x26, 99, 0}, {0, 72}},
        {{0x70, 59, 0}, {0, 59}}, {{0x7a, 87, 0}, {0, 133}}, {{0x7b, 88, 0}, {0, 134}},
        {{0xff, 1, 0}, {0, 1}},   {{0xff, 0, 0}, {0, u}},    {{0xff, 128, 0}, {0, u}}};
    for (const auto &[key, want] : keys) {
        EXPECT_EQ(codes(true, key[0], key[1], key[2]), want) << key[0] << " " << key[1];
        EXPECT_EQ(codes(false, key[0], key[1], key[2]), std::vector<int>()) << "released";
    }
    // Shift, Ctrl, Alt (either side), Caps Lock, Num Lock, Scroll Lock and the Windows
    // keys give nothing alone; every other key without a character gives two codes.
    const std::set<int> alone = {0x10, 0x11, 0x12, 0x14, 0x5b, 0x5c, 0x90,
                                 0x91, 0xa0, 0xa1, 0xa2, 0xa3, 0xa4, 0xa5};
    for (int key = 0; key < 256; ++key)
        EXPECT_EQ(codes(true, key, 42, 0).size(), alone.count(key) ? 0u : 2u) << key;
}

TEST(ConsoleEvents, RawModeClearsLineEchoProcessingAndTerminalInput)
{
    // The default mode of a console's input; with virtual-terminal input; all bits; none.
    for (auto [mode, raw] :
         {std::pair{0x1f7u, 0x1f0u}, {0x2f7u, 0xf0u}, {0xffffu, 0xfdf8u}, {0u, 0u}})
        EXPECT_EQ(console_raw_mode(mode), raw) << mode;
}
} // namespace
