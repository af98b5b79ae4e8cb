"""tests/harness.py -- the real program for the tests: a pseudo-terminal as its controlling
terminal, its window found by its title (a unique argv[0]), key presses through XTest and
its pictures, and waits for the program to sleep with all it was sent handled. Every
process started here is stopped and reaped here."""
import fcntl, itertools, os, platform, resource, select, signal, struct, subprocess, tempfile
import termios, time
from PIL import Image
from Xlib import X, XK, display, error
from Xlib.ext import xtest

BANNER = (b"          +---------------------------------------------+\n"
          b"          | Projekt zaliczeniowy z Grafiki Komputerowej |\n"
          b"          |           ROVOVA TAVELO - UKLADANKA         |\n"
          b"          +---------------------------------------------+\n\n\n"
          b"          Przygotowal:   Dabsin Kalwen  index:40716\n\n\n\n"
          b"          Klawisze sterujace:\n"
          b"          klawisze kursora - wybor grupy klockow\n"
          b"          '1' - obrot prawo, gora \n"
          b"          'w' - obrot lewo, dol \n\n\n"
          b"          Wybierz poziom trudnosci : \n"
          b"          [1] - Latwy\n"
          b"          [2] - Normalny\n")
NO_CONSOLE = b"twisty-cube: no console to read the menu key from\n"
# System calls: read, and the select() freeglut's event loop sleeps in (Xlib waits in poll).
READ, EVENT_WAIT = {'x86_64': (0, (23, 270)), 'aarch64': (63, (72,))}[platform.machine()]
serial = itertools.count()
x = display.Display() if os.environ.get('DISPLAY') else None  # the tests' own X connection


def until(condition, timeout=60.0):
    """Polls condition until it is true or the guard runs out; returns its last value."""
    deadline = time.monotonic() + timeout
    while not (value := condition()) and time.monotonic() < deadline:
        time.sleep(0.02)
    return value


def blocked(pid):
    """(system call, its first argument) that pid's main thread sleeps in; None if it runs."""
    try:
        with open(f'/proc/{pid}/syscall') as f:
            call = f.read().split()
        with open(f'/proc/{pid}/stat') as f:
            asleep = f.read().rsplit(')', 1)[1].split()[0] == 'S'
        return asleep and (int(call[0]), int(call[1], 16))
    except (OSError, IndexError, ValueError):
        return None


class Program:
    """The program on a new pseudo-terminal that is its controlling terminal, stderr to a
    file. tune: edits the terminal's attributes (a tcgetattr list) before the start; typed:
    bytes typed before it; ignore: signals it inherits as ignored; stdin: the terminal unless
    given, 'closed' for none; stdout: the terminal unless given (PIPE: read .proc.stdout)."""

    def __init__(self, binary, argv0=None, tune=None, typed=b'', ignore=(), stdin=None,
                 stdout=None):
        self.argv0 = argv0 or f'{binary}-{os.getpid()}-{next(serial)}'  # the window's title
        self.master, self.slave = os.openpty()
        if tune:
            tune(attrs := self.mode())
            termios.tcsetattr(self.slave, termios.TCSANOW, attrs)
        self.before, self.taken, self.out = self.mode(), 0, b''
        os.write(self.master, typed)
        self.err = tempfile.TemporaryFile()

        def child():  # after setsid: taking the terminal makes /dev/tty work
            fcntl.ioctl(self.slave, termios.TIOCSCTTY, 0)
            resource.setrlimit(resource.RLIMIT_CORE, (0, 0))  # no core file from SIGQUIT
            for sig in ignore:
                signal.signal(sig, signal.SIG_IGN)
            if stdin == 'closed':
                os.close(0)
        self.proc = subprocess.Popen(
            [self.argv0], executable=binary, stdin=self.slave if stdin is None else
            subprocess.DEVNULL if stdin == 'closed' else stdin, stdout=stdout or self.slave,
            stderr=self.err, start_new_session=True, preexec_fn=child, pass_fds=(self.slave,),
            env=dict(os.environ, LIBGL_ALWAYS_SOFTWARE='1'))
        self.pid = self.proc.pid

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait()
        for f in (self.proc.stdout, self.err):
            f and f.close()
        self.hang_up()
        os.close(self.slave)

    def hang_up(self):
        """Closes the master side of the terminal."""
        if self.master >= 0:
            os.close(self.master)
            self.master = -1

    def mode(self):
        return termios.tcgetattr(self.slave)

    def send(self, data):
        """Types data. wait_reading then also waits until read() has returned all of it:
        a byte that arrived while the program was between two reads would be seen later."""
        with open(f'/proc/{self.pid}/io') as f:
            self.taken = int(f.readline().split()[1]) + len(data)  # rchar
        os.write(self.master, data)

    def read(self, timeout=0.0):
        """All the terminal has shown so far, waiting up to timeout for more."""
        while self.master >= 0 and select.select([self.master], [], [], timeout)[0]:
            try:
                self.out, timeout = self.out + os.read(self.master, 65536), 0.0
            except OSError:
                break
        return self.out

    def stderr(self):
        self.err.seek(0)
        return self.err.read()

    def reading(self):
        """The program sleeps in a read of its terminal with every byte sent taken."""
        call = blocked(self.pid)
        try:
            tty = call[0] == READ and os.readlink(f'/proc/{self.pid}/fd/{call[1]}') in (
                '/dev/tty', os.ttyname(self.slave))
            with open(f'/proc/{self.pid}/io') as f:
                taken = int(f.readline().split()[1]) >= self.taken
        except (OSError, TypeError):
            return False
        unread = struct.unpack('i', fcntl.ioctl(self.slave, termios.FIONREAD, b'\0' * 4))[0]
        return tty and taken and unread == 0

    def wait_reading(self):
        return until(lambda: self.proc.poll() is not None or self.reading()) \
            and self.proc.poll() is None

    def window(self, timeout=60.0):
        """The program's mapped top-level window (titled argv[0]), or None."""
        def mapped():
            for w in x.screen().root.query_tree().children:
                try:
                    if w.get_wm_name() == self.argv0 and \
                            w.get_attributes().map_state == X.IsViewable:
                        return w
                except error.XError:  # gone meanwhile
                    pass
        self.win = until(mapped, timeout)
        return self.win

    def idle(self):
        """The program sleeps in its event loop, so it has handled every event the server
        sent it (which covers all the tests' requests: x.sync() is a round trip)."""
        x.sync()
        call = blocked(self.pid)
        return bool(call) and call[0] in EVENT_WAIT

    def settled(self, timeout=60.0):
        """The window's picture once the program is idle with the same picture twice, a
        round trip apart: every key sent so far handled and its frames drawn."""
        last = [None]
        def same():
            shot = picture(self.win) if self.idle() else None
            before, last[0] = last[0], shot
            return shot is not None and shot == before and self.idle() and shot
        return until(same, timeout)

    def press(self, *keys):
        """Types keysym names (a, Up, 1...) to the window through XTest."""
        self.win.set_input_focus(X.RevertToParent, X.CurrentTime)  # no window manager
        for key in keys:
            code = x.keysym_to_keycode(XK.string_to_keysym(key))
            xtest.fake_input(x, X.KeyPress, code)
            xtest.fake_input(x, X.KeyRelease, code)
        x.sync()


def picture(win):
    """What a window shows, as a Pillow image."""
    size = win.get_geometry()
    raw = win.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xffffffff).data
    return Image.frombytes('RGB', (size.width, size.height), raw, 'raw', 'BGRX')
