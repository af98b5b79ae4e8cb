"""scripts/waits.py -- waiting on the real program from outside it: a poll loop, a picture
that holds still, and the system calls the program sleeps in while it waits, its menu in a
read and freeglut's event loop in a select. Shared by scripts/picture.py, the tests' harness
and page, and the benchmarks; it needs no display."""
import contextlib, os, pathlib, select, threading, time


def until(condition, timeout=60.0):
    """Polls condition until it gives something true; the timeout only guards a hang."""
    deadline = time.monotonic() + timeout
    value = condition()
    while not value and time.monotonic() < deadline:
        time.sleep(0.02)
        value = condition()
    return value  # the last value: false if the guard ran out


def steady(shoot):
    """The picture shoot() takes twice in a row the same; it is false while there is none."""
    last = [None]

    def same():
        before = last[0]
        last[0] = shoot()
        return last[0] and last[0] == before and last[0]
    return until(same)


def system_call(pid):
    """What process pid's main thread does: the number of the system call it sleeps in and the
    call's arguments, or 'running'; [] once it is gone."""
    with contextlib.suppress(OSError):
        return pathlib.Path(f'/proc/{pid}/syscall').read_text().split()
    return []


def call_number(wait):
    """The system call a thread of ours sleeps in while wait(fd) waits on an empty pipe: the C
    library makes the same call for the program, whatever the machine and its ABI. Found asleep
    when the call's first argument is the pipe (read) or one past it (select's count)."""
    empty, full = os.pipe()
    thread = threading.Thread(target=wait, args=(empty,))
    thread.start()

    def asleep():
        call = pathlib.Path(f'/proc/self/task/{thread.native_id}/syscall').read_text().split()
        return len(call) > 1 and int(call[1], 16) in (empty, empty + 1) and call[0]  # '0' is true
    number = until(asleep)
    os.write(full, b'.')
    thread.join()
    os.close(empty)
    os.close(full)
    return number


# The menu's read, and freeglut's select (under Wine a read, from the Wine server, for all).
READ = call_number(lambda fd: os.read(fd, 1))
SELECT = call_number(lambda fd: select.select([fd], [], []))
