#!/usr/bin/python3
"""Sweep benchmark: runs the display's side under Wine and reads a pixel
column of its window from the X server as fast as it can, outside the
program. Each change of the lit row is a move of the line on the screen;
the record is split into the rates' phases at the gaps with no line.

    sweep_bench.py wine-run program.exe
"""
import ctypes
import ctypes.util
import os
import statistics
import subprocess
import sys
import threading
import time


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_uint8)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


def open_x():
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                            ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x.XGetSubImage.restype = ctypes.POINTER(XImage)
    x.XGetSubImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                               ctypes.c_uint, ctypes.c_ulong, ctypes.c_int, ctypes.POINTER(XImage),
                               ctypes.c_int, ctypes.c_int]
    dpy = x.XOpenDisplay(None)
    if not dpy:
        sys.exit("cannot open the X display " + os.environ.get("DISPLAY", ""))
    return x, dpy, x.XDefaultRootWindow(dpy)


class Reader(threading.Thread):
    """Records (time, row or None) at each change of the lit row."""

    def __init__(self, left, top, height):
        super().__init__(daemon=True)
        self.left, self.top, self.height = left + 100, top, height
        self.changes = []
        self.reads = 0
        self.stop = False

    def run(self):
        x, dpy, root = open_x()
        zpixmap, all_planes = 2, 0xFFFFFFFF
        img = x.XGetImage(dpy, root, self.left, self.top, 1, self.height, all_planes, zpixmap)
        bpl = img.contents.bytes_per_line
        data = img.contents.data
        last = -2
        while not self.stop:
            x.XGetSubImage(dpy, root, self.left, self.top, 1, self.height, all_planes, zpixmap, img, 0, 0)
            t = time.perf_counter()
            raw = ctypes.string_at(data, bpl * self.height)
            row = None
            # 32-bit pixels, blue green red: the green byte of each row.
            for y in range(self.height):
                if raw[y * bpl + 1] > 128:
                    row = y
                    break
            self.reads += 1
            if row != last:
                self.changes.append((t, row))
                last = row
            # About 4,000 reads a second: enough to time 1 ms steps, without
            # keeping the X server from the display's own frames.
            time.sleep(0.0001)


def phases(changes, gap=0.2):
    """Runs of rows between gaps of at least `gap` seconds without a line."""
    out, cur, hidden_since = [], [], None
    for t, row in changes:
        if row is None:
            hidden_since = t
            continue
        if hidden_since is not None and cur and t - hidden_since >= gap:
            out.append(cur)
            cur = []
        hidden_since = None
        cur.append((t, row))
    if cur:
        out.append(cur)
    return out


def main():
    wine_run, exe = sys.argv[1], sys.argv[2]
    # The display tools/wine-run gives the program.
    if not os.environ.get("DISPLAY") or os.environ.get("KYN_PRIVATE_X") == "1":
        os.environ["DISPLAY"] = ":" + os.environ.get("KYN_XVFB_DISPLAY", "77")
    proc = subprocess.Popen([wine_run, exe], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    first = proc.stdout.readline().split()
    if not first or first[0] != "window":
        sys.exit("the display did not start")
    left, top, width, height, refresh = int(first[1]), int(first[2]), int(first[3]), int(first[4]), first[6]
    reader = Reader(left, top, height)
    reader.start()
    started = time.perf_counter()
    rates, cpu = [], None
    for line in proc.stdout:
        words = line.split()
        if words and words[0] == "rate":
            rates.append((int(words[1]), int(words[2]), float(words[3]), float(words[4])))
        elif words and words[0] == "cpu500":
            cpu = float(words[1])
    proc.wait()
    reader.stop = True
    reader.join()
    seconds = time.perf_counter() - started
    runs = phases(reader.changes)
    print(f"display {width}x{height} top-down, refresh {refresh} Hz; {reader.reads / seconds:.0f} reads/s "
          "of the window's pixels from the X server")
    print("on-screen step time: from one move of the line to the next, per pixel moved (ms)")
    print(f"{'rate':>5} {'interval':>8} {'commanded':>10} {'achieved':>9} {'ratio':>6} {'frames/s':>8} "
          f"{'mean':>7} {'sd':>6} {'max':>7}")
    for i, (rate, interval, commanded, fps) in enumerate(rates):
        run = runs[i] if i < len(runs) else []
        per_step, rows = [], 0
        # From the first step on: the line's showing up starts no step.
        run = run[1:]
        for (t0, r0), (t1, r1) in zip(run, run[1:]):
            moved = (r1 - r0) % height
            if moved == 0:
                continue
            per_step += [(t1 - t0) * 1000.0 / moved] * moved
            rows += moved
        if len(per_step) >= 2:
            achieved = rows / (run[-1][0] - run[0][0])
            mean, sd, mx = statistics.fmean(per_step), statistics.pstdev(per_step), max(per_step)
            print(f"{rate:>5} {interval:>8} {commanded:>10.1f} {achieved:>9.1f} {achieved / commanded:>6.3f} "
                  f"{fps:>8.1f} {mean:>7.2f} {sd:>6.2f} {mx:>7.2f}")
            if os.environ.get("SWEEP_BENCH_DIST"):
                q = statistics.quantiles(per_step, n=20)
                print("      5..95%:", " ".join(f"{v:.1f}" for v in q))
        else:
            print(f"{rate:>5} {interval:>8} {commanded:>10.1f} {'-':>9} {'-':>6} {fps:>8.1f}  (too few moves seen)")
    if cpu is not None:
        print(f"CPU of the display process at rate 500: {cpu:.1f} % of one core")


if __name__ == "__main__":
    main()
