// app/console.h -- the console front end on every platform: the banner, the
// difficulty menu, and the key reader each platform gives it. The files:
//   console.cpp           banner and menu, everywhere
//   console_posix.cpp     the reader on a POSIX terminal (console_posix.h)
//   console_windows.cpp   the reader on the Windows console (console_windows.h)
//   console_web.cpp       the reader on the page, in a browser (console_page.h)
// Each platform's key logic that does no I/O (console_sequences.cpp,
// console_events.cpp, console_page.cpp) builds and is tested everywhere.
#pragma once

// Writes the twelve banner and menu lines to standard output and flushes.
void print_banner();

// Reads keys with read_console_key until one chooses a size; sets cube_size
// to 2 (key 1) or 3 (key 2). Exits with status 1 and a line on stderr when
// the console cannot be read at all (no terminal, or its input has ended).
void run_menu();

// One key from the console (the controlling terminal, the Windows console's
// input, or the page), without echo or Enter: its character code, or 0 then
// a PC scan code on the next call for keys without a character (cursor keys
// 72 Up, 80 Down, 75 Left, 77 Right). -1 when the console cannot be opened,
// switched to raw mode, read or switched back. It leaves the mode it found:
// raw under hold_raw_mode, else the saved one.
int read_console_key();

// Raw mode from now until release_raw_mode, for a run of read_console_key
// calls (the menu). On a POSIX terminal the signals are caught as while a
// read waits: an ending signal puts the mode back first, SIGTSTP puts it back
// and stops, SIGCONT takes the mode of that moment to put back later and goes
// raw again. On Windows a console control handler (Ctrl+Break, the console
// closed, log-off, shut-down) puts the mode back before the process ends. A
// page has no mode. False when the console cannot be opened or switched.
// release_raw_mode puts the mode back (when it was held) and the signals or
// handler as they were.
bool hold_raw_mode();
void release_raw_mode();

// The second code of a key no PC key has (an unknown sequence or key), and
// the one code of a character outside ASCII on Windows and on the page. Not
// -1 as a signed char.
constexpr int unknown_key = 254;
