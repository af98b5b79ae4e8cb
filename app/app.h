// app/app.h -- start-up and the console front end: banner, difficulty menu,
// console key reader, the window and its projection. The files:
//   console.cpp           banner and menu, on every platform
//   console_posix.cpp     read_console_key and raw mode on a POSIX terminal
//   console_sequences.cpp decode_key: terminal bytes into keys (POSIX)
//   console_windows.cpp   read_console_key and raw mode on the Windows console
//   console_events.cpp    console_key_codes, console_raw_mode: the Windows
//                         console's events and modes, built and tested everywhere
//   window.cpp            the window, its state and reshape
#pragma once

// Writes the twelve banner and menu lines to standard output and flushes.
void print_banner();

// Reads keys with read_console_key until one chooses a size; sets cube_size
// to 2 (key 1) or 3 (key 2). Exits with status 1 and a line on stderr when
// the console cannot be read at all (no terminal, or its input has ended).
void run_menu();

// One key from the console (the controlling terminal, or the Windows
// console's input), without echo or Enter: its character code, or 0 then a PC
// scan code on the next call for keys without a character (cursor keys 72 Up,
// 80 Down, 75 Left, 77 Right). -1 when the console cannot be opened, switched
// to raw mode, read or switched back. It leaves the mode it found: raw under
// hold_raw_mode, else the saved one.
int read_console_key();

// Raw mode from now until release_raw_mode, for a run of read_console_key
// calls (the menu). On a POSIX terminal the signals are caught as while a
// read waits: an ending signal puts the mode back first, SIGTSTP puts it back
// and stops, SIGCONT takes the mode of that moment to put back later and goes
// raw again. On Windows a console control handler (Ctrl+Break, the console
// closed, log-off, shut-down) puts the mode back before the process ends.
// False when the console cannot be opened or switched. release_raw_mode puts
// the mode back (when it was held) and the signals or handler as they were.
bool hold_raw_mode();
void release_raw_mode();

// The second code of a key no PC key has (an unknown sequence or key), and
// the one code of a character outside ASCII on Windows. Not -1 as a signed char.
constexpr int unknown_key = 254;

// Splits terminal input into keys. bytes[0..count) starts a key; returns the
// number of bytes that key takes (0 when more bytes are needed to tell) and
// stores its first code in *first and its second in *second (-1 when the key
// has only one code). With final set no more bytes will come: a sequence that
// is still incomplete is taken as a lone Esc. Sequences of any length are
// taken whole, terminal replies (OSC, DCS, SOS, PM, APC strings) included.
int decode_key(const unsigned char *bytes, int count, bool final, int *first, int *second);

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

// GLUT reshape callback: viewport and 55-degree perspective for the new size.
void reshape(int width, int height);

// Opens the window, sets the fixed rendering state, registers the callbacks
// and fills the cube record; returns just before the event loop.
void open_window(int *argc, char **argv);
