// app/console_posix.h -- the POSIX terminal's key logic: escape sequences and
// terminal replies split into keys (console_sequences.cpp), for the reader in
// console_posix.cpp.
#pragma once

#include "console.h"

// Splits terminal input into keys. bytes[0..count) starts a key; returns the
// number of bytes that key takes (0 when more bytes are needed to tell) and
// stores its first code in *first and its second in *second (-1 when the key
// has only one code). With final set no more bytes will come: a sequence that
// is still incomplete is taken as a lone Esc. Sequences of any length are
// taken whole, terminal replies (OSC, DCS, SOS, PM, APC strings) included.
int decode_key(const unsigned char *bytes, int count, bool final, int *first, int *second);
