// tests/console_test.cpp -- the console key reader: the decoder on byte
// sequences from common terminals, and read_console_key itself on a
// pseudo-terminal that a child process holds as its controlling terminal.
#include "app.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace
{

struct Case {
    std::string bytes;
    int used, first, second; // second -1: a one-code key
    bool final = false;      // no more bytes will come
};

// The PC's codes, written out here so a slip in the program's table shows.
const int up = 72, down = 80, left = 75, right = 77, home = 71, end = 79, page_up = 73;
const int page_down = 81, insert = 82, del = 83, f1 = 59, f5 = 63, f10 = 68, f11 = 133;
const int f12 = 134, unknown = 254;

// clang-format off
const Case cases[] = {
    // Cursor keys: CSI and SS3 forms, modifiers, the old xterm SS3 modifier, rxvt's shift.
    {"\x1b[A", 3, 0, up}, {"\x1b[B", 3, 0, down}, {"\x1b[C", 3, 0, right}, {"\x1b[D", 3, 0, left},
    {"\x1bOA", 3, 0, up}, {"\x1bOB", 3, 0, down}, {"\x1bOC", 3, 0, right}, {"\x1bOD", 3, 0, left},
    {"\x1b[1;5A", 6, 0, up}, {"\x1b[1;2D", 6, 0, left}, {"\x1bO5C", 4, 0, right},
    {"\x1b[b", 3, 0, down},
    // Other keys without a character.
    {"\x1b[H", 3, 0, home}, {"\x1bOH", 3, 0, home}, {"\x1b[1~", 4, 0, home}, {"\x1b[F", 3, 0, end},
    {"\x1b[4~", 4, 0, end}, {"\x1b[5~", 4, 0, page_up}, {"\x1b[6;3~", 6, 0, page_down},
    {"\x1b[2~", 4, 0, insert}, {"\x1b[3^", 4, 0, del}, {"\x1bOP", 3, 0, f1}, {"\x1b[11~", 5, 0, f1},
    {"\x1b[[A", 4, 0, f1}, {"\x1b[1;5P", 6, 0, f1}, {"\x1bOS", 3, 0, f1 + 3},
    {"\x1b[15~", 5, 0, f5}, {"\x1b[[E", 4, 0, f5}, {"\x1b[17~", 5, 0, f5 + 1},
    {"\x1b[21~", 5, 0, f10}, {"\x1b[23~", 5, 0, f11}, {"\x1b[24;5~", 7, 0, f12},
    // The rest of F1..F12 as VT220 numbers (gaps at 16 and 22) and F2, F3 as SS3.
    {"\x1b[12~", 5, 0, f1 + 1}, {"\x1b[13~", 5, 0, f1 + 2}, {"\x1b[14~", 5, 0, f1 + 3},
    {"\x1b[18~", 5, 0, f5 + 2}, {"\x1b[19~", 5, 0, f5 + 3}, {"\x1b[20~", 5, 0, f5 + 4},
    {"\x1bOQ", 3, 0, f1 + 1}, {"\x1bOR", 3, 0, f1 + 2},
    {"\x1b[Z", 3, 0, 15}, {"\x1b[E", 3, 0, 76}, {"\x1b[99~", 5, 0, unknown},
    {"\x1b[200~", 6, 0, unknown}, {"\x1b[?25h", 6, 0, unknown}, {"\x1b[16~", 5, 0, unknown},
    {"\x1b[[x", 4, 0, unknown}, {"\x1bOz", 3, 0, unknown}, {"\x1b[25~", 5, 0, unknown},
    // The application keypad sends characters: keypad 1, Enter, minus.
    {"\x1bOq", 3, '1', -1}, {"\x1bOM", 3, 13, -1}, {"\x1bOm", 3, '-', -1},
    // Esc: alone at the end, before a letter, before another Esc, before bytes that
    // make no sequence; and sequences still waiting for bytes, or cut off at the end.
    {"\x1b", 1, 27, -1, true}, {"\x1b", 0, 0, 0}, {"\x1bx", 1, 27, -1}, {"\x1b\x1b[A", 1, 27, -1},
    {"\x1b[1\n", 1, 27, -1}, {"\x1bO\x1b", 1, 27, -1}, {"\x1b[", 0, 0, 0},
    {"\x1b[", 1, 27, -1, true}, {"\x1b[1;5", 0, 0, 0}, {"\x1b[1;5", 1, 27, -1, true},
    {"\x1bO", 0, 0, 0}, {"\x1bO", 1, 27, -1, true}, {"\x1b[[", 0, 0, 0},
    // Plain characters, one byte each: Ctrl+C, Enter, bytes above 127; NUL has two codes.
    {"1", 1, '1', -1}, {"2x", 1, '2', -1}, {"\x03", 1, 3, -1}, {"\r", 1, 13, -1, true},
    {" ", 1, ' ', -1}, {"\x7f", 1, 127, -1}, {"\xc3\xa9", 1, 0xc3, -1}, {"\xff", 1, 255, -1},
    {std::string(1, '\0'), 1, 0, 3},
};
// clang-format on

TEST(DecodeKey, SplitsSequencesIntoTheirCodes)
{
    // Bytes after count must not change the answer: the decoder stops there.
    const std::string tails[] = {"", "A", "~", "\x1b", "[1", "5A", " ~", std::string(1, '\0')};
    for (const Case &c : cases)
        for (const std::string &tail : tails) {
            std::string all = c.bytes + tail;
            int first = -7, second = -7;
            int used = decode_key((const unsigned char *)all.data(), int(c.bytes.size()), c.final,
                                  &first, &second);
            std::string what = ::testing::PrintToString(c.bytes) + (c.final ? " final" : "");
            ASSERT_EQ(used, c.used) << what;
            if (used == 0) continue;
            EXPECT_EQ(first, c.first) << what;
            EXPECT_EQ(second, c.second) << what;
        }
}

TEST(DecodeKey, EverySequenceWaitsForItsLastByte)
{
    // Each proper prefix of a whole sequence waits for more, or is an Esc
    // when no more will come; exact-size copies let a sanitizer see overreads.
    for (const Case &c : cases) {
        int n = int(c.bytes.size());
        if (c.bytes[0] != 27 || c.used != n) continue;
        for (int k = 1; k < n; ++k) {
            std::vector<unsigned char> prefix(c.bytes.begin(), c.bytes.begin() + k);
            int first, second;
            EXPECT_EQ(decode_key(prefix.data(), k, false, &first, &second), 0) << c.bytes << k;
            EXPECT_EQ(decode_key(prefix.data(), k, true, &first, &second), 1) << c.bytes << k;
            EXPECT_EQ(first, 27);
        }
    }
    int first, second;
    EXPECT_EQ(decode_key(nullptr, 0, true, &first, &second), 0);
}

//-----------------------------------------------------------------------------
// read_console_key on a pseudo-terminal
//-----------------------------------------------------------------------------

// A child that owns the slave as its controlling terminal reads keys and
// sends each code down a pipe; it stops after the -1 that end of input gives.
class ReadConsoleKey : public ::testing::Test
{
  protected:
    int master = -1, codes = -1;
    pid_t child = -1;

    void SetUp() override
    {
        int slave, pipe_fds[2];
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        // Raw from the start, so that bytes written before the child's first
        // read are not edited or echoed by the terminal.
        termios mode;
        tcgetattr(slave, &mode);
        cfmakeraw(&mode);
        tcsetattr(slave, TCSANOW, &mode);
        ASSERT_EQ(pipe(pipe_fds), 0);
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGHUP, SIG_IGN); // closing the master must read as end of input
            setsid();
            ioctl(slave, TIOCSCTTY, 0);
            close(master);
            for (;;) {
                int code = read_console_key();
                if (write(pipe_fds[1], &code, sizeof code) != sizeof code || code == -1) _exit(0);
            }
        }
        close(slave);
        close(pipe_fds[1]);
        codes = pipe_fds[0];
    }

    void TearDown() override
    {
        if (master >= 0) close(master);
        if (child > 0) { // never kill(-1): that would reach every process
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        if (codes >= 0) close(codes);
    }

    void send(const char *bytes)
    {
        ASSERT_EQ(write(master, bytes, strlen(bytes)), ssize_t(strlen(bytes)));
    }

    // The child's codes until the pipe has none for a while: a hang guard.
    std::vector<int> receive(size_t count)
    {
        std::vector<int> got;
        pollfd ready = {codes, POLLIN, 0};
        int code;
        while (got.size() < count && poll(&ready, 1, 10000) == 1 &&
               read(codes, &code, sizeof code) == sizeof code)
            got.push_back(code);
        return got;
    }
};

TEST_F(ReadConsoleKey, DeliversKeysInOrderWithSecondCodes)
{
    // Type-ahead with a cursor key among plain characters, Ctrl+C as 3, an
    // Esc before a letter, a function key with its parameters.
    send("ab\x1b[Bc\x03\x1bx\x1b[1;5C\x1b[24~2");
    EXPECT_EQ(receive(13),
              (std::vector<int>{'a', 'b', 0, 80, 'c', 3, 27, 'x', 0, 77, 0, 134, '2'}));
    send("\x1b"); // a lone Esc is known once no more bytes follow
    EXPECT_EQ(receive(1), std::vector<int>{27});
    send("\x1bOD");
    EXPECT_EQ(receive(2), (std::vector<int>{0, 75}));
    // More than one read's worth: a long sequence fills the end of the first
    // read and ends in the second, which must not run past the buffer.
    std::string many = "aa\x1b[";
    for (int k = 0; k < 14; ++k) many += "1;";
    send((many + "5A" + std::string(40, 'b')).c_str());
    std::vector<int> expected = {'a', 'a', 0, 72};
    expected.insert(expected.end(), 40, 'b');
    EXPECT_EQ(receive(expected.size()), expected);
}

TEST_F(ReadConsoleKey, EndOfInputGivesMinusOne)
{
    send("1\x1b");
    EXPECT_EQ(receive(2), (std::vector<int>{'1', 27}));
    close(master);
    master = -1;
    EXPECT_EQ(receive(1), std::vector<int>{-1});
    int status;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    child = -1;
}

} // namespace
