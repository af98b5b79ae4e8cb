// app/console_web.cpp -- read_console_key on the page: keys pressed on it,
// turned into codes by page_console_codes. A page has no mode to switch.
#include "console_page.h"
#include "page.h"

static int codes[2], code_count, next_code; // the last key's codes, next_code not yet given

bool hold_raw_mode()
{
    return true;
}

void release_raw_mode() {}

int read_console_key()
{
    if (next_code < code_count) return codes[next_code++]; // the second code of the last key
    page_key key;
    do {
        while (!page_take_key(&key)) page_wait_key();
        code_count = page_console_codes(key.character, key.key, codes);
    } while (code_count == 0);
    next_code = 0;
    return codes[next_code++];
}
