// app/console_windows.cpp -- read_console_key on Windows: key events from the
// console's input buffer (CONIN$) in raw mode, turned into codes by
// take_key_event; the mode put back after the menu, and by a console
// control handler when the program is ended while the menu waits.
#include "console_windows.h"

#include <windows.h>

static_assert(console_processed_input == ENABLE_PROCESSED_INPUT &&
                  console_line_input == ENABLE_LINE_INPUT &&
                  console_echo_input == ENABLE_ECHO_INPUT &&
                  console_virtual_terminal_input == ENABLE_VIRTUAL_TERMINAL_INPUT,
              "console mode flags");

static HANDLE console_in = INVALID_HANDLE_VALUE; // CONIN$, kept open once opened
static DWORD given_mode;                         // the mode to put back
static volatile LONG raw_on;                     // also read by the control handler's thread

// Runs on a thread of its own for Ctrl+Break, the console closed, log-off and
// shut-down (Ctrl+C is a key while raw mode is on). The handlers after it, in
// the end the system's own, end the process.
static BOOL WINAPI on_control(DWORD)
{
    if (raw_on) SetConsoleMode(console_in, given_mode);
    return FALSE;
}

static bool enter_raw_mode()
{
    if (console_in == INVALID_HANDLE_VALUE)
        console_in =
            CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (console_in == INVALID_HANDLE_VALUE || !GetConsoleMode(console_in, &given_mode))
        return false;
    SetConsoleCtrlHandler(on_control, TRUE); // before raw mode comes on
    raw_on = SetConsoleMode(console_in, console_raw_mode(given_mode));
    if (!raw_on) SetConsoleCtrlHandler(on_control, FALSE);
    return raw_on;
}

static bool leave_raw_mode()
{
    bool restored = SetConsoleMode(console_in, given_mode);
    raw_on = false;
    SetConsoleCtrlHandler(on_control, FALSE);
    return restored;
}

bool hold_raw_mode()
{
    return raw_on || enter_raw_mode();
}

void release_raw_mode()
{
    if (raw_on) leave_raw_mode();
}

// Reads events until a key gives codes; false when the console cannot be read.
// Releases, modifiers alone, mouse, window-size, focus and menu events are skipped.
static bool read_key_event()
{
    for (bool taken = false; !taken;) {
        INPUT_RECORD event;
        DWORD got = 0;
        if (!ReadConsoleInputW(console_in, &event, 1, &got)) return false;
        if (got != 1 || event.EventType != KEY_EVENT) continue; // none: Wine's, after Ctrl+C
        const KEY_EVENT_RECORD &key = event.Event.KeyEvent;
        taken = take_key_event(key.bKeyDown, key.wVirtualKeyCode, key.wVirtualScanCode,
                               key.uChar.UnicodeChar);
    }
    return true;
}

int read_console_key()
{
    int code = next_key_code(); // the second code of the last key
    if (code >= 0) return code;
    bool held = raw_on; // under the menu, raw mode is on already and stays on
    if (!held && !enter_raw_mode()) return -1;
    bool read = read_key_event();
    bool restored = held || leave_raw_mode();
    if (!read) return -1;
    return first_key_code(restored);
}
