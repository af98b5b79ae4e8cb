// tests/console_test.cpp -- the key decoder; read_console_key and the menu on a pseudo-terminal.
#include "console_posix.h"
#include "cube.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
#define E "\x1b"
namespace fs = std::filesystem;
using Codes = std::vector<int>;
// The PC's second codes, written out so a slip in the program's table shows: by final byte
// after ESC [ or ESC O, modifiers or not (any other final: u), and by n in ESC [ n ~.
const int up = 72, down = 80, right = 77, home = 71, end = 79, f1 = 59, f5 = 63, u = 254;
const std::string finals = "ABCDabcdHFEGPQRSZ";
// clang-format off
const Codes by_final = {up, down, right, 75, up, down, right, 75, home, end, 76, 76, f1, f1 + 1,
                        f1 + 2, f1 + 3, 15};
const Codes by_number = {u, home, 82, 83, end, 73, 81, home, end, u, u, f1, f1 + 1, f1 + 2, f1 + 3,
                         f5, u, f5 + 1, f5 + 2, f5 + 3, f5 + 4, f5 + 5, u, 133, 134, u};
const std::string x28(28, 'x'), csi40 = E "[" + std::string(78, ';') + "1A";

struct Case {
    std::string bytes;
    Codes want;         // bytes used, first code, second code (-1: a one-code key); {0}: wait
    bool final = false; // no more bytes will come
};
const Case cases[] = {
    {E "[[A", {4, 0, f1}}, {E "[[E", {4, 0, f5}}, {E "[[x", {4, 0, u}}, {E "[3^", {4, 0, 83}},
    {E "O" + csi40.substr(2), {82, 0, up}}, {E "[?1;2$y", {8, 0, u}}, // intermediate $
    // Terminal replies, one unknown key each: strings up to ESC \ or BEL (another ESC ends one).
    {E "]11;rgb:0000/0000/0000" E "\\", {25, 0, u}}, {E "]0;\a", {5, 0, u}}, {E "^\a", {3, 0, u}},
    {E "P1$r0m" E "\\", {9, 0, u}}, {E "Xa" E "\\", {5, 0, u}}, {E "_a;b" E "\\", {7, 0, u}},
    {E "]a" E "x", {3, 0, u}}, {E "Pa", {1, 27, -1}, true},
    // Esc before what makes no sequence; characters one byte each; NUL has two codes.
    {E "x", {1, 27, -1}}, {E "[1\n", {1, 27, -1}}, {E "O" E, {1, 27, -1}},
    {std::string(E "\0", 2), {1, 27, -1}}, {"1", {1, '1', -1}}, {"\xff", {1, 255, -1}},
    {std::string(1, '\0'), {1, 0, 3}},
};
// clang-format on

Codes decode(const std::string &bytes, size_t count, bool final) // bytes[count..): a tail
{
    std::vector<unsigned char> copy(bytes.begin(), bytes.end()); // a sanitizer sees overreads
    Codes got(3, -7);
    got[0] = decode_key(copy.data(), int(count), final, &got[1], &got[2]);
    return got[0] ? got : Codes{0};
}

TEST(DecodeKey, SplitsSequencesIntoTheirCodes)
{
    std::vector<Case> all(std::begin(cases), std::end(cases));
    for (char c = '@'; c <= '~'; ++c) // ESC O j .. ESC O y and ESC O M are keypad characters
        for (std::string intro : {"[", "O", "[1;5", "O5"}) {
            bool keypad = intro[0] == 'O' && (c == 'M' || (c >= 'j' && c <= 'y'));
            size_t at = finals.find(c);
            int key = at < by_final.size() ? by_final[at] : u, used = int(intro.size()) + 2;
            if (intro == "[1;5" && strchr("~^@", c)) key = home; // as ESC [ 1 ~
            Codes want = keypad ? Codes{used, c - 64, -1} : Codes{used, 0, key};
            if (intro + c != "[[") all.push_back({E + intro + c, want});
        }
    for (size_t n = 0; n < by_number.size(); ++n)
        for (std::string more : {"~", ";5~"})
            all.push_back({E "[" + std::to_string(n) + more,
                           {int(n > 9) + 3 + int(more.size()), 0, by_number[n]}});
    // Bytes after count change nothing; a whole sequence's prefix waits, or is a final Esc.
    for (const Case &c : all) {
        for (std::string tail : {"", "A", "~", E, "[1", "\a", " ~", "\\"})
            EXPECT_EQ(decode(c.bytes + tail, c.bytes.size(), c.final), c.want) << c.bytes;
        for (size_t k = 1;
             c.bytes[0] == 27 && c.want[0] == int(c.bytes.size()) && k < c.bytes.size(); ++k) {
            EXPECT_EQ(decode(c.bytes.substr(0, k), k, false), Codes{0}) << c.bytes << k;
            EXPECT_EQ(decode(c.bytes.substr(0, k), k, true), (Codes{1, 27, -1})) << c.bytes << k;
        }
    }
    EXPECT_EQ(decode_key(nullptr, 0, true, nullptr, nullptr), 0);
}

#ifndef SYS_poll
#define SYS_poll SYS_ppoll // the C library's poll, where there is no poll system call
#endif
const tcflag_t raw_iflags = IXON | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT;

// As a shell runs a job (SIGTSTP stops no orphaned process group): a session leader holds the
// terminal and waits for the job, which sends down a pipe the menu's choice (a menu job has
// fd 0 closed), then each code it reads. Its stderr is the terminal; its SIGUSR2 interrupts.
struct Job {
    int master, slave, out[2];
    pid_t shell, pid;
    termios before, now;
    Job(bool menu, void (*tune)(termios &) = nullptr)
    {
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) || pipe(out)) abort();
        tcgetattr(slave, &before);
        if (!menu) cfmakeraw(&before); // raw between reads
        if (tune) tune(before);
        tcsetattr(slave, TCSANOW, &before);
        if ((shell = fork()) == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL); // the shell and the job go with the test
            close(master), setsid(), ioctl(slave, TIOCSCTTY), signal(SIGHUP, SIG_IGN);
            struct sigaction interrupt = {};
            interrupt.sa_handler = menu ? SIG_IGN : +[](int) {}; // ignored at the start: stays so
            sigaction(SIGUSR2, &interrupt, nullptr);
            if ((pid = fork()) == 0) run(menu);
            int status = 0;
            if (write(out[1], &pid, 4) == 4) waitpid(pid, &status, 0);
            _exit(WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status));
        }
        close(slave), close(out[1]), pid = receive(1).at(0);
    }
    [[noreturn]] void run(bool menu)
    {
        prctl(PR_SET_PDEATHSIG, SIGKILL), setpgid(0, 0), signal(SIGTTOU, SIG_IGN);
        tcsetpgrp(slave, getpid()), dup2(slave, 2);
        if (menu) close(0);
        // SIGHUP (signal 1, where the menu's signal loops start) at its default, as a job has
        // it though the shell ignores it: a 10 more in the code says its handler stayed.
        int code =
            menu ? (signal(SIGTTOU, SIG_DFL), signal(SIGHUP, SIG_DFL), run_menu(), cube.cube_size)
                 : 0;
        code += menu && signal(SIGHUP, SIG_DFL) != SIG_DFL ? 10 : 0;
        for (code = menu ? code : read_console_key(); write(out[1], &code, 4) == 4 && code != -1;)
            code = read_console_key();
        _exit(0);
    }
    ~Job()
    {
        if (shell > 0) kill(pid, SIGKILL), kill(shell, SIGKILL), waitpid(shell, nullptr, 0);
        close(master), close(out[0]);
    }
    void send(const std::string &bytes) { EXPECT_GT(write(master, bytes.data(), bytes.size()), 0); }
    Codes receive(size_t count) // hang guard: 10 s without a code
    {
        Codes got;
        pollfd ready = {out[0], POLLIN, 0};
        for (int code;
             got.size() < count && poll(&ready, 1, 10000) == 1 && read(out[0], &code, 4) == 4;)
            got.push_back(code);
        return got;
    }
    template <class Condition> static bool until(Condition condition) // hang guard: 10 s
    {
        for (int i = 0; i < 10000 && !condition(); ++i) usleep(1000);
        return condition();
    }
    bool raw() // as the reader sets it: VMIN 1 and VTIME 0 whatever they were
    {
        return tcgetattr(master, &now) == 0 && !(now.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) &&
               !(now.c_iflag & raw_iflags) && now.c_cc[VMIN] == 1 && now.c_cc[VTIME] == 0;
    }
    bool as_before()
    {
        return !raw() && now.c_lflag == before.c_lflag && now.c_iflag == before.c_iflag;
    }
    std::string proc(const char *file)
    {
        std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool stopped() { return proc("stat").find(") T ") != std::string::npos; }
    bool asleep_in(long call) // in that system call, no signal sent to it still to be taken
    {
        return proc("status").find("ShdPnd:\t0000000000000000") != std::string::npos &&
               proc("syscall").rfind(std::to_string(call) + " ", 0) == 0;
    }
    long bytes_read() { return std::stol("0" + proc("io").substr(7)); } // rchar
    int end() // the job's end as its shell saw it: the exit status, or 128 + the signal
    {
        int status = -1;
        if (until([&] { return waitpid(shell, &status, WNOHANG) == shell; })) shell = -1;
        return WEXITSTATUS(status);
    }
};

TEST(ReadConsoleKey, DeliversKeysInOrderWithSecondCodes)
{
    // Type-ahead; a sequence of the buffer's length names its key, a longer one is an unknown
    // key, over two reads, with ESC \ either side of the end, and cut short by a pause.
    // clang-format off
    const Codes cut = {0, u, ';', ';', ';', ';', ';', ';', ';', ';', ';', ';'}; // then the rest
    const std::pair<std::string, Codes> sent[] = {
        {"ab" E "[Bc\x03" E "x" E "[1;5C" E "[24~2" E,
         {'a', 'b', 0, down, 'c', 3, 27, 'x', 0, right, 0, 134, '2', 27}},
        {"aa" E "[" + std::string(28, ';') + "5Ab", {'a', 'a', 0, up, 'b'}},
        {csi40 + "2", {0, u, '2'}},
        {E "]" + x28 + E "\\2", {0, u, '2'}}, {E "]x" + x28 + E "\\2", {0, u, '2'}},
        {E "]xx" + x28 + E "\\2", {0, u, '2'}}, {E "P" + x28 + x28 + "\a2", {0, u, '2'}},
        {E "[" + std::string(40, ';'), cut}};
    // clang-format on
    Job job(false);
    for (auto &[bytes, codes] : sent) {
        job.send(bytes);
        EXPECT_EQ(job.receive(codes.size()), codes);
    }
    // A signal the program handles (without SA_RESTART) while it waits for a key, and while
    // it waits for the rest of a sequence after an Esc: nothing is lost and nothing added.
    ASSERT_TRUE(job.until([&] { return job.asleep_in(SYS_read); }));
    kill(job.pid, SIGUSR2);
    ASSERT_TRUE(job.until([&] { return job.asleep_in(SYS_read); }));
    job.send("a" E);
    if (job.until([&] { return job.asleep_in(SYS_poll); })) kill(job.pid, SIGUSR2);
    EXPECT_EQ(job.receive(2), (Codes{'a', 27}));
    close(job.master), job.master = -1; // end of input: -1, and the reader stops
    EXPECT_EQ(job.receive(1), Codes{-1});
    EXPECT_EQ(job.end(), 0);
    pid_t child = fork(); // no terminal at all: -1, and again
    if (child == 0) setsid(), _exit(read_console_key() == -1 && read_console_key() == -1 ? 0 : 1);
    int status = -1;
    EXPECT_TRUE(waitpid(child, &status, 0) == child && status == 0);
}

TEST(RunMenu, KeepsRawModeBetweenKeysAndThroughSignals)
{
    // Ctrl+C and Ctrl+Z are keys, a reply none. An ending signal puts the mode back first;
    // SIGTSTP puts it back while stopped (SIGSTOP cannot), and the mode a shell sets meanwhile
    // is taken on continuing, then raw again, twice over, for the 2. Nothing is echoed. Raw
    // mode is made whatever the mode was; a shell's may differ from it in local flags alone.
    for (int sig : {SIGHUP, SIGALRM, SIGPIPE, SIGTSTP, SIGSTOP}) {
        bool stop = sig == SIGTSTP || sig == SIGSTOP;
        Job job(
            true, stop ? +[](termios &t) { t.c_iflag &= ~raw_iflags; } : +[](termios &t) {
                t.c_iflag |= raw_iflags, t.c_cc[VMIN] = 0, t.c_cc[VTIME] = 5;
            });
        ASSERT_TRUE(job.until([&] { return job.raw(); })) << sig;
        job.send("x\x03\x1a" E "]11;?\a"), kill(job.pid, SIGUSR2), kill(job.pid, sig);
        for (int round = 0; stop && round < 2; ++round) {
            ASSERT_TRUE(job.until([&] { return job.stopped(); })); // as a shell waits for it
            EXPECT_EQ(job.as_before(), sig == SIGTSTP) << sig;
            job.before.c_lflag ^= ECHOE, tcsetattr(job.master, TCSANOW, &job.before);
            kill(job.pid, SIGCONT);
            ASSERT_TRUE(job.until([&] { return job.raw(); }));
            EXPECT_EQ(job.now.c_lflag & ECHOE, job.before.c_lflag & ECHOE) << "raw from the new";
            if (round == 0) kill(job.pid, sig);
        }
        if (stop) { // then the mode is put back, and the reader after it ends as it should
            job.send("2");
            EXPECT_EQ(job.receive(1), Codes{3});
            ASSERT_TRUE(job.until([&] { return job.raw(); }));
            kill(job.pid, SIGTERM);
        }
        EXPECT_EQ(job.end(), 128 + (stop ? SIGTERM : sig)) << sig;
        EXPECT_TRUE(job.as_before()) << sig;
        char echo; // the terminal is closed now: anything echoed would still be there
        EXPECT_LT(read(job.master, &echo, 1), 0) << "echoed";
    }
}

TEST(RunMenu, HoldsRawModeAndChoosesTheSize)
{
    // Raw mode stays on from the first key to the choice: in packet mode the terminal's
    // master hears of each change of mode (of IXON here). 1 is the 2 x 2 x 2 cube.
    Job one(true);
    ASSERT_TRUE(one.until([&] { return one.raw(); }));
    int on = 1;
    ioctl(one.master, TIOCPKT, &on);
    one.send("x");
    ASSERT_TRUE(one.until([&] { return one.bytes_read() == 1 && one.asleep_in(SYS_read); }));
    const std::string fds = "/proc/" + std::to_string(one.pid) + "/fd";
    const auto open_fds = [&] { return std::distance(fs::directory_iterator(fds), {}); };
    const auto opened = open_fds();
    pollfd changed = {one.master, POLLIN, 0};
    EXPECT_EQ(poll(&changed, 1, 0), 0) << "the mode changed between two keys";
    one.send("1");
    EXPECT_EQ(one.receive(1), Codes{2});
    // After it the reader is raw only while it reads: a key read changes the mode again.
    // The terminal, opened once under the menu, stays open (as fd 0 here).
    ASSERT_TRUE(one.until([&] { return one.bytes_read() == 2 && one.asleep_in(SYS_read); }));
    char status[8];
    EXPECT_EQ(read(one.master, status, 8), 1); // the menu's end and the reader's start
    one.send("a");
    EXPECT_EQ(one.receive(1), Codes{'a'});
    ASSERT_TRUE(one.until([&] { return one.bytes_read() == 3 && one.asleep_in(SYS_read); }));
    EXPECT_EQ(poll(&changed, 1, 0), 1) << "raw mode kept on between two reads";
    EXPECT_EQ(open_fds(), opened);
    Job gone(true); // a hung-up terminal ends the menu
    ASSERT_TRUE(gone.until([&] { return gone.raw(); }));
    close(gone.master), gone.master = -1;
    EXPECT_EQ(gone.end(), 1);
}
} // namespace
