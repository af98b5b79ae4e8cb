"""tests/harness.py -- helpers for the tests that run the real program: a pseudo-terminal as
its controlling terminal, its window on the X display found by process id, screenshots, PNG
files and key presses through XTest. Every process started here is killed and reaped here."""
import atexit, fcntl, os, platform, re, resource, select, signal, socket, struct
import subprocess, tempfile, termios, time, zlib

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
READ_SYSCALL = {'x86_64': '0', 'aarch64': '63'}[platform.machine()]


def stop(proc, grace=1.0):
    """SIGTERM, SIGKILL after the grace, then reap: only the one process given."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def until(condition, timeout=10.0):
    """Polls condition until it is true or the guard runs out; returns its last value."""
    deadline = time.monotonic() + timeout
    while not (value := condition()) and time.monotonic() < deadline:
        time.sleep(0.02)
    return value


def ensure_display():
    """Keeps $DISPLAY, or starts a private Xvfb (it picks a free number) until exit."""
    if os.environ.get('DISPLAY'):
        return
    r, w = os.pipe()
    xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(w), '-screen', '0', '1280x1024x24',
                             '-nolisten', 'tcp', '-noreset'], pass_fds=(w,), stderr=subprocess.DEVNULL)
    os.close(w)
    atexit.register(stop, xvfb)
    with os.fdopen(r) as f:
        os.environ['DISPLAY'] = ':' + f.readline().strip()


class Program:
    """The program on a new pseudo-terminal that is its controlling terminal (stdout is the
    terminal, stderr goes to a file). tune: edits the terminal's attributes (a tcgetattr list)
    before the start; typed: bytes typed before the start; ignore: signals it inherits as
    ignored; stdin: the terminal unless given, 'closed' for none; stdout: the terminal unless
    given (subprocess.PIPE: read it from .proc.stdout)."""

    def __init__(self, binary, argv0=None, tune=None, typed=b'', ignore=(), stdin=None,
                 stdout=None):
        self.master, self.slave = os.openpty()
        if tune:
            attrs = self.mode()
            tune(attrs)
            termios.tcsetattr(self.slave, termios.TCSANOW, attrs)
        self.before = self.mode()
        os.write(self.master, typed)
        self.taken = 0  # bytes read() must have returned before the program counts as waiting
        self.err, self.out = tempfile.TemporaryFile(), b''

        closed = stdin == 'closed'

        def child():  # after setsid: taking the terminal makes /dev/tty work
            fcntl.ioctl(self.slave, termios.TIOCSCTTY, 0)
            os.close(self.slave)
            resource.setrlimit(resource.RLIMIT_CORE, (0, 0))  # no core file from SIGQUIT
            for sig in ignore:
                signal.signal(sig, signal.SIG_IGN)
            if closed:
                os.close(0)

        stdin = {None: self.slave, 'closed': subprocess.DEVNULL}.get(stdin, stdin)
        self.proc = subprocess.Popen([argv0 or binary], executable=binary, stdin=stdin,
                                     stdout=stdout or self.slave, stderr=self.err,
                                     start_new_session=True, preexec_fn=child,
                                     pass_fds=(self.slave,),
                                     env=dict(os.environ, LIBGL_ALWAYS_SOFTWARE='1'))
        self.pid = self.proc.pid

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        stop(self.proc)
        if self.proc.stdout:
            self.proc.stdout.close()
        self.close_terminal()
        os.close(self.slave)
        self.err.close()

    def close_terminal(self):
        """Closes the master side: the terminal hangs up."""
        if self.master >= 0:
            os.close(self.master)
            self.master = -1

    def mode(self):
        return termios.tcgetattr(self.slave)

    def bytes_read(self):
        with open(f'/proc/{self.pid}/io') as f:
            return int(f.readline().split()[1])  # rchar

    def send(self, data):
        """Writes data to the terminal. Call it while the program waits in its read: the
        next wait_reading then also waits until read() has returned all of data, because
        the terminal hands written bytes to the reader a little later, and a byte that
        arrives while the program is between two reads is processed in the normal mode."""
        self.taken = self.bytes_read() + len(data)
        os.write(self.master, data)

    def read(self, timeout=0.0):
        """Adds what the terminal has printed (waiting up to timeout for the first byte)."""
        while self.master >= 0 and select.select([self.master], [], [], timeout)[0]:
            try:
                data = os.read(self.master, 65536)
            except OSError:
                break
            if not data:
                break
            self.out, timeout = self.out + data, 0.0
        return self.out

    def read_until(self, text, timeout=10.0):
        return until(lambda: text in self.read(0.05), timeout)

    def stderr(self):
        self.err.seek(0)
        return self.err.read()

    def reading(self):
        """True when the program sleeps in a read of its terminal with nothing left unread:
        every key sent so far has been read, and waiting costs no processor time."""
        try:
            with open(f'/proc/{self.pid}/syscall') as f:
                call = f.read().split()
            fd = int(call[1], 16) if call[0] == READ_SYSCALL else -1
            tty = os.readlink(f'/proc/{self.pid}/fd/{fd}') in ('/dev/tty', os.ttyname(self.slave))
            tty = tty and self.bytes_read() >= self.taken
        except (OSError, IndexError, ValueError):
            return False
        unread = struct.unpack('i', fcntl.ioctl(self.slave, termios.FIONREAD, b'\0' * 4))[0]
        return tty and unread == 0

    def wait_reading(self, timeout=10.0):
        return until(lambda: self.proc.poll() is not None or self.reading(), timeout) \
            and self.proc.poll() is None

    def window(self, timeout=10.0):
        """The program's one top-level window id, waiting for it to be mapped; None if none."""
        found = until(lambda: windows_of(self.pid), timeout)
        return found[0] if found else None


#-----------------------------------------------------------------------------
# X display: freeglut sets no _NET_WM_PID, so xdotool cannot search by process;
# the X-Resource extension tells which process owns a window. Raw protocol, so no
# library is needed; the cookie comes from xauth when the display wants one.
# The connection stays open: an X server resets when its last client leaves, and
# a program connecting during the reset fails, so one client is kept all along.
#-----------------------------------------------------------------------------

class XError(Exception):
    pass


def _pad(data):
    return data + b'\0' * (-len(data) % 4)


_x = None  # (socket, root window, X-Resource opcode)


def _x_server():
    global _x
    if _x is None:
        _x = until(_x_try_connect)
        if not _x:
            raise OSError('cannot connect to the X server')
    return _x


def _x_try_connect():
    try:
        sock, root = _x_connect()
        name = b'X-Resource'
        ext = _x_call(sock, struct.pack('<BxHHxx', 98, 2 + len(_pad(name)) // 4, len(name))
                      + _pad(name))  # QueryExtension
        return sock, root, ext[9]
    except (OSError, XError):
        return None


def _x_connect():
    number = re.match(r'.*:(\d+)', os.environ['DISPLAY']).group(1)
    sock = socket.socket(socket.AF_UNIX)
    sock.connect(f'/tmp/.X11-unix/X{number}')
    auth = subprocess.run(['xauth', 'list', os.environ['DISPLAY']], capture_output=True,
                          text=True).stdout.split()
    name, data = (auth[1].encode(), bytes.fromhex(auth[2])) if len(auth) >= 3 else (b'', b'')
    sock.sendall(struct.pack('<BxHHHHxx', 0x6c, 11, 0, len(name), len(data)) + _pad(name)
                 + _pad(data))
    head = _recv(sock, 8)
    setup = head + _recv(sock, struct.unpack_from('<H', head, 6)[0] * 4)
    if head[0] != 1:
        raise OSError('X server refused the connection')
    vendor, formats = struct.unpack_from('<H', setup, 24)[0], setup[29]
    root = struct.unpack_from('<I', setup, 40 + len(_pad(b'\0' * vendor)) + 8 * formats)[0]
    return sock, root


def _recv(sock, n):
    data = b''
    while len(data) < n:
        chunk = sock.recv(n - len(data))
        if not chunk:
            raise OSError('X server closed the connection')
        data += chunk
    return data


def _x_call(sock, request):
    sock.sendall(request)
    head = _recv(sock, 32)
    while head[0] > 1:  # an event every client gets (MappingNotify when xdotool remaps keys)
        head = _recv(sock, 32)
    if head[0] != 1:
        raise XError(f'X error {head[1]}')
    return head + _recv(sock, struct.unpack_from('<I', head, 4)[0] * 4)


def windows_of(pid):
    """Mapped top-level windows whose X client is process pid."""
    sock, root, xres = _x_server()
    tree = _x_call(sock, struct.pack('<BxHI', 15, 2, root))  # QueryTree
    found = []
    for wid in struct.unpack_from(f'<{struct.unpack_from("<H", tree, 16)[0]}I', tree, 32):
        try:  # XResQueryClientIds for one window: the client that owns wid, its process id
            ids = _x_call(sock, struct.pack('<BBHIII', xres, 4, 4, 1, wid, 2))
            attrs = _x_call(sock, struct.pack('<BxHI', 3, 2, wid))  # GetWindowAttributes
        except XError:  # gone since the query
            continue
        owner = struct.unpack_from('<I', ids, 44)[0] if ids[8] else None
        if owner == pid and attrs[26] == 2:  # map state viewable
            found.append(wid)
    return found


def window_info(wid):
    """(x, y, width, height, title) of a window, from xwininfo."""
    text = subprocess.run(['xwininfo', '-id', str(wid)], capture_output=True, text=True,
                          check=True).stdout
    field = lambda label: int(re.search(label + r':\s+(-?\d+)', text).group(1))
    title = re.search(r'Window id: \S+ "(.*)"', text)
    return (field('Absolute upper-left X'), field('Absolute upper-left Y'), field('Width'),
            field('Height'), title.group(1) if title else None)


def screenshot(wid):
    """(width, height, rgb bytes row by row) of a window's contents, through xwd."""
    data = subprocess.run(['xwd', '-silent', '-id', str(wid)], capture_output=True,
                          check=True).stdout
    h = struct.unpack_from('>25I', data)
    header_size, width, height, order, bpp, line = h[0], h[4], h[5], h[7], h[11], h[12]
    shifts = [(m & -m).bit_length() - 1 for m in h[14:17]]
    if bpp != 32 or any(m != 0xff << s or s % 8 for m, s in zip(h[14:17], shifts)):
        raise ValueError('xwd gave pixels other than 8 bits a colour in 32')
    start = header_size + 12 * h[19]  # after the colour table
    image = b''.join(data[start + y * line:start + y * line + 4 * width] for y in range(height))
    rgb = bytearray(3 * width * height)
    for i, s in enumerate(shifts):  # the byte of each colour in a pixel, by byte order
        rgb[i::3] = image[(3 - s // 8 if order else s // 8)::4]
    return width, height, bytes(rgb)


def pixel(shot, x, y):
    width, _, rgb = shot
    return tuple(rgb[3 * (y * width + x):3 * (y * width + x) + 3])


def save_png(shot, path):
    width, height, rgb = shot
    rows = b''.join(b'\0' + rgb[3 * width * y:3 * width * (y + 1)] for y in range(height))
    chunk = lambda kind, body: (struct.pack('>I', len(body)) + kind + body
                                + struct.pack('>I', zlib.crc32(kind + body)))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height,
                                                                   8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))


def press(wid, *keys, delay=30):
    """Focuses the window and types xdotool key names (a, Up, 1...) through XTest. With no
    window manager, focus is set directly and XTest events go to the focused window."""
    subprocess.run(['xdotool', 'windowfocus', '--sync', str(wid), 'key', '--delay', str(delay),
                    *keys], check=True, timeout=30)


def resize(wid, width, height):
    """Resizes a window directly: with no window manager the server does it at once."""
    subprocess.run(['xdotool', 'windowsize', '--sync', str(wid), str(width), str(height)],
                   check=True, timeout=30)
