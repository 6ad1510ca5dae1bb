#!/usr/bin/env python3
"""The game's memory and processor time in play, with the bare SDL floor beside it.

    bench/play_footprint.py [--seconds S] [--build DIR] [--skip-window]

Four runs of the game and the floor program (build/sdl_floor) each:
  headless      the game on its virtual clock, S s of game time, as fast as it goes:
                peak resident size and processor time; the floor headless for S s
  window        a real window under Xvfb for S s, --start-game arcade --bot: resident size
                (peak, and the mean over the second half) and processor time, and the floor
                at the game's picture rate in the same X server, both with the window system
                showing the picture (what the game does) and with SDL's default of showing a
                software picture through OpenGL (the floor as it was)
  menus+arcade  the same window run entered the player's way: intro, loading, name entry,
                main menu, arcade, then the bot plays (memory after the menus were visited)
Every run's figures come from wait4() of the process itself (not of a wrapper) and from
/proc/PID while it runs. Needs Xvfb for the window runs (scripts/deps.sh installs it).
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The player's way into arcade play: type a name, confirm, start, arcade, its message.
MENUS_THEN_ARCADE = """\
8800 key_down a
8850 key_down b
8900 key_down c
9100 key_down enter
9800 key_down enter
14800 mouse_move 400 176
14900 click left
15600 mouse_move 400 236
15700 click left
16400 key_down enter
"""
# When that script has brought the game in (a window's intro and loading run on the real
# clock, so the script leaves them ample time).
MENUS_DONE_MS = 17000


def say(text):
    print(text, file=sys.stderr, flush=True)


TICKS = os.sysconf("SC_CLK_TCK")


def status_kb(pid, key):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith(key + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def cpu_seconds(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime
    except (OSError, IndexError, ValueError):
        return None


class Run:
    """One process run to its end and watched through /proc/PID meanwhile: its peak
    resident size (VmHWM; the rusage figure would count the forking parent), its processor
    time (rusage), and from `steady_from` seconds on its mean resident size and its share
    of a core."""

    def __init__(self, command, env=None, steady_from=None):
        out = tempfile.TemporaryFile()
        start = time.monotonic()
        process = subprocess.Popen(command, env=env, stdout=out, stderr=subprocess.DEVNULL)
        self.peak_kb, samples, first, last = 0, [], None, None
        while True:
            pid, status, usage = os.wait4(process.pid, os.WNOHANG)
            if pid:
                break
            self.peak_kb = max(self.peak_kb, status_kb(process.pid, "VmHWM") or 0)
            now = time.monotonic()
            if steady_from is not None and now - start >= steady_from:
                kb, cpu = status_kb(process.pid, "VmRSS"), cpu_seconds(process.pid)
                if kb:
                    samples.append(kb)
                if cpu is not None:
                    first = first or (now, cpu)
                    last = (now, cpu)
            time.sleep(0.05)
        self.wall = time.monotonic() - start
        self.cpu = usage.ru_utime + usage.ru_stime
        self.mean_kb = sum(samples) / len(samples) if samples else None
        self.steady_share = ((last[1] - first[1]) / (last[0] - first[0])
                             if first and last and last[0] > first[0] else None)
        out.seek(0)
        self.text = out.read().decode(errors="replace")
        if os.WEXITSTATUS(status) != 0:
            say(f"  {os.path.basename(command[0])} ended with code {os.WEXITSTATUS(status)}")


def state_of(text):
    for line in reversed(text.splitlines()):
        if line.startswith("{"):
            try:
                return json.loads(line)
            except ValueError:
                return None
    return None


class Xvfb:
    def __enter__(self):
        if not shutil.which("Xvfb"):
            sys.exit("play_footprint: Xvfb is missing (scripts/deps.sh installs it)")
        for number in range(90, 140):
            if not os.path.exists(f"/tmp/.X11-unix/X{number}"):
                break
        self.display = f":{number}"
        self.process = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1024x768x24"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(50):
            if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                break
            time.sleep(0.1)
        return self

    def __exit__(self, *args):
        self.process.send_signal(signal.SIGTERM)
        self.process.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--skip-window", action="store_true")
    args = parser.parse_args()
    game = os.path.join(args.build, "quibblestar")
    floor = os.path.join(args.build, "sdl_floor")
    for binary in (game, floor):
        if not os.access(binary, os.X_OK):
            sys.exit(f"play_footprint: {binary} is missing: build it first (scripts/build.sh)")
    ms = int(args.seconds * 1000)
    rows = []
    with tempfile.TemporaryDirectory() as scratch:
        def user(name):
            path = os.path.join(scratch, name)
            os.makedirs(path, exist_ok=True)
            return path

        say(f"headless: {args.seconds:g} s of game time ...")
        g = Run([game, "--headless", "--user-dir", user("h"), "--start-game", "arcade", "--bot",
                 "--until", str(ms), "--dump-state"])
        f = Run([floor, "--headless", "--seconds", str(args.seconds)])
        rows.append(("headless", g, f, None, state_of(g.text) or {}, None))

        if not args.skip_window:
            with Xvfb() as x:
                env = dict(os.environ, DISPLAY=x.display)
                script = os.path.join(scratch, "menus.txt")
                with open(script, "w") as f:
                    f.write(MENUS_THEN_ARCADE)
                for label, extra, until in (
                        ("window", ["--start-game", "arcade"], ms),
                        ("menus+arcade", ["--script", script], ms + MENUS_DONE_MS)):
                
                    steady = until / 1000 - args.seconds / 2
                    say(f"{label}: {until / 1000:g} s in a window ...")
                    g = Run([game, "--user-dir", user(label), "--bot", "--until", str(until), "--dump-state"] + extra,
                            env=env, steady_from=steady)
                    state = state_of(g.text) or {}
                    if state.get("currentScene") != 2:
                        say(f"  {label}: the run ended outside the game (scene {state.get('currentScene')})")
                    rate = max(1, round(state.get("framesRendered", 0) / g.wall)) if g.wall else 60
                    say(f"  floor at {rate} pictures a second ...")
                    f = Run([floor, "--seconds", str(until / 1000), "--rate", str(rate)], env=env, steady_from=steady)
                    old = Run([floor, "--seconds", str(until / 1000), "--rate", str(rate), "--gl-framebuffer"],
                              env=env, steady_from=steady)
                    rows.append((label, g, f, old, state, rate))

    mb = lambda kb: f"{kb / 1024:.1f}" if kb else "-"
    pct = lambda share: f"{share * 100:.1f}%" if share is not None else "-"
    print(f"{'run':<13} {'game peak':>9} {'floor peak':>10} {'own peak':>8} {'game play':>9} {'own play':>8} "
          f"{'game cpu':>8} {'floor cpu':>9} {'ratio':>5} {'old floor':>9} {'pics/s':>6}  textures")
    for label, g, f, old, state, rate in rows:
        tex = state.get("textures", {})
        textures = f"{tex.get('pages', '?')} pages, {tex.get('pageBytes', 0) / 1048576:.1f} MB"
        if old is None:
            print(f"{label:<13} {mb(g.peak_kb):>9} {mb(f.peak_kb):>10} {mb(g.peak_kb - f.peak_kb):>8} {'-':>9} "
                  f"{'-':>8} {g.cpu:>7.2f}s {f.cpu:>8.2f}s {'-':>5} {'-':>9} {'-':>6}  {textures}")
            continue
        own = g.mean_kb - f.mean_kb if g.mean_kb and f.mean_kb else None
        ratio = f"{g.steady_share / f.steady_share:.2f}" if g.steady_share and f.steady_share else "-"
        print(f"{label:<13} {mb(g.peak_kb):>9} {mb(f.peak_kb):>10} {mb(g.peak_kb - f.peak_kb):>8} "
              f"{mb(g.mean_kb):>9} {mb(own):>8} {pct(g.steady_share):>8} {pct(f.steady_share):>9} {ratio:>5} "
              f"{pct(old.steady_share):>9} {rate:>6}  {textures}")
    print("MiB. peak: highest resident size (VmHWM); play: mean resident size over the steady part (the last"
          " half of the play); cpu: share of one core over that part (headless: seconds for the whole run);"
          " ratio = game cpu / floor cpu at the game's picture rate; old floor: the floor showing its picture"
          " through OpenGL, as SDL does by default.")


if __name__ == "__main__":
    main()
