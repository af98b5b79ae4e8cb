// app/console.cpp -- the console half of start-up: the banner, the difficulty
// menu, and one key at a time from the controlling terminal in raw mode, with
// terminal escape sequences turned into the PC's two-code keys.
#include "app.h"
#include "cube.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

//-----------------------------------------------------------------------------
// [SECTION] Banner and menu
//-----------------------------------------------------------------------------

static const char *const banner[12] = {
    "          +---------------------------------------------+\n",
    "          | Projekt zaliczeniowy z Grafiki Komputerowej |\n",
    "          |           ROVOVA TAVELO - UKLADANKA         |\n",
    "          +---------------------------------------------+\n\n\n",
    "          Przygotowal:   Dabsin Kalwen  index:40716\n\n\n\n",
    "          Klawisze sterujace:\n",
    "          klawisze kursora - wybor grupy klockow\n",
    "          '1' - obrot prawo, gora \n",
    "          'w' - obrot lewo, dol \n\n\n",
    "          Wybierz poziom trudnosci : \n",
    "          [1] - Latwy\n",
    "          [2] - Normalny\n",
};

void print_banner()
{
    for (const char *line : banner) fputs(line, stdout);
    fflush(stdout); // the menu waits next: the lines must be on screen first
}

void run_menu()
{
    // Raw from before the first read to after the last: a key that comes
    // between two reads is neither echoed nor a signal. Without a console
    // the first read fails too.
    hold_raw_mode();
    while (cube.cube_size == 0) {
        int key = read_console_key();
        // Checked before the key is narrowed: byte 255 would read as -1 too.
        // Without a console the menu could only spin forever; say so and stop.
        if (key == -1) {
            release_raw_mode();
            fputs("twisty-cube: no console to read the menu key from\n", stderr);
            exit(1);
        }
        signed char code = (signed char)key;
        if (code == 49) cube.cube_size = 2;
        if (code == 50) cube.cube_size = 3;
    }
    release_raw_mode();
}

//-----------------------------------------------------------------------------
// [SECTION] Escape sequences
//-----------------------------------------------------------------------------
// Keys without a character come from a terminal as ESC [ ... final (CSI) or
// ESC O final (SS3), modifiers as extra parameters (ESC [ 1 ; 5 A), which are
// ignored. Their second codes are the PC scan codes. Any other sequence gives
// 0 then unknown_key. A NUL byte (Ctrl+Space) gives 0 then 3, as on the PC, so
// that a lone 0 never appears without its second code.
//
// A terminal also writes replies to the input (to a colour query, say), and
// those must not turn into keys. So a sequence is always taken whole, however
// long: a CSI or SS3 up to its final byte, and the strings ESC ] (OSC), ESC P
// (DCS), ESC X (SOS), ESC ^ (PM) and ESC _ (APC) up to BEL or ESC \. Each
// string, and each CSI or SS3 longer than the reader's buffer, gives 0 then
// unknown_key, as an unknown key would: no key sends one. (Giving no code at
// all was the other choice; this one keeps "every key gives a code" true.)

constexpr int esc = 27, bel = 7;
constexpr int key_up = 72, key_down = 80, key_left = 75, key_right = 77;
constexpr int key_home = 71, key_end = 79, key_page_up = 73, key_page_down = 81;
constexpr int key_insert = 82, key_delete = 83, key_centre = 76, key_back_tab = 15;
constexpr int key_f1 = 59, key_f11 = 133, key_f12 = 134; // F1..F10 are 59..68
constexpr int key_nul = 3;
constexpr int unknown_key = 254; // no PC key has it, and it is not -1 as a signed char

// Second code for a sequence ending in a letter: ESC [ A, ESC O A, ESC [ 1 ; 5 A.
// Lower-case a..d are rxvt's shifted cursor keys; E and G are keypad 5.
static int letter_key(int final)
{
    static const char letters[] = "ABCDabcdHFEGPQRSZ";
    static const int codes[] = {
        key_up,    key_down,   key_right,  key_left,   key_up,       key_down,
        key_right, key_left,   key_home,   key_end,    key_centre,   key_centre,
        key_f1,    key_f1 + 1, key_f1 + 2, key_f1 + 3, key_back_tab,
    };
    const void *at = memchr(letters, final, sizeof codes / sizeof codes[0]);
    return at ? codes[static_cast<const char *>(at) - letters] : unknown_key;
}

// Second code for ESC [ number ~ (VT220 editing and function keys; rxvt ends
// modified ones in ^ $ @ instead of ~).
static int number_key(int number)
{
    constexpr int u = unknown_key, f = key_f1;
    static const int codes[25] = {
        u,        key_home, key_insert, key_delete, key_end, key_page_up, key_page_down, // 0-6
        key_home, key_end,  u,          u,          f,       f + 1,       f + 2,         // 7-13
        f + 3,    f + 4,    u,          f + 5,      f + 6,   f + 7,       f + 8,         // 14-20
        f + 9,    u,        key_f11,    key_f12,                                         // 21-24
    };
    return number < 25 ? codes[number] : unknown_key;
}

static bool between(int c, int low, int high)
{
    return c >= low && c <= high;
}
constexpr int parameter_low = 0x30, parameter_high = 0x3f; // digits ; : < = > ?
constexpr int intermediate_low = 0x20, intermediate_high = 0x2f;
constexpr int final_low = 0x40, final_high = 0x7e;

// A two-code key of length `used`.
static int two_codes(int used, int code, int *first, int *second)
{
    *first = 0;
    *second = code;
    return used;
}

// ESC [ parameters intermediates final, from bytes[2]. Returns the length, 0
// when more bytes are needed, -1 when it is no sequence.
static int decode_csi(const unsigned char *bytes, int count, int *first, int *second)
{
    if (count > 2 && bytes[2] == '[') { // Linux console: ESC [ [ A is F1 .. ESC [ [ E is F5
        if (count < 4) return 0;
        int c = bytes[3];
        return two_codes(4, c >= 'A' && c <= 'E' ? key_f1 + (c - 'A') : unknown_key, first, second);
    }
    int number = 0, i = 2;
    bool in_number = true; // only the first parameter names the key
    for (; i < count && between(bytes[i], parameter_low, parameter_high); ++i) {
        if (!between(bytes[i], '0', '9'))
            in_number = false;
        else if (in_number && number < 1000)
            number = number * 10 + (bytes[i] - '0');
    }
    while (i < count && between(bytes[i], intermediate_low, intermediate_high)) ++i;
    if (i == count) return 0;
    int final = bytes[i];
    if (!between(final, final_low, final_high)) return -1;
    bool numbered = final == '~' || final == '^' || final == '$' || final == '@';
    return two_codes(i + 1, numbered ? number_key(number) : letter_key(final), first, second);
}

// ESC O final, or ESC O modifier final (old xterm). The application keypad
// sends its digits and signs as ESC O j .. ESC O y and Enter as ESC O M: those
// are characters, so they come back as one code, final - 64.
static int decode_ss3(const unsigned char *bytes, int count, int *first, int *second)
{
    int i = 2;
    while (i < count && between(bytes[i], parameter_low, parameter_high)) ++i;
    if (i == count) return 0;
    int final = bytes[i];
    if (!between(final, final_low, final_high)) return -1;
    if ((final >= 'j' && final <= 'y') || final == 'M') {
        *first = final - 64;
        *second = -1;
        return i + 1;
    }
    return two_codes(i + 1, letter_key(final), first, second);
}

// ESC ] / P / X / ^ / _ text, up to BEL or ESC \ (ST). Another ESC inside ends the
// string before it and starts the next key, as it does in a terminal.
static int decode_string(const unsigned char *bytes, int count, int *first, int *second)
{
    for (int i = 2; i < count; ++i) {
        if (bytes[i] == bel) return two_codes(i + 1, unknown_key, first, second);
        if (bytes[i] != esc) continue;
        if (i + 1 == count) return 0;
        return two_codes(bytes[i + 1] == '\\' ? i + 2 : i, unknown_key, first, second);
    }
    return 0;
}

int decode_key(const unsigned char *bytes, int count, bool final, int *first, int *second)
{
    if (count <= 0) return 0;
    *second = -1;
    if (bytes[0] == 0) return two_codes(1, key_nul, first, second);
    *first = bytes[0];
    if (bytes[0] != esc) return 1;
    if (count == 1) return final ? 1 : 0;
    int used = -1;
    if (bytes[1] == '[') used = decode_csi(bytes, count, first, second);
    if (bytes[1] == 'O') used = decode_ss3(bytes, count, first, second);
    if (memchr("]PX^_", bytes[1], 5)) used = decode_string(bytes, count, first, second);
    if (used > 0 || (used == 0 && !final)) return used;
    // Esc on its own, or followed by bytes that make no sequence: the Esc
    // is a key (first is still 27) and the bytes after it are keys of their own.
    return 1;
}

//-----------------------------------------------------------------------------
// [SECTION] Terminal
//-----------------------------------------------------------------------------
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

constexpr int esc_wait_ms = 40; // a sequence's bytes come together; a person is slower
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

// Waits for bytes after an incomplete sequence; false when none came in time.
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
    if (overlong) { // it ends here, or broke off (decoded as a lone Esc)
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

// Reads until `pending` holds a whole key. A read that ends or fails after
// part of a sequence still delivers its bytes, one key at a time.
static int read_key_raw()
{
    for (;;) {
        int key = take_key(false);
        if (key >= 0) return key;
        bool more = pending_count == 0 || more_bytes_soon();
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
    if (!held && !leave_raw_mode()) return -1;
    return key;
}
