"""Regenerates the game's art under data/: images, .spr prototypes, fonts with
their .pos files, main.map and the resource lists; then validates the result
and draws preview pictures.

Everything is drawn from fixed seeds, so two runs write the same bytes.
"""
import argparse
import os
import random
import shutil
import sys
import time

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))

from qsgen import balls, core, dialogs, dragons, fonts, icon, intro, menus, preview, spr, validate, zone  # noqa: E402

# Folders this generator owns inside data/ (cleared before writing, so nothing stale stays).
OWNED = ["graphics"]
OWNED_FILES = ["main.map", "main.msl", "loading.msl", "fonts-LICENSE.txt"]  # music.ini, sound.ini: tools/sound
OWNED_FILES += dialogs.MAPS + ["text/%s.txt" % name for name in dialogs.TEXTS]
OWNED_FILES += menus.MAPS + ["text/%s.txt" % name for name in menus.TEXTS]


def clean(root):
    for d in OWNED:
        p = os.path.join(root, d)
        if os.path.isdir(p):
            shutil.rmtree(p)
    for f in OWNED_FILES:
        p = os.path.join(root, f)
        if os.path.isfile(p):
            os.remove(p)


def write_lists(loading):
    core.write_text("loading.msl", ["; first-frame objects: the loading screen (tag \"loading\")"] +
                    [spr.game_name(p) for p in loading])
    skip = set(loading)
    entries = []
    seen = set()
    for rel in sorted(spr.SPRITES):
        name = os.path.basename(rel).lower()
        if rel in skip or name in seen:
            continue  # one file per prototype name: later ones would be skipped anyway
        seen.add(name)
        entries.append(spr.game_name(rel))
    core.write_text("main.msl", ["; prototypes loaded behind the loading bar"] + entries)


def scene_preview(root, out_dir):
    objects = preview.read_map(root, "main.map")
    for o in objects:
        name = os.path.basename(o["spr"])[:-4]
        if name in ("canon1", "poloska_ballsdown"):
            o["hide"] = {0}
        if name == "canon2":
            o["frames"] = {0: 7}
        if name.startswith("dragon_"):
            o["hide"] = {1, 2, 3}
        if name in ("tablo_level", "tablo_scores"):
            o["frames"] = {0: 23}
        if name == "net_left" or name == "net_right":
            o["frames"] = {0: 11}
        if name == "laser":
            o["hide"] = {1}
            o["frames"] = {0: 4}
    rng = random.Random(5)
    ballz = []
    for r in range(5, 14):
        width = 12 if r % 2 else 11
        y = 428 - 30 * r
        for k in range(2, width + 2):
            if r <= 7 and rng.random() < 0.45:
                continue
            x = 128 + 34 * k + (0 if width == 12 else 17)
            roll = rng.random()
            kind = rng.randint(1, 7)
            o = {"spr": "graphics/balls/ball%d/ball%d.spr" % (kind, kind), "x": x, "y": y, "hide": {0, 2, 3}}
            if roll < 0.04:
                o = {"spr": "graphics/balls/lands/land1.spr", "x": x, "y": y}
            elif roll < 0.08:
                o = {"spr": "graphics/balls/crystals/crystal1.spr", "x": x, "y": y}
            elif roll < 0.14:
                o["hide"] = set()
                o["frames"] = {1: 6, 2: rng.randint(0, 9), 3: 2}
            ballz.append(o)
    ballz.append({"spr": "graphics/balls/bomb/bomb1.spr", "x": 128 + 34 * 6, "y": 428 - 30 * 5,
                  "color": {1: (1.0, 0.0, 0.0)}})
    ballz.append({"spr": "graphics/balls/big_bomb/bomb2.spr", "x": 128 + 34 * 9, "y": 428 - 30 * 5})
    ballz.append({"spr": "graphics/balls/multiball/multiball.spr", "x": 145 + 34 * 7, "y": 428 - 30 * 6})
    # current ball in the cannon, a ball in flight, its trail, the target marker, the plank
    extra = [
        {"spr": "graphics/balls/ball4/ball4.spr", "x": 384, "y": 549, "z": 250, "hide": {0, 2, 3}},
        {"spr": "graphics/balls/ball2/ball2.spr", "x": 330, "y": 330, "z": 95, "hide": {0, 2, 3}},
        {"spr": "graphics/bonuses/target.spr", "x": 128 + 34 * 5, "y": 428 - 30 * 4, "z": 210},
        {"spr": "graphics/additional/planka1.spr", "x": 400, "y": 313},
        {"spr": "graphics/elements_gamezone/poloska.spr", "x": 233, "y": 69},
    ]
    for i in range(5):
        extra.append({"spr": "graphics/particles/particle1.spr", "x": 330 + 6 * i, "y": 340 + 12 * i,
                      "color": {0: (1, 1, 0)}, "alpha": 0.5})
    b = 190
    first = b // 8
    for i in range(first, 42):
        extra.append({"spr": "graphics/elements_gamezone/poloska_over.spr", "x": 234 + b if i == first else 233 + 8 * i,
                      "y": 66})
    for i, d in enumerate("01250"):
        extra.append({"spr": "graphics/fonts/font_crystal1.spr", "x": 674 + 16 * i, "y": 164,
                      "frames": {0: int(d)}, "color": {0: (0x32 / 255.0, 0xFA / 255.0, 0x32 / 255.0)}})
    extra.append({"spr": "graphics/fonts/font_crystal1.spr", "x": 742, "y": 100, "frames": {0: 7}})
    # bonus icons in slots 0 and 1 with their timer bars
    for i, (kind, sign, barx, col) in enumerate(((3, 4, 48, (0, 1, 0)), (0, 1, 60, (0.5, 0.5, 0.5)))):
        extra.append({"spr": "graphics/balls/ball0/ball%d.spr" % kind, "x": 20, "y": 545 - 39 * i, "z": 110,
                      "frames": {2: sign}, "hide": {0, 3}})
    for o in objects:
        pass
    bars = [o for o in objects if o["spr"].endswith("poloska_bonus.spr")]
    bars[5]["x"], bars[5]["color"] = 48, {0: (0, 1, 0)}
    bars[4]["x"], bars[4]["color"] = 60, {0: (0.5, 0.5, 0.5)}
    for n in range(3):
        extra.append({"spr": "graphics/crystals/crystal1.spr", "x": 748, "y": 542 - 36 * n, "z": 105})
    canvas = preview.compose(root, objects + ballz + extra)
    preview.save(canvas, os.path.join(out_dir, "preview_game_zone.png"))
    return os.path.join(out_dir, "preview_game_zone.png")


def intro_preview(root, out_dir):
    objs = [{"spr": l.replace("\\", "/"), "x": 0, "y": 0} for l in
            ["graphics/loading/loading_background.spr", "graphics/loading/loading_element.spr"]]
    for o in objs:
        common, _ = preview.parse(root, o["spr"])
        o["x"], o["y"] = common.get("x", 0), common.get("y", 0)
    for name, frame in (("bubble_top", 0), ("bubble_bottom", 0), ("flash_text", 9), ("earth_traectory", 39),
                        ("earth_flash", 8)):
        rel = "graphics/logo set/%s.spr" % name
        common, _ = preview.parse(root, rel)
        objs.append({"spr": rel, "x": common.get("x", 0), "y": common.get("y", 0), "frames": {0: frame}})
    for j in range(20):
        objs.append({"spr": "graphics/elements_gamezone/loading_element_polosa.spr", "x": 170 + 12 * j, "y": 334})
    for f in range(3):
        objs.append({"spr": "graphics/cursors/mouse_cursor.spr", "x": 520 + 50 * f - 2, "y": 420 - 2,
                     "frames": {0: f}})
    canvas = preview.compose(root, objs)
    preview.save(canvas, os.path.join(out_dir, "preview_intro.png"))
    # the trajectory in motion: a strip of frames
    return os.path.join(out_dir, "preview_intro.png")


def parts_preview(root, out_dir):
    """A sheet of the pieces with their animations, enlarged."""
    rows = []
    canvas = np.zeros((300, 800, 4), np.float32)
    canvas[..., :3] = (0.05, 0.06, 0.14)
    canvas[..., 3] = 1
    x = 4
    for mood in range(3):
        for name in ("dragon_blue", "dragon_green"):
            rel = "graphics/dragons/%s.spr" % name
            common, parts = preview.parse(root, rel)
            hide = {0, 1, 2, 3} - {mood}
            if mood == 0 and name == "dragon_blue":
                hide.discard(3)
            o = preview.compose(root, [{"spr": rel, "x": 0, "y": 0, "frames": {mood: 5, 3: 2}, "hide": hide}],
                                size=(110, 150), background=(0.05, 0.06, 0.14))
            core.over(canvas, o, x, 4)
            x += 112
    cx = 4
    for f in range(0, 32, 4):
        o = preview.compose(root, [{"spr": "graphics/canon/canon1.spr", "x": 0, "y": 20, "frames": {0: f}}],
                            size=(91, 140), background=(0.05, 0.06, 0.14))
        core.over(canvas, o, cx, 158)
        cx += 93
    preview.save(canvas, os.path.join(out_dir, "preview_parts.png"))
    return os.path.join(out_dir, "preview_parts.png")


def engine_preview(root, out_dir):
    """A content folder for the real game that shows the game zone full of balls
    (main.map plus a map of cells), with the script that takes its screenshot.
    The loading screen and the logo are left out of it so the zone stands alone."""
    import subprocess
    content = os.path.join(out_dir, "content")
    if os.path.isdir(content):
        shutil.rmtree(content)
    os.makedirs(os.path.join(content, "graphics"))
    for entry in sorted(os.listdir(root)):
        if entry not in ("graphics", "loading.msl", "text"):
            os.symlink(os.path.join(root, entry), os.path.join(content, entry))
    for entry in sorted(os.listdir(os.path.join(root, "graphics"))):
        if entry != "logo set":
            os.symlink(os.path.join(root, "graphics", entry), os.path.join(content, "graphics", entry))
    with open(os.path.join(content, "loading.msl"), "w") as f:
        f.write("; empty for the preview\r\n")
    rng = random.Random(9)
    cells = []
    kinds = ["graphics\\balls\\ball%d\\ball%d.spr" % (n, n) for n in range(1, 8)]
    kinds += ["graphics\\balls\\lands\\land1.spr", "graphics\\balls\\crystals\\crystal1.spr",
              "graphics\\balls\\bomb\\bomb1.spr", "graphics\\balls\\big_bomb\\bomb2.spr",
              "graphics\\balls\\multiball\\multiball.spr"]
    for r in range(6, 13):
        width = 12 if r % 2 else 11
        for k in range(2, width + 2):
            if r <= 7 and rng.random() < 0.5:
                continue
            x = 128 + 34 * k + (0 if width == 12 else 17)
            roll = rng.random()
            i = rng.randint(0, 6) if roll < 0.85 else rng.randint(7, 11)
            cells.append((i, x, 428 - 30 * r))
    lines = [str(len(kinds))] + kinds + [str(len(cells))] + ["%d,%d,%d" % c for c in cells]
    with open(os.path.join(content, "preview_cells.map"), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
    os.makedirs(os.path.join(content, "text"), exist_ok=True)
    for entry in sorted(os.listdir(os.path.join(root, "text"))):
        os.symlink(os.path.join(root, "text", entry), os.path.join(content, "text", entry))
    sample = ["font=graphics\\fonts\\font_taurus1.spr", "size=1", "x=400", "y=300", "z=400", "align=center",
              "#begin", "+1250", "#end",
              "font=graphics\\fonts\\font_taurus2.spr", "y=326", "color=$00CCFF", "#begin", "Super combo!", "#end",
              "font=graphics\\fonts\\font_crystal1.spr", "y=380", "color=$FFFFFF", "leading=17", "#begin",
              "New bonus: the paint rocket!", "Catch it, then swap (right button)", "to fire: 0123456789 %&?", "#end"]
    with open(os.path.join(content, "text", "preview_sample.txt"), "w", newline="") as f:
        f.write("\r\n".join(sample) + "\r\n")
    shot = os.path.join(out_dir, "engine_zone.png")
    script = os.path.join(out_dir, "engine_zone.txt")
    with open(script, "w") as f:
        f.write("100 map main.map\n100 map preview_cells.map\n"
                "150 text text\\preview_sample.txt sample\n"
                "200 particles 19 300 250 16\n200 particles 20 300 250 4\n200 particles 16 450 200 20\n"
                "260 screenshot %s\n" % shot)
    binary = None
    for cand in ("build-content", "build"):
        p = os.path.join(HERE, "..", "..", "..", cand, "quibblestar")
        if os.path.isfile(p):
            binary = os.path.normpath(p)
            break
    if binary:
        subprocess.run([binary, "--headless", "--data", content, "--user-dir", os.path.join(out_dir, "user"),
                        "--until", "300", "--script", script], check=False, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        if os.path.isfile(shot):
            return shot
    print("engine preview: run %s --headless --data %s --until 300 --script %s" % (binary or "quibblestar",
                                                                                  content, script))
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--data", default=os.path.normpath(os.path.join(HERE, "..", "..", "..", "data")))
    ap.add_argument("--preview-dir", default=None, help="where the preview pictures go (default: no previews)")
    args = ap.parse_args()
    root = os.path.abspath(args.data)
    t0 = time.time()
    clean(root)
    core.set_data_root(root)
    balls.make_all()
    fonts.make_all()
    P = zone.make_all()
    made_dragons = dragons.make_all()
    loading = intro.make_all()
    zone.write_map(P, made_dragons)
    overlay = dialogs.make_all()
    dialogs.write_maps(overlay)
    menus.write_maps(menus.make_all(overlay))
    write_lists(loading)
    icon.make_all()
    n, size = validate.run(root)
    print("content: %d prototypes, %.1f MB under %s (%.0f s)" % (n, size / 1048576.0, root, time.time() - t0))
    if args.preview_dir:
        os.makedirs(args.preview_dir, exist_ok=True)
        for p in (scene_preview(root, args.preview_dir), intro_preview(root, args.preview_dir),
                  parts_preview(root, args.preview_dir), engine_preview(root, args.preview_dir)):
            if p:
                print("preview:", p)


if __name__ == "__main__":
    try:
        main()
    except validate.Problems as e:
        sys.stderr.write("content check failed:\n%s\n" % e)
        sys.exit(1)
