// tests/fuzz_decode_key.cpp -- libFuzzer target for the console key decoder:
// any byte string, split into keys as read_console_key would, must be used up
// without reading past its end, and every key must give a code in range.
#include "console_posix.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const uint8_t *end = data + size;
    while (data < end) {
        int first = -2;
        int second = -2;
        // As the reader sees it: with more bytes maybe to come, then with none if it must.
        int used = decode_key(data, end - data, false, &first, &second);
        if (used == 0) used = decode_key(data, end - data, true, &first, &second);
        bool in_range = first >= 0 && first <= 255 && second >= -1 && second <= 255;
        bool announced = first != 0 || second != -1; // a 0 always comes before a second code
        if (used < 1 || used > end - data || !in_range || !announced) std::abort();
        data += used;
    }
    return 0;
}
