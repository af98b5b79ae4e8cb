"""bench/page_cost.py -- what the page costs in headless Chromium: the program's own work (JS and
wasm, from a resume to its next sleep) per frame and per turn, a turn's wall time, the time from
the menu key to the first frame on screen, the processor time of all the browser's processes
while the page waits at the menu and while the canvas sits idle (5 s each) beside the same
browser on an empty page, and the bytes of the site. Usage: page_cost.py PATH-OF-index.html [1|2]"""
import os, sys, time
from contextlib import closing

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests'))
import page
from waits import until  # from scripts/, which page puts on the path

TICK = os.sysconf('SC_CLK_TCK')
TURNS = 5
SITE_TARGET = 256 * 1024
SETTLE = 3.0

# Installed while the program waits at its menu, so that every resume after it is timed. The
# program runs only inside the wake-up Asyncify hands out: the one page.js calls from its
# keydown listener (kept in Module.pageWake) and the one page_present calls from a
# MessageChannel port's handler after the animation frame. Each page_present asks for one
# animation frame, so the frames are counted there, and the first callback after a frame is
# drawn is when the browser puts that frame on screen.
INSTRUMENT = '''
const bench = window.bench = {resumes: [], frames: 0, keyAt: null, keySeen: null,
                              shown: null, firstShown: null, lastShown: null, asleepAt: null};
const timed = (kind, run) => function(...args) {
  const frames = bench.frames;
  const start = performance.now();
  try {
    return run.apply(this, args);
  } finally {
    bench.resumes.push({kind, ms: performance.now() - start, frames: bench.frames - frames});
  }
};
let wake = Module.pageWake && timed('key', Module.pageWake);
Object.defineProperty(Module, 'pageWake', {
  configurable: true,
  get: () => wake,
  set: (f) => {
    wake = f && timed('key', f);
    if (f) bench.asleepAt = performance.now();
  },
});
const Channel = window.MessageChannel;
const setHandler = Object.getOwnPropertyDescriptor(MessagePort.prototype, 'onmessage').set;
window.MessageChannel = function() {
  const channel = new Channel();
  let handler = null;
  Object.defineProperty(channel.port1, 'onmessage', {
    configurable: true,
    get: () => handler,
    set: (f) => {
      handler = f;
      setHandler.call(channel.port1, f && timed('frame', f));
    },
  });
  return channel;
};
const frame = window.requestAnimationFrame.bind(window);
window.requestAnimationFrame = (callback) => {
  bench.frames += 1;
  return frame((at) => {
    bench.shown = performance.now();
    if (bench.firstShown === null) bench.firstShown = bench.shown;
    bench.lastShown = bench.shown;
    return callback(at);
  });
};
// Before page.js's own listener on the document: the key's time as the browser stamped it.
window.addEventListener('keydown', (event) => {
  bench.keySeen = performance.now();
  bench.keyAt = Math.min(event.timeStamp, bench.keySeen);
}, true);
'''

# The program waits for the menu key with its banner out; a page that is not the site has no
# Module at all.
AT_MENU = ("return typeof Module === 'object' && Module.pageWake !== null"
           " && Module.pageKeys.length === 0 && document.getElementById('console') !== null"
           " && document.getElementById('console').textContent !== ''")

# Everything a turn left, once the program sleeps again after the key with every key taken.
TURN_DONE = ('return bench.keySeen !== null && bench.asleepAt > bench.keySeen'
             ' && Module.pageWake !== null && Module.pageKeys.length === 0 && bench')


def fail(why):
    sys.exit(f'page_cost.py: {why}; no figures')


def group_ticks(group):
    """utime + stime of each live process in the process group, by pid."""
    ticks = {}
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            with open(f'/proc/{pid}/stat') as f:
                fields = f.read().rsplit(')', 1)[1].split()
        except OSError:  # ended while the list was read
            continue
        if int(fields[2]) == group:
            ticks[pid] = int(fields[11]) + int(fields[12])
    return ticks


def idle_ticks(group, seconds=5.0):
    # The browser goes on with its own start-up and loading for a second or two.
    time.sleep(SETTLE)
    before = group_ticks(group)
    time.sleep(seconds)
    after = group_ticks(group)
    if not after:
        fail('the browser ended')
    # A process started meanwhile counts whole; one that ended takes its ticks with it.
    return sum(ticks - before.get(pid, 0) for pid, ticks in after.items())


def site_bytes(folder):
    return {name: os.path.getsize(os.path.join(folder, name)) for name in sorted(os.listdir(folder))}


def main(index, key):
    if not os.path.isfile(index):
        fail(f'no site at {index}')
    sizes = site_bytes(os.path.dirname(os.path.abspath(index)))
    with closing(page.Page(index)) as p:
        group = os.getpgid(p.driver.service.process.pid)
        if not until(lambda: p.driver.execute_script(AT_MENU), 30):
            fail('the program never reached its menu')
        p.driver.execute_script(INSTRUMENT)
        menu = idle_ticks(group)
        if not p.driver.execute_script(page.WAITING):
            fail('the program stopped waiting at its menu by itself')
        p.press(key)
        if not p.window(30):
            fail(f'the canvas never appeared after the key {key}')
        if not until(lambda: p.driver.execute_script('return bench.firstShown !== null'), 30):
            fail('no frame came after the canvas appeared')
        if not p.wait_reading():
            fail('the program never waited for a key after its first frame')
        opened = p.driver.execute_script('return bench')
        first_frame = opened['firstShown'] - opened['keyAt']
        opening = sum(r['ms'] for r in opened['resumes'] if r['kind'] == 'key')
        canvas = idle_ticks(group)

        frames, keys, turns = [], [], []
        for _ in range(TURNS):
            p.driver.execute_script('bench.resumes = []; bench.frames = 0; bench.keySeen = null')
            p.press('w')
            turn = until(lambda: p.driver.execute_script(TURN_DONE), 30)
            if not turn:
                fail('a turn never ended')
            if turn['frames'] == 0:
                fail('a turn drew no frame')
            frames += [r['ms'] for r in turn['resumes'] if r['frames']]
            keys += [r['ms'] for r in turn['resumes'] if r['kind'] == 'key']
            turns.append((sum(r['ms'] for r in turn['resumes']), turn['lastShown'] - turn['keyAt'],
                          turn['frames']))

        p.driver.get('about:blank')
        blank = idle_ticks(group)

    mean = lambda values: sum(values) / len(values)  # noqa: E731
    counts = sorted({n for _, _, n in turns})
    total = sum(sizes.values())
    target = 'over the 256 KiB target' if total > SITE_TARGET else 'within 256 KiB'
    print(f'page, cube {key == "1" and 2 or 3}: the program\'s work a frame {mean(frames):.2f} ms'
          f' mean, {max(frames):.2f} ms max (the key\'s own resume {mean(keys):.2f} ms mean);'
          f' a turn {"/".join(map(str, counts))} frames, {mean([t for t, _, _ in turns]):.1f} ms'
          f' of work, {mean([w for _, w, _ in turns]):.0f} ms wall ({TURNS} turns);'
          f' menu key to first frame {first_frame:.0f} ms ({opening:.1f} ms of it the program\'s);'
          f' browser processor time idle at the menu {menu} ticks, idle canvas {canvas} ticks,'
          f' empty page {blank} ticks (5 s each, 1 tick = {1000 // TICK} ms);'
          f' site {total} B = {total / 1024:.1f} KiB, {target}'
          f' ({", ".join(f"{name} {size}" for name, size in sizes.items())})')


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else '2')
