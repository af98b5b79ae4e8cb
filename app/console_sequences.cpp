// app/console_sequences.cpp -- terminal input split into keys: escape
// sequences turned into the PC's two-code keys, terminal replies taken whole.
// Used by the POSIX reader (console_posix.cpp); it does no I/O.
#include "console_posix.h"

#include <cstring>

// Keys without a character come from a terminal as ESC [ ... final (CSI) or
// ESC O final (SS3), modifiers as extra parameters (ESC [ 1 ; 5 A), which are
// ignored. Their second codes are the PC scan codes. Any other sequence gives
// 0 then unknown_key. A NUL byte (Ctrl+Space) gives 0 then 3, as on the PC, so
// that a lone 0 never appears without its second code.
//
// A terminal also writes replies to the input (to a colour query, say), and
// those must not turn into keys. So a sequence is always taken whole, however
// long: a CSI or SS3 up to its final byte, and the strings ESC ] (OSC), ESC P
// (DCS), ESC X (SOS), ESC ^ (PM) and ESC _ (APC) up to BEL or ESC \. Each
// string, and each CSI or SS3 longer than the reader's buffer, gives 0 then
// unknown_key, as an unknown key would: no key sends one. (Giving no code at
// all was the other choice; this one keeps "every key gives a code" true.)

constexpr int esc = 27, bel = 7;
constexpr int key_up = 72, key_down = 80, key_left = 75, key_right = 77;
constexpr int key_home = 71, key_end = 79, key_page_up = 73, key_page_down = 81;
constexpr int key_insert = 82, key_delete = 83, key_centre = 76, key_back_tab = 15;
constexpr int key_f1 = 59, key_f11 = 133, key_f12 = 134; // F1..F10 are 59..68
constexpr int key_nul = 3;

// Second code for a sequence ending in a letter: ESC [ A, ESC O A, ESC [ 1 ; 5 A.
// Lower-case a..d are rxvt's shifted cursor keys; E and G are keypad 5.
static int letter_key(int final)
{
    static const char letters[] = "ABCDabcdHFEGPQRSZ";
    static const int codes[] = {
        key_up,    key_down,   key_right,  key_left,   key_up,       key_down,
        key_right, key_left,   key_home,   key_end,    key_centre,   key_centre,
        key_f1,    key_f1 + 1, key_f1 + 2, key_f1 + 3, key_back_tab,
    };
    const void *at = memchr(letters, final, sizeof codes / sizeof codes[0]);
    return at ? codes[static_cast<const char *>(at) - letters] : unknown_key;
}

// Second code for ESC [ number ~ (VT220 editing and function keys; rxvt ends
// modified ones in ^ $ @ instead of ~).
static int number_key(int number)
{
    constexpr int u = unknown_key, f = key_f1;
    static const int codes[25] = {
        u,        key_home, key_insert, key_delete, key_end, key_page_up, key_page_down, // 0-6
        key_home, key_end,  u,          u,          f,       f + 1,       f + 2,         // 7-13
        f + 3,    f + 4,    u,          f + 5,      f + 6,   f + 7,       f + 8,         // 14-20
        f + 9,    u,        key_f11,    key_f12,                                         // 21-24
    };
    return number < 25 ? codes[number] : unknown_key;
}

static bool between(int c, int low, int high)
{
    return c >= low && c <= high;
}
constexpr int parameter_low = 0x30, parameter_high = 0x3f; // digits ; : < = > ?
constexpr int intermediate_low = 0x20, intermediate_high = 0x2f;
constexpr int final_low = 0x40, final_high = 0x7e;

// A two-code key of length `used`.
static int two_codes(int used, int code, int *first, int *second)
{
    *first = 0;
    *second = code;
    return used;
}

// ESC [ parameters intermediates final, from bytes[2]. Returns the length, 0
// when more bytes are needed, -1 when it is no sequence.
static int decode_csi(const unsigned char *bytes, int count, int *first, int *second)
{
    if (count > 2 && bytes[2] == '[') { // Linux console: ESC [ [ A is F1 .. ESC [ [ E is F5
        if (count < 4) return 0;
        int c = bytes[3];
        return two_codes(4, c >= 'A' && c <= 'E' ? key_f1 + (c - 'A') : unknown_key, first, second);
    }
    int number = 0, i = 2;
    bool in_number = true; // only the first parameter names the key
    for (; i < count && between(bytes[i], parameter_low, parameter_high); ++i) {
        if (!between(bytes[i], '0', '9'))
            in_number = false;
        else if (in_number && number < 1000)
            number = number * 10 + (bytes[i] - '0');
    }
    while (i < count && between(bytes[i], intermediate_low, intermediate_high)) ++i;
    if (i == count) return 0;
    int final = bytes[i];
    if (!between(final, final_low, final_high)) return -1;
    bool numbered = final == '~' || final == '^' || final == '$' || final == '@';
    return two_codes(i + 1, numbered ? number_key(number) : letter_key(final), first, second);
}

// ESC O final, or ESC O modifier final (old xterm). The application keypad
// sends its digits and signs as ESC O j .. ESC O y and Enter as ESC O M: those
// are characters, so they come back as one code, final - 64.
static int decode_ss3(const unsigned char *bytes, int count, int *first, int *second)
{
    int i = 2;
    while (i < count && between(bytes[i], parameter_low, parameter_high)) ++i;
    if (i == count) return 0;
    int final = bytes[i];
    if (!between(final, final_low, final_high)) return -1;
    if ((final >= 'j' && final <= 'y') || final == 'M') {
        *first = final - 64;
        *second = -1;
        return i + 1;
    }
    return two_codes(i + 1, letter_key(final), first, second);
}

// ESC ] / P / X / ^ / _ text, up to BEL or ESC \ (ST). Another ESC inside ends the
// string before it and starts the next key, as it does in a terminal.
static int decode_string(const unsigned char *bytes, int count, int *first, int *second)
{
    for (int i = 2; i < count; ++i) {
        if (bytes[i] == bel) return two_codes(i + 1, unknown_key, first, second);
        if (bytes[i] != esc) continue;
        if (i + 1 == count) return 0;
        return two_codes(bytes[i + 1] == '\\' ? i + 2 : i, unknown_key, first, second);
    }
    return 0;
}

int decode_key(const unsigned char *bytes, int count, bool final, int *first, int *second)
{
    if (count <= 0) return 0;
    *second = -1;
    if (bytes[0] == 0) return two_codes(1, key_nul, first, second);
    *first = bytes[0];
    if (bytes[0] != esc) return 1;
    if (count == 1) return final ? 1 : 0;
    int used = -1;
    if (bytes[1] == '[') used = decode_csi(bytes, count, first, second);
    if (bytes[1] == 'O') used = decode_ss3(bytes, count, first, second);
    if (memchr("]PX^_", bytes[1], 5)) used = decode_string(bytes, count, first, second);
    if (used > 0 || (used == 0 && !final)) return used;
    // Esc on its own, or followed by bytes that make no sequence: the Esc
    // is a key (first is still 27) and the bytes after it are keys of their own.
    return 1;
}
