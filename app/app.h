// app/app.h -- start-up and the console front end: banner, difficulty menu,
// console key reader, the window and its projection.
#pragma once

// Writes the twelve banner and menu lines to standard output and flushes.
void print_banner();

// Reads keys with read_console_key until one chooses a size; sets cube_size
// to 2 (key 1) or 3 (key 2). Exits with status 1 and a line on stderr when
// the console cannot be read at all (no terminal, or its input has ended).
void run_menu();

// One key from the controlling terminal, without echo or Enter: its character
// code, or 0 then a PC scan code on the next call for keys without a
// character (cursor keys 72 Up, 80 Down, 75 Left, 77 Right). -1 when the
// terminal cannot be opened, switched to raw mode, read or switched back.
// It leaves the mode it found: raw under hold_raw_mode, else the saved one.
int read_console_key();

// Raw mode from now until release_raw_mode, for a run of read_console_key
// calls (the menu), with the signals caught as while a read waits: an ending
// signal puts the mode back first, SIGTSTP puts it back and stops, SIGCONT
// takes the mode of that moment to put back later and goes raw again. False
// when the terminal cannot be opened or switched. release_raw_mode puts the
// mode back (when it was held) and the signals as they were.
bool hold_raw_mode();
void release_raw_mode();

// Splits terminal input into keys. bytes[0..count) starts a key; returns the
// number of bytes that key takes (0 when more bytes are needed to tell) and
// stores its first code in *first and its second in *second (-1 when the key
// has only one code). With final set no more bytes will come: a sequence that
// is still incomplete is taken as a lone Esc. Sequences of any length are
// taken whole, terminal replies (OSC, DCS, SOS, PM, APC strings) included.
int decode_key(const unsigned char *bytes, int count, bool final, int *first, int *second);

// GLUT reshape callback: viewport and 55-degree perspective for the new size.
void reshape(int width, int height);

// Opens the window, sets the fixed rendering state, registers the callbacks
// and fills the cube record; returns just before the event loop.
void open_window(int *argc, char **argv);
