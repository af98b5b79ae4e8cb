"""tests/harness.py -- the real program on a pseudo-terminal that is its controlling terminal,
stdout a pipe, its window found by title (argv[0]), keys through XTest, pictures through
Pillow, waits until it sleeps with all it was sent handled; it kills and reaps what it starts,
so that its window is gone before the next opens. A Windows build (PROGRAM.exe) runs under
Wine, whose console host reads the terminal."""
import contextlib, fcntl, os, pathlib, signal, subprocess, sys, termios, time
from Xlib import X
from Xlib.protocol import event

sys.path.append(str(pathlib.Path(__file__).resolve().parents[1] / 'scripts'))
import x_window  # as scripts/picture.py finds, types to and reads the window
from x_window import x  # its X connection, the tests' too
from waits import READ, SELECT, steady, system_call, until  # and waits

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


class Program:
    """The program on a new pseudo-terminal, with typed typed first; its stdin /dev/null, so
    that the menu must read the terminal (but under Wine, which makes a console only for a
    terminal on stdin); its stdout a pipe, where a banner not flushed would wait."""

    def __init__(self, binary, typed=b''):
        self.wine = binary.endswith('.exe')
        # The window's title, unique: argv[0], relative (the title is argv[0] as it was given).
        self.argv0 = f'{os.path.relpath(binary)}-{time.monotonic_ns()}'
        command = [self.argv0]
        self.master, self.slave = os.openpty()
        self.taken = 0
        self.woke = 0
        self.out = b''
        if self.wine:  # the title is the Windows path it was started by
            self.argv0 = 'Z:' + os.path.abspath(binary).replace('/', '\\')
            command = ['wine', binary]
            # Wine's console keeps ISIG: clear it here.
            subprocess.run(['stty', '-isig'], stdin=self.slave, check=True)
        os.write(self.master, typed)

        def child():  # after setsid: taking the terminal makes /dev/tty work
            fcntl.ioctl(self.slave, termios.TIOCSCTTY, 0)
        # Under Wine freeglut notes on stderr that Wine's display has no device context for it.
        self.proc = subprocess.Popen(command, executable=None if self.wine else binary,
                                     start_new_session=True, preexec_fn=child,
                                     pass_fds=(self.slave,),
                                     stdin=self.slave if self.wine else subprocess.DEVNULL,
                                     stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL if self.wine else None)
        os.set_blocking(self.proc.stdout.fileno(), False)
        self.pid = self.proc.pid
        self.reader = self.pid  # the process that reads the terminal

    def close(self):
        with contextlib.suppress(ProcessLookupError):  # its group: under Wine its console too
            os.killpg(self.pid, signal.SIGKILL)
        self.proc.communicate()
        os.close(self.master)
        os.close(self.slave)

    def printed(self):  # all it has written to stdout so far
        self.out += self.proc.stdout.read() or b''
        return self.out

    def bytes_read(self, pid=None):  # rchar
        return int(pathlib.Path(f'/proc/{pid or self.pid}/io').read_text().split()[1])

    def console(self):  # under Wine the console's host reads the terminal, in its session
        return int(subprocess.check_output(['pgrep', '-s', str(self.pid), 'conhost.exe']))

    def send(self, data):  # wait_reading then also waits until the reader has taken all of it
        if self.wine:
            self.reader = self.console()
        self.taken = self.bytes_read(self.reader) + len(data)
        self.woke = self.bytes_read()  # under Wine: it must hear from its console after this
        os.write(self.master, data)

    def sleeping_in(self, call):  # the main thread: llvmpipe has threads of its own
        return system_call(self.pid)[:1] == [call]

    def wait_reading(self):
        """Waits until it sleeps in a read (under Wine, of the Wine server) with every byte sent
        read; false if it never does. Under Wine also until it has heard from its console since
        the last send, and the console has the terminal raw again (not so just after Ctrl+C)."""
        def reading():
            taken = self.sleeping_in(READ) and self.bytes_read(self.reader) >= self.taken
            if not self.wine:
                return taken
            raw = not termios.tcgetattr(self.slave)[3] & termios.ECHO
            return taken and self.bytes_read() > self.woke and raw
        return until(reading)

    def window(self, timeout=60.0):  # its mapped top-level window, titled argv[0], or None
        self.win = until(lambda: x_window.find(self.argv0), timeout)
        return self.win

    def settled(self):
        """The picture once the program sleeps in its event loop after a round trip, twice in a
        row the same: all events handled and drawn."""
        def shot():
            x.sync()
            return self.sleeping_in(READ if self.wine else SELECT) and x_window.picture(self.win)
        answered = True
        if self.wine:  # Wine may sleep with events unread: it must answer a ping first
            answered = self.ping()
        shown = steady(shot)
        return answered and shown

    def press(self, *keys):  # keysym names (a, Up, 1...)
        x_window.press(self.win, *keys)

    def ping(self):
        """Waits until Wine's window answers _NET_WM_PING, once it has read every event before
        it (a key read is then queued, and the thread does not sleep while one is). The answer
        goes to the root window."""
        stamp = time.monotonic_ns() & 0xffffffff
        x.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        data = (32, [x.intern_atom('_NET_WM_PING'), stamp, self.win.id, 0, 0])
        ping = event.ClientMessage(window=self.win, client_type=x.intern_atom('WM_PROTOCOLS'),
                                   data=data)
        self.win.send_event(ping)
        x.flush()

        def answered():  # among the events come so far
            events = [x.next_event() for _ in range(x.pending_events())]
            return any(e.type == X.ClientMessage and e.data[1][1] == stamp for e in events)
        return until(answered)
