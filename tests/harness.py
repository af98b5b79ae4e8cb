"""tests/harness.py -- the real program on a pseudo-terminal that is its controlling terminal,
its window found by title (a unique argv[0]), keys through XTest, pictures through Pillow,
and waits until it sleeps with all it was sent handled. What it starts, it kills and reaps."""
import fcntl, os, platform, resource, select, signal, subprocess, termios, time
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
# System calls: read, and the select freeglut's event loop sleeps in (Xlib's own waits poll).
READ, SELECT = {'x86_64': ((0,), (23, 270)), 'aarch64': ((63,), (72,))}[platform.machine()]
x = display.Display() if os.environ.get('DISPLAY') else None  # the tests' own X connection
def until(condition, timeout=60.0):
    deadline = time.monotonic() + timeout
    while not (value := condition()) and time.monotonic() < deadline:
        time.sleep(0.02)
    return value  # the last value: false if the guard ran out


class Program:
    """The program with a new pseudo-terminal as controlling terminal, stdin and stdout unless
    streams say otherwise. tune edits the terminal's tcgetattr list first; typed is typed
    before the start; ignore: signals it inherits ignored; no_stdin closes its fd 0."""

    def __init__(self, binary, argv0=None, tune=None, typed=b'', ignore=(), no_stdin=False,
                 **streams):
        self.argv0 = argv0 or f'{binary}-{time.monotonic_ns()}'  # the window's unique title
        master, self.slave = os.openpty()
        self.master, self.taken, self.out = open(master, 'r+b', buffering=0), 0, b''
        if tune:
            tune(mode := self.mode())
            termios.tcsetattr(self.slave, termios.TCSANOW, mode)
        self.before = self.mode()
        self.master.write(typed)

        def child():  # after setsid: taking the terminal makes /dev/tty work
            fcntl.ioctl(self.slave, termios.TIOCSCTTY, 0)
            resource.setrlimit(resource.RLIMIT_CORE, (0, 0))  # no core file from SIGQUIT
            for sig in ignore:
                signal.signal(sig, signal.SIG_IGN)
            no_stdin and os.close(0)
        self.proc = subprocess.Popen([self.argv0], executable=binary, start_new_session=True,
                                     preexec_fn=child, pass_fds=(self.slave,),
                                     **{'stdin': self.slave, 'stdout': self.slave, **streams})
        self.pid = self.proc.pid

    def close(self):
        self.proc.kill()
        self.proc.communicate()
        self.master.close()
        os.close(self.slave)

    def mode(self):
        return termios.tcgetattr(self.slave)

    def read(self):  # all the terminal has shown so far
        while select.select([self.master], [], [], 0)[0]:
            self.out += self.master.read(65536)
        return self.out

    def proc_file(self, name):
        with open(f'/proc/{self.pid}/{name}') as f:
            return f.read().split()

    def send(self, data):  # wait_reading then also waits until read() has returned all of it
        self.taken = int(self.proc_file('io')[1]) + len(data)  # rchar: bytes read so far
        self.master.write(data)

    def sleeping_in(self, calls):
        try:  # the main thread's state and system call: llvmpipe has threads of its own
            state, call = self.proc_file('stat')[2], self.proc_file('syscall')[0]
            return state == 'S' and int(call) in calls
        except (OSError, ValueError):  # gone, or 'running'
            return False

    def wait_reading(self):
        """Waits until it sleeps in a read (of its terminal: nothing else blocks) having read
        every byte sent; false if it ended."""
        return until(lambda: self.proc.poll() is not None or self.sleeping_in(READ) and
                     int(self.proc_file('io')[1]) >= self.taken) and self.proc.poll() is None

    def window(self, timeout=60.0):
        """The program's mapped top-level window, titled argv[0]; None if none comes."""
        def mapped():
            try:
                return next((w for w in x.screen().root.query_tree().children
                             if w.get_wm_name() == self.argv0
                             and w.get_attributes().map_state == X.IsViewable), None)
            except error.XError:  # a window went away meanwhile
                return None
        self.win = until(mapped, timeout)
        return self.win

    def settled(self):
        """The picture once the program sleeps in its event loop after a round trip (x.sync()),
        twice in a row with the same picture: every event the tests caused handled and drawn."""
        last = [None]
        def same():
            x.sync()
            shot = picture(self.win) if self.sleeping_in(SELECT) else None
            before, last[0] = last[0], shot
            return shot is not None and shot == before and shot
        return until(same)

    def press(self, *keys):
        """Types keysym names (a, Up, 1...) to the window through XTest."""
        self.win.set_input_focus(X.RevertToParent, X.CurrentTime)  # there is no window manager
        for code in (x.keysym_to_keycode(XK.string_to_keysym(key)) for key in keys):
            xtest.fake_input(x, X.KeyPress, code)
            xtest.fake_input(x, X.KeyRelease, code)
        x.sync()


def picture(win):
    size = win.get_geometry()
    raw = win.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xffffffff).data
    return Image.frombytes('RGB', (size.width, size.height), raw, 'raw', 'BGRX')
