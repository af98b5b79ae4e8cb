// app/console_posix.cpp -- read_console_key on a POSIX terminal: one key at a
// time from the controlling terminal in raw mode, split by decode_key; the
// mode put back on every way out, signals and job control included.
#include "console_posix.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// Raw mode is on while read_console_key waits, and for the whole menu
// (hold_raw_mode), so that a key arriving between two reads is neither echoed
// nor turned into a signal. While it is on, the signals are caught:
// - one whose default action ends the process puts the mode back, then ends
//   the process by that same signal (SIGKILL cannot be caught);
// - SIGTSTP puts the mode back, then stops the process;
// - SIGCONT takes the terminal's mode of that moment as the one to put back
//   later (a shell puts its own back while a job is stopped) and turns raw
//   mode on again.
// A signal that is ignored, or has a handler of its own, is left as it is.
// The handlers touch the terminal only while the process is in its
// foreground: the mode of a background job's terminal belongs to the shell.
// They call only async-signal-safe functions.

constexpr int esc = 27;
constexpr int esc_wait_ms = 40; // after an ESC alone; a person is slower than a key's bytes
constexpr int buffer_size = 32; // longer than any sequence a key sends

static int console_fd = -1;                // /dev/tty, kept open once opened
static termios given_mode;                 // the mode to put back
static termios raw_mode;                   // given_mode made raw
static bool raw_on;                        // raw mode on, signals caught
static bool caught[NSIG];                  // the signals with a handler of ours
static struct sigaction old_actions[NSIG]; // their actions before
static sigset_t handled;                   // the same, blocked while a handler runs
static unsigned char pending[buffer_size]; // bytes read but not yet delivered
static int pending_count;
static int pending_second = -1; // second code of the last two-code key
static bool overlong;           // pending starts with the head of an over-long sequence

static void make_raw()
{
    raw_mode = given_mode;
    // No line editing, echo or signal keys (Ctrl+C reads as 3), no flow
    // control, CR and NL as typed. Output processing stays as it was.
    raw_mode.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
    raw_mode.c_iflag &= ~(IXON | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT);
    raw_mode.c_cc[VMIN] = 1;
    raw_mode.c_cc[VTIME] = 0;
}

static bool in_foreground()
{
    return tcgetpgrp(console_fd) == getpgrp();
}

static void put_mode_back()
{
    if (in_foreground()) tcsetattr(console_fd, TCSANOW, &given_mode);
}

static void set_handler(int sig, void (*handler)(int), int flags)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_mask = handled;
    action.sa_flags = flags;
    sigaction(sig, &action, nullptr);
}

static void end_by_signal(int sig)
{
    put_mode_back();
    // SA_RESETHAND put the default back; the signal is blocked until the
    // handler returns, and then it ends the process.
    raise(sig);
}

// On continuing: the mode found now is the one to put back, unless it is
// still raw mode (no stop came before, or nobody changed the mode meanwhile).
static void raw_again()
{
    termios now;
    if (!in_foreground() || tcgetattr(console_fd, &now) != 0) return;
    if (now.c_lflag != raw_mode.c_lflag || now.c_iflag != raw_mode.c_iflag) {
        given_mode = now;
        make_raw();
    }
    tcsetattr(console_fd, TCSANOW, &raw_mode);
}

static void on_continue(int)
{
    int saved_errno = errno;
    raw_again();
    errno = saved_errno;
}

static void on_stop(int sig)
{
    int saved_errno = errno;
    put_mode_back();
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, sig);
    set_handler(sig, SIG_DFL, 0);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
    raise(sig); // stops here, until SIGCONT (the kernel drops it for an orphaned process group)
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    set_handler(sig, on_stop, SA_RESTART);
    raw_again();
    errno = saved_errno;
}

typedef void (*handler_fn)(int);

// Our handler for a signal at its default action, by what that action does.
// SIGTTIN and SIGTTOU stop only a background job, whose mode is not ours.
static handler_fn handler_for(int sig)
{
    switch (sig) {
    case SIGKILL:
    case SIGSTOP:
    case SIGTTIN:
    case SIGTTOU:
    case SIGCHLD:
    case SIGURG:
    case SIGWINCH:
        return nullptr;
    case SIGTSTP:
        return on_stop;
    case SIGCONT:
        return on_continue;
    default:
        return end_by_signal;
    }
}

static void catch_signals()
{
    sigemptyset(&handled);
    for (int sig = 1; sig < NSIG; ++sig) {
        caught[sig] = handler_for(sig) && sigaction(sig, nullptr, &old_actions[sig]) == 0 &&
                      old_actions[sig].sa_handler == SIG_DFL;
        if (caught[sig]) sigaddset(&handled, sig);
    }
    for (int sig = 1; sig < NSIG; ++sig) {
        handler_fn handler = handler_for(sig);
        if (caught[sig])
            set_handler(sig, handler, handler == end_by_signal ? SA_RESETHAND : SA_RESTART);
    }
}

static void release_signals()
{
    for (int sig = 1; sig < NSIG; ++sig)
        if (caught[sig]) sigaction(sig, &old_actions[sig], nullptr);
}

static bool enter_raw_mode()
{
    if (console_fd < 0) console_fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (console_fd < 0 || tcgetattr(console_fd, &given_mode) != 0) return false;
    make_raw();
    // Caught before raw mode comes on. A background job is stopped here by
    // SIGTTOU until it is brought to the foreground; on_continue then takes
    // the mode the shell gave it.
    catch_signals();
    // TCSANOW, not TCSAFLUSH: keys typed ahead are delivered, not dropped.
    raw_on = tcsetattr(console_fd, TCSANOW, &raw_mode) == 0;
    if (!raw_on) release_signals();
    return raw_on;
}

static bool leave_raw_mode()
{
    // No handler may turn raw mode on again in between. SIGTTOU stays open:
    // with it blocked, a background job could change the shell's mode.
    sigset_t all, before;
    sigfillset(&all);
    sigdelset(&all, SIGTTOU);
    sigprocmask(SIG_BLOCK, &all, &before);
    bool restored = tcsetattr(console_fd, TCSANOW, &given_mode) == 0;
    release_signals();
    raw_on = false;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return restored;
}

bool hold_raw_mode()
{
    return raw_on || enter_raw_mode();
}

void release_raw_mode()
{
    if (raw_on) leave_raw_mode();
}

// Waits for a byte after an ESC alone; false when none came in time.
static bool more_bytes_soon()
{
    pollfd waiting = {console_fd, POLLIN, 0};
    int ready;
    do ready = poll(&waiting, 1, esc_wait_ms);
    while (ready < 0 && errno == EINTR);
    return ready != 0;
}

// Appends what the terminal has; false at end of input or on an error.
static bool read_more()
{
    ssize_t got;
    do got = read(console_fd, pending + pending_count, buffer_size - pending_count);
    while (got < 0 && errno == EINTR);
    if (got <= 0) return false;
    pending_count += int(got);
    return true;
}

// First code of the next key in `pending`, or -1 while it is incomplete.
// A sequence that fills the buffer keeps its first two bytes (ESC and the
// kind), and an ESC at the end that may begin its ESC \, and drops the rest:
// the bytes after them are read and decoded as its continuation, and what
// ends it is one unknown key.
static int take_key(bool final)
{
    int first, second;
    int used = decode_key(pending, pending_count, final, &first, &second);
    if (used == 0 && pending_count == buffer_size) {
        overlong = true;
        pending_count = pending[buffer_size - 1] == esc ? 3 : 2;
        pending[2] = esc;
    }
    if (used == 0) return -1;
    if (overlong) { // it ends here, or the input ended inside it (a lone Esc)
        overlong = false;
        used = used < 2 ? 2 : used;
        first = 0;
        second = unknown_key;
    }
    pending_count -= used;
    for (int i = 0; i < pending_count; ++i) pending[i] = pending[i + used];
    pending_second = second;
    return first;
}

// Reads until `pending` holds a whole key. Only an ESC alone waits a short
// time for more, as it may be the Esc key. A key that is still incomplete
// after two bytes is a sequence begun (ESC and the byte that opens it), and
// its rest is waited for without a limit: a key's bytes or a reply may come
// in two writes, far apart on a slow line, and cut short they would be read
// as typed keys. A read that ends or fails after part of a sequence still
// delivers its bytes, one key at a time.
static int read_key_raw()
{
    for (;;) {
        int key = take_key(false);
        if (key >= 0) return key;
        bool more = pending_count != 1 || more_bytes_soon();
        if (more && read_more()) continue;
        return take_key(true); // -1 when nothing is left
    }
}

int read_console_key()
{
    if (pending_second >= 0) {
        int code = pending_second;
        pending_second = -1;
        return code;
    }
    int key = take_key(false); // a key typed ahead needs no read
    if (key >= 0) return key;
    bool held = raw_on; // under the menu, raw mode is on already and stays on
    if (!held && !enter_raw_mode()) return -1;
    key = read_key_raw();
    if (held || leave_raw_mode()) return key;
    // The key is lost with the mode: its second code must not come on the
    // next call without its first.
    pending_second = -1;
    return -1;
}
