// tests/console_test.cpp -- the key decoder; read_console_key and the menu on a
// pseudo-terminal.
#include "console_posix.h"
#include "cube.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#ifndef SYS_poll
#define SYS_poll SYS_ppoll // where the C library's poll has no system call of its own
#endif

namespace
{
using namespace std::string_literals;
using Codes = std::vector<int>;

const int u = unknown_key;
const int esc = 27;
// In the codes of a split: the decoder asked for more bytes than there are.
const int waits = -3;

struct Row {
    std::string bytes;
    Codes codes;
};

// Keys without a character as terminals send them, and their second codes (0
// comes first): the PC's scan codes.
const Row scan_keys[] = {
    // Cursor keys, Home, End, keypad 5 and Shift+Tab; rxvt's shifted and old
    // xterm's modified keys; modifiers are ignored.
    {"\x1b[A\x1b[B\x1b[C\x1b[D\x1b[H\x1b[F\x1b[E\x1b[Z", {72, 80, 77, 75, 71, 79, 76, 15}},
    {"\x1bOA\x1bOF\x1bOG\x1b[a\x1b[d\x1bO5C\x1b[1;5B", {72, 79, 76, 72, 75, 77, 80}},
    // VT220 keys by number: Home Insert Delete End PageUp PageDown Home End.
    {"\x1b[1~\x1b[2~\x1b[3~\x1b[4~\x1b[5~\x1b[6~\x1b[7~\x1b[8~", {71, 82, 83, 79, 73, 81, 71, 79}},
    // F1 .. F12: xterm's, VT220's, the Linux console's.
    {"\x1bOP\x1bOQ\x1bOR\x1bOS\x1b[[A\x1b[[E", {59, 60, 61, 62, 59, 63}},
    {"\x1b[11~\x1b[12~\x1b[13~\x1b[14~\x1b[15~\x1b[17~", {59, 60, 61, 62, 63, 64}},
    {"\x1b[18~\x1b[19~\x1b[20~\x1b[21~\x1b[23~\x1b[24~", {65, 66, 67, 68, 133, 134}},
    // rxvt's modified keys end in ^ or @.
    {"\x1b[3;2~\x1b[3^\x1b[3@", {83, 83, 83}},
    // Other sequences, intermediate bytes and all, and numbers past the last
    // key's; replies, strings up to ESC \ or BEL.
    {"\x1b[K\x1b[?1;2$y\x1b[[x\x1b[0~\x1b[25~\x1b[99999~", {u, u, u, u, u, u}},
    {"\x1b]11;rgb:0000/0000/0000\x1b\\\x1bP1$r0m\x1b\\\x1bX\a\x1b^\a\x1b_\a", {u, u, u, u, u}},
};

// Other keys, and bytes that make no key: the codes as read_console_key gives them.
const Row keys[] = {
    {"\x1bOj\x1bOy\x1bOM", {'*', '9', '\r'}}, // the keypad's characters in application mode
    // Esc alone, before bytes that make no sequence, or where no more come to end a string.
    {"\x1bx\x1b[1\n\x1bO\x1bPa", {esc, 'x', esc, '[', '1', '\n', esc, 'O', waits, esc, 'P', 'a'}},
    // Characters are one byte each; NUL (Ctrl+Space) is 0 then 3, as on the PC.
    {"1\xff\0\x1b\0"s, {'1', 255, 0, 3, esc, 0, 3}},
};

// The codes decode_key splits `bytes` into as the reader takes them: where it
// asks for more bytes than there are, `waits`, and the codes it gives when no
// more come. Every shorter part of a key, none of it too, must ask for more.
// Each key is decoded from a copy that ends where the bytes do, so that a
// sanitizer sees a read past them.
Codes split(const std::string &bytes)
{
    Codes codes;
    size_t at = 0;
    while (at < bytes.size()) {
        std::vector<unsigned char> rest(bytes.begin() + at, bytes.end());
        int count = int(rest.size());
        int first = -2;
        int second = -2;
        int used = decode_key(rest.data(), count, false, &first, &second);
        if (used == 0) {
            codes.push_back(waits);
            used = decode_key(rest.data(), count, true, &first, &second);
        }
        EXPECT_GT(used, 0); // no more bytes come, yet the key is not taken
        codes.push_back(first);
        if (second != -1) codes.push_back(second);
        for (int part = 0; part < used; ++part)
            EXPECT_EQ(decode_key(rest.data(), part, false, &first, &second), 0);
        at += std::max(used, 1);
    }
    return codes;
}

TEST(DecodeKey, SplitsBytesIntoKeys)
{
    for (const Row &row : scan_keys) {
        Codes codes;
        for (int second : row.codes) codes.insert(codes.end(), {0, second});
        EXPECT_EQ(split(row.bytes), codes);
    }
    for (const Row &row : keys) EXPECT_EQ(split(row.bytes), row.codes);
}

// Over a pseudo-terminal the test is a shell in a session of its own, with its
// jobs.
int master;                 // the terminal's other side: what is typed, and the mode
int slave;                  // the terminal
int codes[2];               // a pipe: the job writes each code it reads to codes[1]
termios given;              // the mode the shell gives the terminal
long typed;                 // the bytes written to the terminal so far
pid_t job;                  // the job started last
const int interrupted = -2; // the code a job sends on SIGUSR2

void report(int code)
{
    EXPECT_EQ(write(codes[1], &code, sizeof code), 4);
}

// The job: the menu first, then the size it chose and whether it gave SIGHUP
// back (signal 1, where the program's loops over the signals start); then each
// code read. With `at_0` the reader's terminal opens as fd 0. Its SIGUSR2 has a
// handler of its own, without SA_RESTART, that the reader must leave as it is.
[[noreturn]] void run_job(bool at_0)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL); // a job goes with its shell
    close(master);
    setpgid(0, 0);
    tcsetpgrp(slave, getpid());
    signal(SIGHUP, SIG_DFL); // as a job has it, though the shell ignores it
    struct sigaction interrupt = {};
    interrupt.sa_handler = [](int) { report(interrupted); };
    sigaction(SIGUSR2, &interrupt, nullptr);
    if (at_0) close(0);
    run_menu();
    report(cube.cube_size);
    sighandler_t hang_up = signal(SIGHUP, SIG_DFL);
    report(hang_up == SIG_DFL);
    for (;;) report(read_console_key()); // until the shell ends
}

void start(bool at_0)
{
    tcsetattr(master, TCSANOW, &given);
    EXPECT_EQ(pipe(codes), 0);
    job = fork();
    if (job == 0) run_job(at_0);
    close(codes[1]); // a job that dies ends the pipe
}

Codes receive(size_t count)
{
    Codes got(count);
    for (int &code : got) EXPECT_EQ(read(codes[0], &code, sizeof code), 4);
    return got;
}

void send(const std::string &bytes)
{
    EXPECT_GT(write(master, bytes.data(), bytes.size()), 0);
    typed += bytes.size();
}

// The signal that stopped or ended a child, or its exit status.
int wait_job(pid_t child)
{
    siginfo_t info = {};
    waitid(P_PID, child, &info, WEXITED | WSTOPPED);
    return info.si_status;
}

termios mode()
{
    termios now;
    tcgetattr(master, &now);
    return now;
}

std::string proc(const char *file)
{
    return "/proc/" + std::to_string(job) + "/" + file;
}

// Until the job has read all that was typed and waits for more: in read, or in
// poll after an Esc alone.
void wait_reading()
{
    long bytes_read = -1;
    std::string call; // the number of the system call it waits in, or "running"
    while (bytes_read != typed ||
           (call != std::to_string(SYS_read) && call != std::to_string(SYS_poll))) {
        usleep(1000);
        std::ifstream(proc("io")).ignore(7) >> bytes_read; // rchar: N
        std::ifstream(proc("syscall")) >> call;
    }
}

// Runs `test` as the shell of a session of its own on a new pseudo-terminal; an
// alarm ends it if it hangs. Before the terminal is there, the reader has none
// to read.
void as_shell(void (*test)())
{
    pid_t shell = fork();
    if (shell == 0) {
        setsid();
        alarm(10);
        EXPECT_EQ(read_console_key(), -1); // no terminal
        openpty(&master, &slave, nullptr, nullptr, nullptr);
        ioctl(slave, TIOCSCTTY, 0);
        signal(SIGHUP, SIG_IGN);
        signal(SIGTTOU, SIG_IGN); // the shell gives the terminal to each job in turn
        tcgetattr(master, &given);
        test();
        fflush(stdout);
        _exit(testing::Test::HasFailure());
    }
    EXPECT_EQ(wait_job(shell), 0);
}

TEST(RunMenu, HoldsRawModeThenTheReaderDeliversKeysInOrder)
{
    as_shell([] {
        // Raw between reads too, so that keys are raw whenever they come, but
        // for flow control: in packet mode the master hears of each change of
        // IXON, that is of the mode.
        cfmakeraw(&given);
        given.c_iflag |= IXON;
        start(true);
        wait_reading();
        int on = 1;
        ioctl(master, TIOCPKT, &on);
        // Keys that choose nothing (Ctrl+C and Ctrl+Z among them), and a key's
        // sequence or a reply that comes in two writes far apart: the menu
        // waits on, and the mode changes not.
        for (const char *bytes : {"x\x03\x1a", "\x1b[", "2~", "\x1b[1", "5~",
                                  "\x1b]11;rgb:", "0000/0000/0000\a", "\x1b"}) {
            send(bytes);
            wait_reading();
        }
        pollfd news = {master, POLLIN, 0};
        EXPECT_EQ(poll(&news, 1, 0), 0); // no change between two keys
        auto open_files = [] {
            return std::distance(std::filesystem::directory_iterator(proc("fd")), {});
        };
        auto opened = open_files();
        send("2"); // after an Esc and a pause: the 3 x 3 x 3 cube
        EXPECT_EQ(receive(2), (Codes{3, true}));
        // Then the reader is raw only while it reads, on the terminal it opened
        // once (as fd 0, which a test of less than 0 would not keep).
        wait_reading();
        char status[8];
        EXPECT_EQ(read(master, status, sizeof status), 1); // the menu's end, the reader's start
        std::string filler(28, 'x');
        Row reads[] = {
            // Keys typed ahead, several to a read; an Esc that nothing follows
            // comes alone.
            {"ab\x1b[Bc\x03\x1bx2\x1b", {'a', 'b', 0, 80, 'c', 3, esc, 'x', '2', esc}},
            // A sequence as long as the reader's buffer names its key, a longer
            // one is an unknown key, with the ESC \ that ends it across or
            // after the buffer's end, or a BEL a buffer later; a byte no
            // sequence has that cuts it is a key of its own.
            {"aa\x1b[" + std::string(28, ';') + "5Ab", {'a', 'a', 0, 72, 'b'}},
            {"\x1b]x" + filler + "\x1b\\2", {0, u, '2'}},
            {"\x1b]xx" + filler + "\x1b\\2", {0, u, '2'}},
            {"\x1bP" + filler + filler + "\a2", {0, u, '2'}},
            {"\x1b[" + std::string(31, ';') + "A", {0, u}},
            {"\x1b[" + std::string(30, ';') + "\n", {0, u, '\n'}},
            // An Esc that ends a full buffer waits for the rest of its key.
            {"\x1b[" + std::string(28, ';') + "K\x1b[A", {0, u, 0, 72}},
        };
        for (const Row &row : reads) {
            send(row.bytes);
            EXPECT_EQ(receive(row.codes.size()), row.codes) << row.bytes;
        }
        wait_reading();
        EXPECT_EQ(poll(&news, 1, 0), 1); // raw mode not kept on between two reads
        EXPECT_EQ(open_files(), opened);
        // A signal while the reader waits for more after an Esc, and for the
        // rest of an over-long sequence: it is handled, and nothing is lost or
        // added.
        send("\x1b");
        wait_reading();
        kill(job, SIGUSR2);
        Codes last = receive(2);
        std::sort(last.begin(), last.end()); // the Esc may come first: its wait ended
        EXPECT_EQ(last, (Codes{interrupted, esc}));
        send("\x1b]xx" + filler);
        wait_reading();
        kill(job, SIGUSR2);
        EXPECT_EQ(receive(1), Codes{interrupted});
        // A hang-up while the reader is stopped ends that sequence (its read
        // goes on at the end of the input, just after an interrupted one), but
        // the mode cannot be put back then: the key is lost whole, and the
        // next call fails too.
        wait_reading();
        kill(job, SIGSTOP);
        EXPECT_EQ(wait_job(job), SIGSTOP);
        close(master);
        kill(job, SIGCONT);
        EXPECT_EQ(receive(2), (Codes{-1, -1}));
    });
}

TEST(RunMenu, PutsTheModeBackForJobControlAndEndingSignals)
{
    as_shell([] {
        // Raw mode is made whatever the mode was; this one differs from it in
        // local flags alone, and VTIME tells the two apart.
        given.c_iflag = 0;
        given.c_cc[VMIN] = 0;
        given.c_cc[VTIME] = 5;
        auto wait_raw = [] {
            while (mode().c_cc[VTIME] != 0) usleep(1000);
        };
        start(false); // the terminal opens above fd 0 here
        wait_raw();
        EXPECT_EQ(mode().c_lflag & ECHO, 0u); // keys typed at the menu are not echoed
        // SIGTSTP puts the mode back while the job is stopped (SIGSTOP cannot).
        // On continuing, the mode the shell set meanwhile is the one to put
        // back, and raw mode is made from it.
        for (int stop : {SIGTSTP, SIGSTOP, SIGTSTP}) {
            kill(job, stop);
            EXPECT_EQ(wait_job(job), stop);
            EXPECT_EQ(mode().c_lflag == given.c_lflag, stop == SIGTSTP); // the mode given back
            given.c_lflag ^= ECHOE;
            tcsetattr(master, TCSANOW, &given);
            kill(job, SIGCONT);
            wait_raw();
            EXPECT_EQ(mode().c_lflag & ECHOE, given.c_lflag & ECHOE); // raw from the shell's mode
        }
        send("1"); // the 2 x 2 x 2 cube
        EXPECT_EQ(receive(2), (Codes{2, true}));
        wait_raw(); // the reader's, after the menu
        // An ending signal puts the mode back first; SIGHUP is signal 1, where
        // the loops over the signals start.
        kill(job, SIGHUP);
        EXPECT_EQ(wait_job(job), SIGHUP);
        EXPECT_EQ(mode().c_lflag, given.c_lflag);
        // A hung-up terminal ends the menu: its held read fails with no key begun.
        start(false);
        wait_raw();
        close(master);
        EXPECT_EQ(wait_job(job), 1);
    });
}
} // namespace
