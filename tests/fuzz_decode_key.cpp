// tests/fuzz_decode_key.cpp -- libFuzzer target for the console key decoder:
// any byte string, split into keys as read_console_key would, must be used up
// without reading past its end, and every key must give a code in range.
#include "app.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int count = int(size);
    for (int at = 0; at < count;) {
        int first = -2, second = -2;
        // As the reader sees it: the bytes so far, with more possibly coming...
        int used = decode_key(data + at, count - at, false, &first, &second);
        if (used < 0 || used > count - at) std::abort();
        // ...and, when that was not enough, with none coming.
        if (used == 0) used = decode_key(data + at, count - at, true, &first, &second);
        if (used < 1 || used > count - at) std::abort();
        if (first < 0 || first > 255 || second < -1 || second > 255) std::abort();
        if (first == 0 && second < 0) std::abort(); // a 0 always announces a second code
        at += used;
    }
    return 0;
}
