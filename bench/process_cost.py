"""bench/process_cost.py -- what the real program costs as a process: processor time
while it waits at the menu and while its window sits idle (5 s each; both should be 0 or
one clock tick), its peak resident memory, and the time from the menu key to the first
frame on screen. Usage: process_cost.py PATH-OF-twisty-cube [1|2]. A Windows build
(twisty-cube.exe) runs under Wine, in the WINEPREFIX given, its console's host counted too."""
import os, sys, time
from contextlib import closing

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests'))
import harness
import x_window  # from scripts/, which harness puts on the path

TICK = os.sysconf('SC_CLK_TCK')


def fail(why):
    sys.exit(f'process_cost.py: {why}; no figures')


def cpu_ticks(pids):
    ticks = 0
    for pid in pids:
        with open(f'/proc/{pid}/stat') as f:
            fields = f.read().rsplit(')', 1)[1].split()
        ticks += int(fields[11]) + int(fields[12])  # utime + stime
    return ticks


def peak_rss_kib(pid):
    with open(f'/proc/{pid}/status') as f:
        return int(next(line for line in f if line.startswith('VmHWM')).split()[1])


def idle_ticks(p, where, seconds=5.0):
    pids = {p.pid}
    if p.wine:  # its console's host reads the terminal
        pids.add(p.console())
    before = cpu_ticks(pids)
    time.sleep(seconds)
    if p.proc.poll() is not None:  # its ticks would be gone with it
        fail(f'the program ended {where}')
    return cpu_ticks(pids) - before


def red_centre(p):  # the first frame is there when the cube's centre shows red
    return p.proc.poll() is not None or x_window.picture(p.win).getpixel((225, 175))[0] > 128


def main(binary, key):
    with closing(harness.Program(binary)) as p:
        if not p.wait_reading():
            fail('the program ended before its menu read a key')
        menu = idle_ticks(p, 'at its menu')
        sent = time.monotonic()
        p.send(key.encode())
        if not p.window(20):
            fail(f'no window came after the key {key}')
        if not harness.until(lambda: red_centre(p), 20) or p.proc.poll() is not None:
            fail('no frame came within 20 s of the key, or the program ended')
        first_frame = time.monotonic() - sent
        time.sleep(1)
        window = idle_ticks(p, 'with its window open')
        rss = peak_rss_kib(p.proc.pid)
    print(f'{"under Wine, " * p.wine}cube {key == "1" and 2 or 3}: processor time idle at the'
          f' menu {menu} ticks, idle'
          f' window {window} ticks (1 tick = {1000 // TICK} ms); peak resident memory'
          f' {rss / 1024:.1f} MiB; menu key to first frame {first_frame * 1000:.0f} ms')


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else '2')
