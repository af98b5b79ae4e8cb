"""scripts/picture.py -- plays the real program on the X server in $DISPLAY with real key
events and makes every picture of the project from what it draws: the README's pictures
and docs/screenshot.png, the pictures of docs/how-it-works.md, and the icons.
Run through scripts/picture, which installs what is needed, builds the program and the
frame reader (picture-frames.c, loaded into the program to catch the frames a turn draws
inside one key callback) and starts a private X server.
Usage: picture.py PROGRAM FRAME-READER"""
import ctypes, functools, os, shutil, subprocess, sys, tempfile, time
from math import cos, radians, sin, tan

import pexpect
from PIL import Image, ImageDraw, ImageFont
import x_window
from waits import READ, SELECT, system_call

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
FONT = '/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf'
BOLD = '/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf'
WHITE, YELLOW, GREY, CYAN = (255, 255, 255), (255, 230, 0), (150, 150, 150), (0, 220, 255)


class State(ctypes.Structure):
    """The program's one record `cube`, field for field as cube/cube.h declares it."""
    _fields_ = [('cube_size', ctypes.c_int), ('layer_x', ctypes.c_int),
                ('layer_y', ctypes.c_int), ('whole_x', ctypes.c_int),
                ('whole_y', ctypes.c_int), ('view_delta', ctypes.c_int * 3),
                ('turn_axis', ctypes.c_int), ('view_angle', ctypes.c_float * 3),
                ('turn_step_x', ctypes.c_float), ('turn_step_y', ctypes.c_float),
                ('cubie_angle_x', ctypes.c_float * 28), ('cubie_angle_y', ctypes.c_float * 28),
                ('cubie_angle_z', ctypes.c_float * 28),
                ('cell_cubie', ctypes.c_float * 3 * 3 * 3),
                ('cell_list', ctypes.c_int * 3 * 3 * 3), ('facelet', ctypes.c_int * 3 * 3 * 7),
                ('face_done', ctypes.c_int * 7), ('cubie_count', ctypes.c_int)]


def until(condition, what, timeout=60.0):
    """Polls condition until it gives something true; the timeout only guards a hang."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise SystemExit(f'picture: gave up waiting for {what() if callable(what) else what}')
        time.sleep(0.01)
    return value


class Program:
    """The real program, its menu answered on a pseudo-terminal, its window driven with
    XTest key events. Every frame it swaps is also written by the frame reader to a
    folder of its own; a key counts as done when the program has swapped the frames the
    key makes, sleeps in its event loop again, and its window shows the last of them."""

    running = []  # closed by main() whatever happens

    def __init__(self, binary, reader, size_key=b'2'):
        self.binary, self.frames = os.path.realpath(binary), tempfile.mkdtemp(prefix='frames-')
        Program.running.append(self)
        self.seen = 0  # frames taken so far
        env = dict(os.environ, LIBGL_ALWAYS_SOFTWARE='1', LD_PRELOAD=os.path.realpath(reader),
                   PICTURE_FRAMES=self.frames)
        self.child = pexpect.spawn(self.binary, env=env)
        self.pid = self.child.pid
        until(self.in_menu, 'the menu to read its key')
        self.child.send(size_key)
        self.window = until(lambda: x_window.find(self.binary), 'the window')
        self.settle(1, more=True)  # mapping the window may draw more than once
        self.address = self.load_address()

    def close(self):
        self.child.close(force=True)  # SIGHUP, SIGINT, then SIGKILL to this one process
        shutil.rmtree(self.frames)
        Program.running.remove(self)

    def syscall(self):
        return system_call(self.pid)

    def in_menu(self):
        """Sleeping in a read of its terminal: the menu key can be typed now."""
        call = self.syscall()
        try:
            return (call and call[0] == READ
                    and os.readlink(f'/proc/{self.pid}/fd/{int(call[1], 16)}') == '/dev/tty')
        except OSError:
            return False

    def in_event_loop(self):
        """Sleeping in the event loop's select on the X connection, nothing left to do."""
        call = self.syscall()
        if not call or call[0] != SELECT:
            return False
        try:
            return os.readlink(f'/proc/{self.pid}/fd/{int(call[1], 16) - 1}').startswith('socket:')
        except OSError:
            return False

    def last_frame(self):
        names = [n for n in os.listdir(self.frames) if n[0].isdigit()]
        return max((int(n[:6]) for n in names), default=0)

    def frame(self, number):
        with Image.open(os.path.join(self.frames, f'{number:06d}.ppm')) as image:
            return image.convert('RGB')

    def screenshot(self):
        return x_window.picture(self.window)

    def settle(self, frames, more=False):
        """Waits until `frames` more frames are swapped (or more than that, if more) and the
        program is idle with the last on screen; returns those frames as pictures, the last
        one the screenshot. A frame more than a key makes is an error: waits until it gives
        up."""
        def done():
            x_window.x.sync()  # the server has handled every request sent before this
            last = self.last_frame()
            if last < self.seen + frames or (last > self.seen + frames and not more) \
                    or not self.in_event_loop():
                return None
            shot = self.screenshot()
            if self.last_frame() != last or not self.in_event_loop():
                return None
            return (last, shot) if shot.tobytes() == self.frame(last).tobytes() else None

        last, shot = until(done, lambda: f'frame {self.seen + frames} (written: '
                           f'{self.last_frame()}, system call: {self.syscall()[:2]})')
        got = [self.frame(n) for n in range(self.seen + 1, last + 1)]
        for n in range(self.seen + 1, last + 1):
            os.remove(os.path.join(self.frames, f'{n:06d}.ppm'))
        self.seen = last
        return got[:-1] + [shot]

    def press(self, *keys):
        """Types keys (xdotool/X keysym names) one at a time, each once the last is done;
        returns the frames of the last key: 19 for a turn key (18 of the turn and one
        more), else one."""
        for key in keys:
            x_window.press(self.window, key)
            got = self.settle(19 if key in ('w', '1') else 1)
        return got

    def resize(self, width, height):
        """The window at a new size: the server may tell the program more than once."""
        self.window.configure(width=width, height=height)
        shot = self.settle(1, more=True)[-1]
        return shot if shot.size == (width, height) else self.settle(1, more=True)[-1]

    def load_address(self):
        """Where the record `cube` is in the program's memory: its place in the binary
        (nm) from where the binary is loaded (the first mapping of the file)."""
        nm = subprocess.run(['nm', self.binary], capture_output=True, text=True,
                            check=True).stdout
        offset = next(int(l.split()[0], 16) for l in nm.splitlines() if l.endswith(' B cube'))
        with open(f'/proc/{self.pid}/maps') as f:
            for line in f:
                part = line.split()
                if part[-1] == self.binary and int(part[2], 16) == 0:
                    return int(part[0].split('-')[0], 16) + offset
        raise SystemExit('picture: the program is not in its own address space')

    def state(self):
        """The record `cube` read out of the running program (it is idle)."""
        with open(f'/proc/{self.pid}/mem', 'rb') as f:
            f.seek(self.address)
            return State.from_buffer_copy(f.read(ctypes.sizeof(State)))


def project(state, point, size):
    """Window position of a point of the cube, as the program's frame places it: the
    camera at (0, 0, 4N + 5), 55-degree perspective, the view rotation X, Y, Z."""
    x, y, z = point
    ax, ay, az = (radians(a) for a in state.view_angle)
    x, y = x * cos(az) - y * sin(az), x * sin(az) + y * cos(az)
    x, z = x * cos(ay) + z * sin(ay), -x * sin(ay) + z * cos(ay)
    y, z = y * cos(ax) - z * sin(ax), y * sin(ax) + z * cos(ax)
    z -= 4 * state.cube_size + 5
    width, height = size
    f = 1 / tan(radians(27.5))
    return ((1 + f * height / width * x / -z) * width / 2, (1 - f * y / -z) * height / 2)


#-----------------------------------------------------------------------------
# Drawing on the screenshots: captions, labels, arrows, sheets of frames.
#-----------------------------------------------------------------------------

def font(size, bold=False):
    return ImageFont.truetype(BOLD if bold else FONT, size)


def wrap(text, face, width):
    lines = []
    for paragraph in text.split('\n'):
        line = ''
        for word in paragraph.split(' '):
            longer = f'{line} {word}' if line else word
            if line and face.getlength(longer) > width:
                lines.append(line)
                line = word
            else:
                line = longer
        lines.append(line)
    return lines


def text_block(text, width, size=13, colour=WHITE, bold=False, centre=True):
    """A black picture `width` wide holding text wrapped to it."""
    face = font(size, bold)
    lines = wrap(text, face, width - 8)
    step = size + 4
    image = Image.new('RGB', (width, step * len(lines) + 6))
    draw = ImageDraw.Draw(image)
    for i, line in enumerate(lines):
        x = (width - face.getlength(line)) / 2 if centre else 4
        draw.text((round(x), 3 + i * step), line, font=face, fill=colour)
    return image


def stack(images, across=False, gap=0):
    """Pictures one below the other (or side by side), on black, left or top aligned."""
    long = sum((im.width if across else im.height) for im in images) + gap * (len(images) - 1)
    short = max((im.height if across else im.width) for im in images)
    sheet = Image.new('RGB', (long, short) if across else (short, long))
    at = 0
    for im in images:
        sheet.paste(im, (at, 0) if across else (0, at))
        at += (im.width if across else im.height) + gap
    return sheet


def sheet(title, rows, gap=10):
    """A title line, then rows of frames, each row with an optional heading and each
    frame with its caption below it."""
    parts = []
    for heading, cells in rows:
        framed = [stack([im, text_block(caption, im.width)]) for im, caption in cells]
        row = stack(framed, across=True, gap=gap)
        parts.append(stack([text_block(heading, row.width, 14, YELLOW, centre=False), row])
                     if heading else row)
    body = stack(parts, gap=gap)
    return stack([text_block(title, body.width, 15, bold=True, centre=False), body])


def arrow(draw, points, colour=CYAN, width=4):
    """A line through points with a head at the last one."""
    draw.line(points, fill=colour, width=width, joint='curve')
    (x0, y0), (x1, y1) = points[-2], points[-1]
    length = max(((x1 - x0) ** 2 + (y1 - y0) ** 2) ** .5, 1e-6)
    ux, uy = (x1 - x0) / length, (y1 - y0) / length
    size = 4 * width
    draw.polygon([(x1 + ux * size / 2, y1 + uy * size / 2),
                  (x1 - ux * size + uy * size / 2, y1 - uy * size - ux * size / 2),
                  (x1 - ux * size - uy * size / 2, y1 - uy * size + ux * size / 2)], fill=colour)


def label(draw, at, text, size=13, colour=WHITE, outline=(0, 0, 0)):
    """Text centred on a point, edged so that it reads on any colour."""
    draw.text(at, text, font=font(size, True), fill=colour, anchor='mm', stroke_width=2,
              stroke_fill=outline)


def save(image, *path):
    """PNG, as small as it goes without changing a pixel: a palette of the picture's own
    colours when it has at most 256, and the densest compression."""
    path = os.path.join(ROOT, *path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if image.mode == 'RGB' and (colours := image.getcolors(256)):
        palette = Image.new('P', (1, 1))
        palette.putpalette([c for _, rgb in sorted(colours, key=lambda c: c[1]) for c in rgb])
        exact = image.quantize(len(colours), palette=palette, dither=Image.Dither.NONE)
        if exact.convert('RGB').tobytes() == image.tobytes():
            image = exact
    image.save(path, optimize=True)
    print(f'picture: {os.path.relpath(path, ROOT)} {image.width}x{image.height}')


#-----------------------------------------------------------------------------
# The pictures. Each plays a fresh program from the menu; N = 3 throughout.
#-----------------------------------------------------------------------------

CUBE = (100, 50, 350, 300)  # the part of the 450 x 350 window around the cube
WITH_COLUMN = (100, 50, 440, 300)  # ... and the solved-face column on its right
WIDE = (70, 25, 380, 325)  # room for labels around the cube
TILT = ['a'] * 4 + ['x'] * 6  # view (20, -30, 0): the front, the top and the right face
FACE_NAMES = {1: 'front', 2: 'bottom', 3: 'back', 4: 'top', 5: 'left', 6: 'right'}
RGB = {1: (255, 0, 0), 2: (255, 255, 0), 3: (0, 0, 255), 4: (255, 128, 0), 5: WHITE,
       6: (0, 255, 0)}


def turns(p, moves):
    """Plays moves written as axis, layer, sign ('X0+ Y1-'): the cursor keys that choose
    the layer and axis, then w (+) or 1 (-). Returns the frames of the last turn."""
    for move in moves.split():
        axis, layer, sign = 'XY'.index(move[0]), int(move[1]), move[2]
        state = p.state()
        now = (state.layer_x, state.layer_y)[axis]
        forward, back = (('Right', 'Left'), ('Up', 'Down'))[axis]
        keys = [forward] * ((layer - now) % 3)
        if not keys and state.turn_axis != axis:
            keys = [forward, back]
        if keys:
            p.press(*keys)
        frames = p.press('w' if sign == '+' else '1')
    return frames


def cut(image, box=CUBE):
    return image.crop(box)


def turn_rows(p, moves):
    """Before, frame 9 of 18 and after, for `w` and for `1`, each from the same start;
    moves: {key: (heading, arrow points in cube space)}."""
    rows = []
    for key, undo in (('w', '1'), ('1', 'w')):
        heading, path = moves[key]
        before = p.screenshot()
        frames = p.press(key)
        state = p.state()
        middle = cut(frames[8])
        draw = ImageDraw.Draw(middle)
        arrow(draw, [(x - CUBE[0], y - CUBE[1])
                     for x, y in (project(state, q, (450, 350)) for q in path)])
        rows.append((heading, [(cut(before), f'{key}: before'),
                               (middle, f'{key}: frame 9 of 18'),
                               (cut(frames[-1]), f'{key}: after')]))
        p.press(undo)
    return rows


def readme_pictures(run):
    p = run()
    p.press(*TILT)
    column = cut(p.press('Right')[-1])
    row = cut(p.press('Up')[-1])
    save(sheet('The yellow frame marks the layer that w and 1 turn',
               [(None, [(column, 'Right or Left: a column (about X)'),
                        (row, 'Up or Down: a row (about Y)')])]),
         'docs', 'pictures', 'selection.png')

    p.press('Left', 'Right')  # back to column 1, turns about X
    down = [(0, 2.2, 3.6), (0, -2.2, 3.6)]
    save(sheet('A column (after Left or Right)', turn_rows(p, {
        'w': ('w: the front goes down, the top comes to the front', down),
        '1': ('1: the front goes up, the bottom comes to the front', down[::-1])})),
         'docs', 'pictures', 'turn-column.png')

    p.press('Down', 'Up')  # back to row 1, turns about Y
    right = [(-2.2, 0, 3.6), (2.2, 0, 3.6)]
    save(sheet('A row (after Up or Down): the other way round from the banner', turn_rows(p, {
        'w': ('w: the front goes right, white (left) comes to the front', right),
        '1': ('1: the front goes left, green (right) comes to the front', right[::-1])})),
         'docs', 'pictures', 'turn-row.png')

    p.press('Up')  # the top row
    p.press('a', 'a', 'a')
    before = cut(p.press('a')[-1])
    assert p.state().view_angle[0] == 40
    turn = cut(p.press('a')[-1])
    assert p.state().view_angle[0] == -40
    after = cut(p.press('a')[-1])
    save(sheet('Spinning with a: at 45 degrees the whole cube turns', [(None, [
        (before, 'a: the view at 40°, the top row chosen'),
        (turn, 'a: 45°, the whole cube turns 90° about X and the view goes back 85°'),
        (after, 'a: −35°, the frame now holds the row that was at the back')])]),
        'docs', 'pictures', 'reorient.png')
    p.close()

    p = run()
    p.press(*TILT)
    solved = cut(p.press('Right')[-1], WITH_COLUMN)
    # Eight turns that leave the front face alone solved, found by a search.
    one = turns(p, 'X0+ Y1+ X0+ X0+ Y1- X1- X2- Y0+')[-1]
    done = p.state().face_done
    assert [c for c in done[1:] if c] == [1]
    where = FACE_NAMES[[f for f in range(1, 7) if done[f]][0]]
    save(sheet('The column on the right shows each solved face in its colour',
               [(None, [(solved, 'solved: all six'),
                        (cut(one, WITH_COLUMN), f'only red solved, on the {where} face')])]),
         'docs', 'pictures', 'solved-column.png')
    p.close()


def marks(image, state, box, marks):
    """Labels at points of the cube: (point, text, size) each."""
    draw = ImageDraw.Draw(image)
    for point, text, size in marks:
        x, y = project(state, point, (450, 350))
        label(draw, (x - box[0], y - box[1]), text, size)
    return image


def axis_arrow(image, state, box, start, end, text, ticks):
    """An arrow along a cube edge, its name at the end and the cell indices beside it."""
    draw = ImageDraw.Draw(image)
    at = lambda q: tuple(v - o for v, o in zip(project(state, q, (450, 350)), box))
    arrow(draw, [at(start), at(end)], CYAN, 3)
    over = tuple(e + (e - s) * 0.12 for s, e in zip(start, end))
    label(draw, at(over), text, 14, CYAN)
    for point, tick in ticks:
        label(draw, at(point), tick, 12, CYAN)


def grid_picture(run):
    p = run()
    p.press(*TILT)
    state, front = p.state(), cut(p.screenshot(), WIDE)
    marks(front, state, WIDE, [((0, 0, 3), '1  +Z', 15), ((0, 3, 0), '4  +Y', 13),
                               ((3, 0, 0), '6  +X', 13)])
    axis_arrow(front, state, WIDE, (-3, -3.8, 3.3), (3.4, -3.8, 3.3), 'x',
               [((2 * i - 2, -4.6, 3.3), str(i)) for i in range(3)])
    axis_arrow(front, state, WIDE, (-3.8, -3, 3.3), (-3.8, 3.8, 3.3), 'y',
               [((-4.6, 2 * i - 2, 3.3), str(i)) for i in range(3)])
    axis_arrow(front, state, WIDE, (4.9, -3.8, -3.2), (4.9, -3.8, 2.6), 'z',
               [((5.8, -4.2, 2 * i - 2), str(i)) for i in range(3)])
    p.press(*['z'] * 8, *['s'] * 12)  # view (-20, 30, 0)
    state, back = p.state(), cut(p.screenshot(), WIDE)
    marks(back, state, WIDE, [((0, 0, 3), '1  +Z', 15), ((0, -3, 0), '2  −Y', 13),
                              ((-3, 0, 0), '5  −X', 13)])
    p.close()
    save(sheet('Cells (x, y, z) count from the negative side; face f starts in colour f', [
        (None, [(front, 'front, top, right: faces 1 (red), 4 (orange), 6 (green)'),
                (back, 'front, bottom, left: faces 2 (yellow), 5 (white); 3 (blue) is behind')])]),
        'docs', 'pictures', 'grid.png')


def arc(state, box, point, start, end, steps=24):
    """Window points of an arc in the cube, point(t) for t from start to end degrees."""
    return [tuple(v - o for v, o in zip(project(state, point(radians(start + (end - start)
                                                                      * i / steps)),
                                                (450, 350)), box)) for i in range(steps + 1)]


def turn_sense_picture(run):
    cells = []
    for view, choose, point, text in (
            (['a'] * 4 + ['x'] * 8, ['Right', 'Right'],
             lambda t: (3.3, 2.2 * cos(t), 2.2 * sin(t)),
             'w on column 2: +90° about X, counter-clockwise seen from +X (green)'),
            (['a'] * 8 + ['x'] * 6, ['Up', 'Up'],
             lambda t: (2.2 * sin(t), 3.3, 2.2 * cos(t)),
             'w on row 2: +90° about Y, counter-clockwise seen from +Y (orange)')):
        p = run()
        p.press(*view, *choose)
        middle = cut(p.press('w')[8])
        arrow(ImageDraw.Draw(middle), arc(p.state(), CUBE, point, 20, 160))
        cells.append((middle, text))
        p.close()
    save(sheet('Turn sense: w is +90° by the right-hand rule, 1 is −90° (frame 9 of 18)',
               [(None, cells)]), 'docs', 'pictures', 'turn-sense.png')


def grid_panel(title, cells, colour=None):
    """A 3 x 3 table as the front face shows it: x to the right, y upward."""
    small = font(12)
    panel = Image.new('RGB', (150, 130))
    draw = ImageDraw.Draw(panel)
    draw.text((4, 2), title, font=small, fill=WHITE)
    for x in range(3):
        for y in range(3):
            left, top = 10 + 40 * x, 22 + 35 * (2 - y)
            value = cells(x, y)
            fill = RGB[value] if colour else (40, 40, 40)
            draw.rectangle([left, top, left + 36, top + 31], fill=fill)
            label(draw, (left + 18, top + 16), str(value), 13)
    return panel


TRACKED = 9  # home (2, 2, 0): back, top, right; the two turns below both carry it


def angles_picture(run):
    p = run()
    p.press(*TILT)
    cells = []
    for moves, text in (('X2+', 'after w on column 2 (X+)'),
                        ('Y2+', 'then w on row 2 (Y+)')):
        shot = cut(turns(p, moves)[-1])
        state = p.state()
        where = next((x, y, z) for x in range(3) for y in range(3) for z in range(3)
                     if int(state.cell_cubie[x][y][z]) == TRACKED)
        centre = tuple(2 * v - 2 for v in where)
        out = max(range(3), key=lambda i: centre[i] * (1, 0.5, 1.5)[i])
        face = tuple(c + (1.05 if i == out else 0) for i, c in enumerate(centre))
        marks(shot, state, CUBE, [(face, str(TRACKED), 14)])
        angles = tuple(int(a[TRACKED]) for a in (state.cubie_angle_x, state.cubie_angle_y,
                                            state.cubie_angle_z))
        ids = grid_panel('cell_cubie, front layer',
                         lambda x, y: int(state.cell_cubie[x][y][2]))
        stickers = grid_panel('facelet[1], front face',
                              lambda x, y: state.facelet[1][x][2 - y], colour=True)
        panel = stack([text_block(f'cubie {TRACKED}: cell {where}, angles {angles}', 300, 13,
                                  YELLOW), stack([ids, stickers], across=True)])
        cells.append((stack([shot, panel], across=True), text))
    p.close()
    save(sheet('The frame draws each cubie under its angles; turns and the solved check use '
               'the cells and the stickers', [(None, cells)]),
         'docs', 'pictures', 'angles.png')



def view_text(state):
    return '({:g}, {:g}, {:g})'.format(*(a + 0.0 for a in state.view_angle)).replace('-', '−')


def reorient_picture(run):
    p = run()
    p.press(*['x'] * 6, 'Up', 'Up')  # view (0, -30, 0), the top row
    before = cut(p.press(*['a'] * 8)[-1])
    before_view = view_text(p.state())
    turn = cut(p.press('a')[-1])
    turned = p.state()
    assert turned.view_angle[0] == -40
    back = cut(p.press('z')[-1])
    back_view = view_text(p.state())
    p.press('a')
    after = cut(p.press('a')[-1])
    after_view = view_text(p.state())
    p.close()
    save(sheet('Re-orientation: the view goes back by 85°, not 90°, and so stays inside ±45°', [
        (None, [(before, f'8 × a: view {before_view}'),
                (turn, f'a: drawn at 45°, then the cube turns +90° about X; view '
                       f'{view_text(turned)}'),
                (after, f'a: view {after_view}, 10° on from the last picture'),
                (back, f'z instead: drawn at −45°, the same picture; the cube turns back, '
                       f'view {back_view}')])]),
         'docs', 'pictures', 'reorient-85.png')


def display_lists_picture(run):
    p = run()
    p.press(*['a'] * 6, *['x'] * 7)  # view (30, -35, 0): room for the top face's numbers
    cells = []
    for moves, text in ((None, 'at the start every angle is 0: list i shows cubie i at its '
                               'home cell'),
                        ('X2+', 'after w on column 2: its nine lists drawn under the angles '
                                '(90, 0, 0); cell_cubie says who is where')):
        shot = cut(turns(p, moves)[-1] if moves else p.screenshot())
        state = p.state()
        turned = {(state.cubie_angle_x[i], state.cubie_angle_y[i], state.cubie_angle_z[i])
                  for i in (int(state.cell_cubie[2][b][c]) for b in range(3) for c in range(3))}
        assert turned == {(90, 0, 0) if moves else (0, 0, 0)}  # as the caption says
        ids = []
        for a in range(3):
            for b in range(3):
                ids += [((2 * a - 2, 2 * b - 2, 3.02), state.cell_cubie[a][b][2]),
                        ((2 * a - 2, 3.02, 2 * b - 2), state.cell_cubie[a][2][b]),
                        ((3.02, 2 * a - 2, 2 * b - 2), state.cell_cubie[2][a][b])]
        marks(shot, state, CUBE, [(q, str(int(i)), 11) for q, i in ids])
        cells.append((shot, text))
    p.close()
    save(sheet('Display list i holds cubie i at its home cell; the frame turns it from there',
               [(None, cells)]), 'docs', 'pictures', 'display-lists.png')


def frame_order_picture(run):
    p = run()
    p.press(*TILT, 'Right')
    shot = cut(p.press('w')[8], WITH_COLUMN)
    p.close()
    draw = ImageDraw.Draw(shot)
    for at, number in (((262, 135), '2'), ((40, 235), '4'), ((150, 235), '6')):
        draw.ellipse([at[0] - 11, at[1] - 11, at[0] + 11, at[1] + 11], fill=CYAN)
        label(draw, at, number, 13, (0, 0, 0), CYAN)
    steps = text_block(
        '1  clear colour and depth\n'
        '2  the solved-face column, under the camera alone: it never spins, and it '
        'changes one frame after a turn\'s last frame\n'
        '3  the view delta added to the view angles, then the view rotation X, Y, Z\n'
        '4  every cubie: its angles X, Y, Z, then its display list\n'
        '5  the re-orientation check (it may turn the whole cube, seen from the next '
        'frame on)\n'
        '6  the selection frame, last, under the view alone: it stays put while the '
        'layer turns inside it\n'
        '7  swap', 300, 13, centre=False)
    save(sheet('One frame, in the order display() draws it (frame 9 of a turn)',
               [(None, [(stack([shot, steps], across=True, gap=10), '')])]),
         'docs', 'pictures', 'frame-order.png')



SCREENSHOT_MOVES = ['Up', 'w', 'Right', '1', 'Up', 'Up', 'w', 'Left', 'w', 'Down', '1',
                    's', 's', 's', 's', 'a', 'a', 'a', 'a']


def screenshot_and_icons(run):
    p = run()
    save(p.press(*SCREENSHOT_MOVES)[-1], 'docs', 'screenshot.png')
    p.close()

    # The icons: the window made big enough that even the largest icon is scaled down.
    p = run()
    p.press(*['a'] * 5, *['x'] * 7)  # view (25, -35, 0)
    turns(p, 'X2+ Y2+')
    big = p.resize(1000, 800)
    p.close()
    cube = big.crop((0, 0, 800, 800))  # the solved-face column stands further right
    box = cube.convert('L').point(lambda v: 255 if v else 0).getbbox()
    side = max(box[2] - box[0], box[3] - box[1]) + 16
    cx, cy = (box[0] + box[2]) // 2, (box[1] + box[3]) // 2
    square = big.crop((cx - side // 2, cy - side // 2, cx - side // 2 + side,
                       cy - side // 2 + side))
    # The background, exactly black, becomes transparent; the cubies' black edges are
    # lit by the ambient light and so never quite black.
    alpha = square.convert('L').point(lambda v: 255 if v else 0)
    icon = square.convert('RGBA')
    icon.putalpha(alpha)
    for size in (256, 128, 64, 48):
        scaled = icon.convert('RGBa').resize((size, size), Image.Resampling.LANCZOS)
        save(scaled.convert('RGBA'), 'packaging', 'icons', f'twisty-cube-{size}.png')


def main(binary, reader):
    run = functools.partial(Program, binary, reader)
    try:
        all_pictures(run)
    finally:
        for program in list(Program.running):
            program.close()


def all_pictures(run):
    readme_pictures(run)
    grid_picture(run)
    turn_sense_picture(run)
    angles_picture(run)
    reorient_picture(run)
    display_lists_picture(run)
    frame_order_picture(run)
    screenshot_and_icons(run)


if __name__ == '__main__':
    main(*sys.argv[1:])
