"""The game scene's overlays: game over, exit to menu, level statistics and the
two try-again screens. Each is a map at the content root plus text files under
text/ that are written here too, so the words always sit on the plates drawn
for them.

Every overlay is drawn above the game zone (which stays below z 300):
  veil 990    the dimmed game behind a dialog
  plate 1000  the dialog's panel
  buttons 1004, the statistics separator 1006
  texts 1012  (the game's own new-item lines and picture use 1010)

Object positions are the engine's: the map's x, y plus each part's offset. The
plates and buttons carry negative part offsets for their shadows and glows, so
a map position is the top left of the plate or button body itself.

Buttons are 96 x 36 with the caption drawn in; three frames: normal, hovered,
pressed. A single button stands at x 352 (centred on 400); a pair at 292 and
412. The statistics screen hides "panel_menu" after the last level and moves
"panel_ok" from 292 to 352, so the pair layout and the single layout match.
"""
import numpy as np

from . import core, material, shapes, spr

FOLDER = "graphics/dialogs/"

Z_VEIL, Z_PLATE, Z_BUTTON, Z_BAR, Z_TEXT = 990, 1000, 1004, 1006, 1012
Z_TITLE_BEHIND_ZONE = 60  # game type titles: above the try-again backdrop (z 20, 25), below the zone panel (100)

BUTTON_W, BUTTON_H = 96, 36
BUTTON_PAD = 3            # frame margin around the body, for the hover glow
PAIR_X = (292, 412)
SINGLE_X = 352

# plates: x, y, width, height, header height
SMALL = (200, 195, 400, 212, 46)      # game over, exit to menu
STAT = (180, 96, 440, 374, 50)        # level statistics
TRY = (190, 158, 420, 294, 46)        # both try-again screens
SMALL_BUTTON_Y = SMALL[1] + SMALL[3] - BUTTON_H - 20
STAT_BUTTON_Y = STAT[1] + STAT[3] - BUTTON_H - 22
TRY_BUTTON_Y = TRY[1] + TRY[3] - BUTTON_H - 20

BAR_Y = 301               # the game puts the statistics separator there
BAR_W = 300
BAR_LINE = 4              # the bar's light line lies this far below the object's y
PLATE_MARGIN = 18         # room around a plate for its shadow

# Fonts: where the middle of a capital letter lies below a text line's y, at size 1
CAP_MIDDLE = {"font_taurus1": 17.5, "font_taurus2": 16.5, "font_crystal1": 14.5}
FONT = {k: "graphics\\fonts\\%s.spr" % k for k in CAP_MIDDLE}

GOLD_TEXT = 0xFFD257
BODY_TEXT = 0xD6E4FF
LABEL_TEXT = 0x9DBBEA
VALUE_TEXT = 0xFFE48A
WARM_TEXT = 0xFF9A4D
GREEN_TEXT = 0x8CF59A


def _rect(x, y, w, h, r):
    return lambda ctx: (core.rounded_rect(ctx, x, y, w, h, r), ctx.fill())


# ---------------------------------------------------------------- the veil

def veil():
    """The dimmed game behind a dialog: darker towards the screen's edges."""
    w, h = 800, 600
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt(((xx - 400) / 520.0) ** 2 + ((yy - 300) / 420.0) ** 2)
    a = np.clip(0.52 + 0.3 * d * d, 0, 0.82)
    a = np.round(a * 64) / 64.0  # few alpha levels: the file stays small
    img = core.blank(w, h)
    img[..., 0] = a * 0.0
    img[..., 1] = a * 0.01
    img[..., 2] = a * 0.05
    img[..., 3] = a
    return img


# ---------------------------------------------------------------- plates

def _bolt(img, x, y):
    core.over(img, core.with_shadow(shapes.sphere(8, (0.62, 0.68, 0.85), spec_power=30), 1, 1, 0.8, 0.6), x, y)


def plate(w, h, header, seed, tray=True):
    """A dialog panel: a bevelled glass-metal plate with a metal rim, a recessed title band,
    a recessed field for the text and a soft shadow. Returns the image; the plate's top left
    lies PLATE_MARGIN pixels in from the image's."""
    m = PLATE_MARGIN
    W, H = w + 2 * m, h + 2 * m
    body = material.mask_of(W, H, _rect(m, m, w, h, 24))
    img = material.plate(body, seed, top=(0.19, 0.22, 0.47), bottom=(0.07, 0.08, 0.23), bevel=4.5, gloss=0.3)
    # the title band
    hx, hy, hw = m + 16, m + 13, w - 32
    material.recess(img, material.mask_of(W, H, _rect(hx, hy, hw, header, 14)), depth=3.0,
                    floor=(0.02, 0.03, 0.09))
    core.add(img, material.glow_line(W, H, lambda c: (c.move_to(hx + 26, hy + header - 1.5),
                                                      c.line_to(hx + hw - 26, hy + header - 1.5)),
                                     width=1.0, blur=2.5, strength=0.55))
    for gx in (hx + 14, hx + hw - 14):
        gem = shapes.sphere(12, (0.25, 0.8, 1.0), spec_power=40)
        core.add(img, core.glow_dot(22, material.GLOW, core=0.3), gx - 11, hy + header // 2 - 11, opacity=0.7)
        core.over(img, gem, gx - 6, hy + header // 2 - 6)
    # the text field between the title band and the buttons
    bottom = BUTTON_H + 34 if tray else 16
    fy = hy + header + 10
    material.recess(img, material.mask_of(W, H, _rect(hx, fy, hw, m + h - bottom - fy, 12)), depth=2.5,
                    floor=(0.035, 0.045, 0.12), alpha=0.85)
    # metal rim and a cyan light just inside it
    core.over(img, material.metal_rim(W, H, lambda c: core.rounded_rect(c, m + 1.5, m + 1.5, w - 3, h - 3, 23),
                                      width=4.0))
    core.add(img, material.glow_line(W, H, lambda c: core.rounded_rect(c, m + 6, m + 6, w - 12, h - 12, 19),
                                     width=1.0, blur=2.5, strength=0.45))
    for (bx, by) in ((m + 7, m + h - 15), (m + w - 15, m + h - 15)):
        _bolt(img, bx, by)
    out = core.blank(W, H)
    core.over(out, core.shadow(img, 3, 6, 7, 0.75))
    core.over(out, img)
    return out


# ---------------------------------------------------------------- buttons

STYLES = {
    # normal top, normal bottom, glow
    "primary": ((0.16, 0.58, 0.52), (0.04, 0.22, 0.24), (0.3, 1.0, 0.8)),
    "secondary": ((0.24, 0.36, 0.78), (0.07, 0.1, 0.32), (0.3, 0.8, 1.0)),
}


def button_frames(caption, style):
    top, bottom, glow = STYLES[style]
    p = BUTTON_PAD
    W, H = BUTTON_W + 2 * p, BUTTON_H + 2 * p
    out = []
    for state in range(3):
        t, b = top, bottom
        if state == 1:
            t, b = core.mix(top, glow, 0.22), core.mix(bottom, glow, 0.12)
        elif state == 2:
            t, b = core.darken(top, 0.35), core.darken(bottom, 0.2)
        m = material.mask_of(W, H, _rect(p, p, BUTTON_W, BUTTON_H, BUTTON_H / 2.0))
        img = core.blank(W, H)
        if state == 1:
            halo = core.blur(core.tint_mask(m, glow, 0.9), 3.0)
            core.add(img, halo)
        face = material.plate(m, 500 + state, top=t, bottom=b, bevel=2.0, grain=0, gloss=0.0 if state == 2 else 0.55)
        if state == 2:
            # pressed in: the upper lip throws a shadow on the face
            inner = np.zeros_like(m)
            inner[3:, :] = m[:-3, :]
            face[..., :3] *= (0.6 + 0.4 * inner)[..., None]
        core.over(img, face)
        core.over(img, material.metal_rim(W, H, lambda c: core.rounded_rect(c, p + 0.8, p + 0.8, BUTTON_W - 1.6,
                                                                            BUTTON_H - 1.6, BUTTON_H / 2.0 - 0.8),
                                          width=1.6, seed=7))
        core.add(img, material.glow_line(W, H, lambda c: core.rounded_rect(c, p + 3, p + 3, BUTTON_W - 6, BUTTON_H - 6,
                                                                           BUTTON_H / 2.0 - 3),
                                         rgb=glow, width=0.8, blur=1.5, strength=0.9 if state == 1 else 0.4))
        lab = material.label(caption, 15, rgb=(1, 1, 1) if state == 1 else (0.9, 0.95, 1.0), spacing=1.5,
                             glow=glow if state == 1 else None)
        lh, lw = lab.shape[:2]
        shift = 1 if state == 2 else 0
        core.over(img, lab, (W - lw) // 2 + shift, (H - lh) // 2 + shift)
        out.append(img)
    return out


# ---------------------------------------------------------------- the statistics separator

def separator():
    w, h = BAR_W, 12
    img = core.blank(w, h)
    xs = np.arange(w, dtype=np.float32)
    ends = np.clip(np.minimum(xs, w - 1 - xs) / 60.0, 0, 1) ** 1.5
    ys = np.arange(h, dtype=np.float32)
    line = np.exp(-((ys - BAR_LINE) ** 2) / 0.7)[:, None] * ends[None, :]
    halo = np.exp(-((ys - BAR_LINE) ** 2) / 6.0)[:, None] * ends[None, :] * 0.45
    for c, (lc, hc) in enumerate(zip((0.75, 0.95, 1.0), (0.2, 0.7, 1.0))):
        img[..., c] = np.clip(line * lc + halo * hc, 0, 1)
    img[..., 3] = np.clip(line + halo, 0, 1)
    # a gem in the middle
    gem = core.draw(14, 12, lambda c: (c.move_to(7, 0.5), c.line_to(13.5, BAR_LINE + 1), c.line_to(7, 11.5),
                                           c.line_to(0.5, BAR_LINE + 1), c.close_path(),
                                           c.set_source(core.linear(0, 0, 14, 12, [(0, 1, 0.95, 0.7, 1),
                                                                                   (1, 0.85, 0.55, 0.15, 1)])),
                                           c.fill()), scale=4)
    core.add(img, core.glow_dot(20, (1.0, 0.75, 0.3), core=0.3), w // 2 - 10, BAR_LINE - 9, opacity=0.8)
    core.over(img, gem, w // 2 - 7, 0)
    return img


# ---------------------------------------------------------------- text files

def text_lines(name, blocks, module):
    """The lines of text/<name>.txt: blocks are (settings, lines); settings hold only what
    changes from one block to the next."""
    out = ["; " + name + ".txt: written by the content generator (tools/content/qsgen/" + module + ")"]
    for settings, lines in blocks:
        for key in ("font", "size", "x", "y", "z", "align", "color", "leading"):
            if key in settings:
                v = settings[key]
                if key == "font":
                    v = FONT[v]
                elif key == "color":
                    v = "$%06X" % v
                elif isinstance(v, float):
                    v = ("%.2f" % v).rstrip("0").rstrip(".")
                out.append("%s=%s" % (key, v))
        out.append("#begin")
        out += lines
        out.append("#end")
    return out


def _text(name, blocks):
    """Writes text/<name>.txt."""
    assert name in TEXTS, name
    core.write_text("text/" + name + ".txt", text_lines(name, blocks, "dialogs.py"))


def _y(font, size, middle):
    """The line y that puts the middle of a capital at `middle`."""
    return int(round(middle - CAP_MIDDLE[font] * size))


def _title(middle, words, color=GOLD_TEXT, size=1.0):
    return ({"font": "font_taurus1", "size": size, "x": 400, "y": _y("font_taurus1", size, middle), "z": Z_TEXT,
             "align": "center", "color": color, "leading": 0}, words)


def _body(first_middle, lines, leading=24, color=BODY_TEXT):
    return ({"font": "font_crystal1", "size": 1.0, "x": 400, "y": _y("font_crystal1", 1.0, first_middle),
             "z": Z_TEXT, "align": "center", "color": color, "leading": leading}, lines)


def _header_middle(box):
    return box[1] + 13 + box[4] / 2.0


def _field(box, bottom_gap):
    """Top and bottom of a plate's text field (as drawn by plate())."""
    top = box[1] + 13 + box[4] + 10
    return top, box[1] + box[3] - bottom_gap


def write_texts():
    # game over
    top, bottom = _field(SMALL, BUTTON_H + 34)
    mid = (top + bottom) / 2.0
    _text("game_over", [_title(_header_middle(SMALL), ["GAME OVER"], color=WARM_TEXT),
                        _body(mid - 12, ["Good try! Let's see if your score", "made it into the records."])])
    # lost past a checkpoint: the game can be picked up again there
    _text("game_over_checkpoint", [_title(_header_middle(SMALL), ["GAME OVER"], color=WARM_TEXT),
                                   _body(mid - 12, ["Good try! After the records you", "can carry on from level %1;."])])
    _text("exit_to_menu", [_title(_header_middle(SMALL), ["BACK TO THE MENU?"]),
                           _body(mid - 12, ["You can pick up this game", "later from this level."])])

    # statistics: title, two variants of the figures, the best combo, the final words
    _text("stat_title", [_title(_header_middle(STAT), ["LEVEL COMPLETE!"])])
    rows = STAT_ROWS
    lx, rx = STAT[0] + 48, STAT[0] + STAT[2] - 48
    label = {"font": "font_crystal1", "size": 1.0, "x": lx, "z": Z_TEXT, "align": "left", "color": LABEL_TEXT,
             "leading": rows["step"]}
    value = {"font": "font_taurus1", "size": 0.8, "x": rx, "z": Z_TEXT, "align": "right", "color": VALUE_TEXT,
             "leading": rows["step"]}

    def table(first, labels, values, step=rows["step"]):
        return [(dict(label, y=_y("font_crystal1", 1.0, first), leading=step), labels),
                (dict(value, y=_y("font_taurus1", 0.8, first), leading=step), values)]

    _text("stat_with_best_shot", table(rows["best_shot"], ["Level", "Score", "Best shot"], ["%1;", "%2;", "%3;"]))
    _text("best_combo", table(rows["best_shot"] + 3 * rows["step"], ["Best combo"], ["%1;"]))
    _text("stat_with_bonus", table(rows["bonus"], ["Level", "Score"], ["%1;", "%2;"], rows["bonus_step"]) +
          [({"font": "font_taurus2", "size": 0.85, "x": 400, "y": _y("font_taurus2", 0.85, rows["new_item"]),
             "z": Z_TEXT, "align": "center", "color": GREEN_TEXT, "leading": 0}, ["New bonus!"])])
    top, bottom = _field(STAT, BUTTON_H + 34)
    mid = (top + bottom) / 2.0
    _text("congratulations", [
        ({"font": "font_taurus2", "size": 1.0, "x": 400, "y": _y("font_taurus2", 1.0, mid - 46), "z": Z_TEXT,
          "align": "center", "color": GREEN_TEXT, "leading": 0}, ["Congratulations!"]),
        _body(mid - 2, ["You have cleared every level", "of this game. Well played,", "bubble master!"])])

    # try again (the game's title goes on the backdrop's ribbon, under the game zone's panel)
    top, bottom = _field(TRY, BUTTON_H + 34)
    mid = (top + bottom) / 2.0
    _text("try_again", [_title(_header_middle(TRY), ["DON'T GIVE UP!"]),
                        _body(mid - 36, ["Play on from your last checkpoint", "with the score you had there."]),
                        _body(mid + 36, ["OK to try again, MENU to leave."], color=LABEL_TEXT)])
    _text("try_again_puzzle", [_title(_header_middle(TRY), ["OUT OF ROOM!"], color=WARM_TEXT),
                               _body(mid - 36, ["The balls reached the bottom.", "Give this puzzle another go?"]),
                               _body(mid + 36, ["OK to retry, MENU for the records."], color=LABEL_TEXT)])
    for mode, word in (("arcade", "ARCADE"), ("challenge", "CHALLENGE"), ("puzzle", "PUZZLE")):
        _text("game_title_" + mode, [({"font": "font_taurus1", "size": 0.85, "x": 400,
                                       "y": _y("font_taurus1", 0.85, 82), "z": Z_TITLE_BEHIND_ZONE, "align": "center",
                                       "color": 0xFFFFFF, "leading": 0}, [word])])


# the statistics figures: middles of the first row in each variant, and the row step
STAT_ROWS = {"best_shot": 222, "step": 36, "bonus": 188, "bonus_step": 34, "new_item": 270}

# Files this module writes (the generator clears them before a run).
MAPS = ["game_over.map", "exit_to_menu.map", "game_stat.map", "try_again.map", "try_again_puzzle.map"]
TEXTS = ["game_over", "game_over_checkpoint", "exit_to_menu", "stat_title", "stat_with_best_shot", "best_combo", "stat_with_bonus",
         "congratulations", "try_again", "try_again_puzzle", "game_title_arcade", "game_title_challenge",
         "game_title_puzzle"]


# ---------------------------------------------------------------- files and maps

def make_all():
    P = {}

    def one(name, img, dx=0, dy=0, z=0, ts=64, fw=0, fh=0, **common):
        rel = spr.image(FOLDER + name + ".png", img)
        P[name] = spr.write(FOLDER + name + ".spr", [[spr.part(rel, fw, fh, ts, x=dx, y=dy)]], z=z, **common)
        return P[name]

    one("dialog_veil", veil(), ts=256, z=Z_VEIL)
    for name, box, seed, tray in (("dialog_small", SMALL, 610, True), ("dialog_stat", STAT, 611, True),
                                  ("dialog_try_again", TRY, 612, True)):
        one(name, plate(box[2], box[3], box[4], seed, tray), -PLATE_MARGIN, -PLATE_MARGIN, z=Z_PLATE,
            width=box[2], height=box[3])
    for name, caption, style in (("panel_ok", "OK", "primary"), ("panel_yes", "YES", "primary"),
                                 ("panel_no", "NO", "secondary"), ("panel_menu", "MENU", "secondary")):
        frames = button_frames(caption, style)
        h, w = frames[0].shape[:2]
        rel = spr.image(FOLDER + name + ".png", core.sheet(frames, 1))
        P[name] = spr.write(FOLDER + name + ".spr", [[spr.part(rel, w, h, 64, x=-BUTTON_PAD, y=-BUTTON_PAD)]],
                            z=Z_BUTTON, width=BUTTON_W, height=BUTTON_H)
    one("stat_poloska", separator(), 0, -BAR_LINE, z=Z_BAR, ts=32, width=BAR_W, height=2)
    write_texts()
    return P


# Each map: its objects (prototype, x, y, z), in drawing order.
def layouts():
    sx, sy = SMALL[0], SMALL[1]
    tx, ty = TRY[0], TRY[1]
    return {
        "game_over.map": [("dialog_veil", 0, 0, Z_VEIL), ("dialog_small", sx, sy, Z_PLATE),
                          ("panel_ok", SINGLE_X, SMALL_BUTTON_Y, Z_BUTTON)],
        "exit_to_menu.map": [("dialog_veil", 0, 0, Z_VEIL), ("dialog_small", sx, sy, Z_PLATE),
                             ("panel_yes", PAIR_X[0], SMALL_BUTTON_Y, Z_BUTTON),
                             ("panel_no", PAIR_X[1], SMALL_BUTTON_Y, Z_BUTTON)],
        "game_stat.map": [("dialog_veil", 0, 0, Z_VEIL), ("dialog_stat", STAT[0], STAT[1], Z_PLATE),
                          ("stat_poloska", 400 - BAR_W // 2, BAR_Y, Z_BAR),
                          ("panel_ok", PAIR_X[0], STAT_BUTTON_Y, Z_BUTTON),
                          ("panel_menu", PAIR_X[1], STAT_BUTTON_Y, Z_BUTTON)],
        # shown over the try-again backdrop (space, menu panel, dark panel): no veil
        "try_again.map": [("dialog_try_again", tx, ty, Z_PLATE),
                          ("panel_ok", PAIR_X[0], TRY_BUTTON_Y, Z_BUTTON),
                          ("panel_menu", PAIR_X[1], TRY_BUTTON_Y, Z_BUTTON)],
        # shown over the game zone after a lost puzzle
        "try_again_puzzle.map": [("dialog_veil", 0, 0, Z_VEIL), ("dialog_try_again", tx, ty, Z_PLATE),
                                 ("panel_ok", PAIR_X[0], TRY_BUTTON_Y, Z_BUTTON),
                                 ("panel_menu", PAIR_X[1], TRY_BUTTON_Y, Z_BUTTON)],
    }


def write_layout_maps(P, maps, names):
    """Writes each map of `maps` (name -> [(prototype key, x, y, z)]): its prototype table in
    order of first use, then its objects."""
    assert sorted(maps) == sorted(names)
    for name, objects in maps.items():
        protos = []
        for proto, *_ in objects:
            if proto not in protos:
                protos.append(proto)
        lines = [str(len(protos))] + [spr.game_name(P[p]) for p in protos]
        lines.append(str(len(objects)))
        lines += ["%d,%d,%d,%d" % (protos.index(p), x, y, z) for p, x, y, z in objects]
        core.write_text(name, lines)


def write_maps(P):
    write_layout_maps(P, layouts(), MAPS)

