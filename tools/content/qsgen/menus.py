"""The menu scene's screens: the main menu, the game type choice, options,
records, help, the player list, name entry and the menu's dialogs.

Every screen stands on "menu_panel" (the glass panel with the gold ribbon that
zone.py draws for the try-again backdrop, at 110, 55: its body spans x 120..660,
y 65..525, the ribbon x 270..530, y 65..99). The game finds the objects by name
and tag and hit-tests them by fixed rectangles or by their own pixels, so the
places below follow the game's hit zones:

  big buttons      227 x 45 at x 286, y 154 / 214 / 274 / 334 / 454
  small OK button  171 x 30 at 314, 478 (records and help)
  page arrows      14 x 27 at 277 and 513, y 157 (records)
  player rows      x 220..553, y 208 + 24 row (7 rows), the scroll thumb y 201..331
  volume bars      x 360..438 at y 192 (music) and 252 (sound), 6-pixel elements

Buttons carry their caption drawn in; frames 0 normal, 1 hovered, 2 pressed.
"movepart" companions are two lit chevrons (parts 0 and 1: the left and the
right end of a big button); frame 0 rests, frames 2..5 run while hovered.

Depths: the panel 20, ribbon titles 200; big buttons 100 and their chevrons
110; the records' table 120; the help pictures 120..160 (their texts 200);
the menu's dialogs use the overlay depths of dialogs.py (veil 990, plate 1000,
buttons 1004, texts 1012; the game writes names at 1005 and 1010).
"""
import math

import numpy as np

from . import balls, core, dialogs, material, shapes, spr, zone

FOLDER = "graphics/menu/"
PANEL = (120, 65, 540, 460)          # the menu panel's body
PANEL_SPR = "graphics/elements_gamezone/menu_panel.spr"

BIG_W, BIG_H, BIG_PAD = 227, 45, 5
BIG_X = 286
BIG_Y = (154, 214, 274, 334, 454)
MINI_W, MINI_H, MINI_POS = 171, 30, (314, 478)
ARROW_W, ARROW_H = 14, 27
Z_BUTTON, Z_MOVE, Z_TABLE, Z_TEXT = 100, 110, 120, 200

# menu dialog plates: x, y, width, height, header height
MESSAGE = (170, 130, 460, 330, 46)    # the game message with its checkbox
PLAYERS = (165, 112, 470, 404, 46)    # player list and name entry backdrop
PLAYER_BUTTON_Y = PLAYERS[1] + PLAYERS[3] - dialogs.BUTTON_H - 20
MESSAGE_BUTTON_Y = MESSAGE[1] + MESSAGE[3] - dialogs.BUTTON_H - 20
SMALL = dialogs.SMALL
SMALL_BUTTON_Y = dialogs.SMALL_BUTTON_Y
CHECKBOX = (212, 358)                # top left of the 26 x 26 box
NAME_FIELD = (250, 270, 300, 42)     # the name's recessed field (the game writes the name at y 280)

ROW_X, ROW_W, ROW_Y, ROW_STEP, ROWS = 220, 334, 208, 24, 7
SCROLL_X = 566
SCROLL_THUMB_H = 40

HELP_DEMO = (148, 180, 182, 216)     # the demonstration's box on page 1
HELP_DIVIDER_X = 340
MINI_BALL = 20
DEMO_X = 228                          # the demo ball's column (left edge)


def _rect(x, y, w, h, r):
    return lambda ctx: (core.rounded_rect(ctx, x, y, w, h, r), ctx.fill())


# ---------------------------------------------------------------- big buttons

PALETTE = {
    # top, bottom, glow, text
    "main": ((0.20, 0.32, 0.74), (0.06, 0.09, 0.30), (0.3, 0.85, 1.0)),
    "go": ((0.14, 0.56, 0.50), (0.03, 0.20, 0.22), (0.35, 1.0, 0.8)),
    "warm": ((0.62, 0.26, 0.20), (0.24, 0.06, 0.08), (1.0, 0.6, 0.35)),
    "dim": ((0.22, 0.26, 0.46), (0.07, 0.08, 0.20), (0.55, 0.7, 1.0)),
}


CHEVRON_ROOM = 48  # from a big button's end to the inner edge of its hover chevrons


def big_frames(caption, style, w=BIG_W, h=BIG_H, size=18, states=(0, 1, 2), icon=None, trough=None):
    """Button faces: a pill of glass metal with a rim, an inner light line and the caption."""
    top, bottom, glow = PALETTE[style]
    p = BIG_PAD
    W, H = w + 2 * p, h + 2 * p
    r = min(h / 2.0, 16)
    out = []
    for state in states:
        hover, pressed = state == 1, state == 2
        t, b = top, bottom
        if hover:
            t, b = core.mix(top, glow, 0.22), core.mix(bottom, glow, 0.12)
        elif pressed:
            t, b = core.darken(top, 0.35), core.darken(bottom, 0.2)
        m = material.mask_of(W, H, _rect(p, p, w, h, r))
        img = core.blank(W, H)
        core.over(img, core.shadow(core.tint_mask(m, (0, 0, 0)), 1, 3, 3, 0.6))
        if hover:
            core.add(img, core.blur(core.tint_mask(m, glow, 0.9), 3.5))
        face = material.plate(m, 700 + state, top=t, bottom=b, bevel=2.4, grain=0.02, gloss=0.0 if pressed else 0.6)
        if pressed:
            inner = np.zeros_like(m)
            inner[3:, :] = m[:-3, :]
            face[..., :3] *= (0.6 + 0.4 * inner)[..., None]
        core.over(img, face)
        core.over(img, material.metal_rim(W, H, lambda c: core.rounded_rect(c, p + 1, p + 1, w - 2, h - 2, r - 1),
                                          width=2.0, seed=9))
        core.add(img, material.glow_line(W, H, lambda c: core.rounded_rect(c, p + 4, p + 4, w - 8, h - 8, r - 4),
                                         rgb=glow, width=0.8, blur=1.5, strength=0.95 if hover else 0.35))
        if trough:
            tx, ty, tw, th = trough
            material.recess(img, material.mask_of(W, H, _rect(p + tx - 1, p + ty - 1, tw + 2, th + 2, 3)), depth=1.5,
                            floor=(0.01, 0.02, 0.06))
        if caption:
            # A caption keeps clear of the chevrons that slide in at both ends on hover.
            # Tighter letters first, then a smaller size.
            tries = [(size, 2.0), (size, 1.2), (size, 0.6)] + [(s, 0.6) for s in range(size - 1, 9, -1)]
            for fit, spacing in tries:
                lab = material.label(caption, fit, rgb=(1, 1, 1) if hover else (0.88, 0.93, 1.0), spacing=spacing,
                                     glow=glow if hover else None)
                if w != BIG_W or lab.shape[1] <= w - 2 * CHEVRON_ROOM:
                    break
            lh, lw = lab.shape[:2]
            shift = 1 if pressed else 0
            cy = (H - lh) // 2 if not trough else p + 2
            core.over(img, lab, (W - lw) // 2 + shift, cy + shift)
        out.append(img)
    return out


def _chevron(size, direction, light, rgb):
    """One chevron pair pointing left (-1) or right (+1); light 0..1 brightens it."""
    w, h = size

    def paint(c):
        for k, a in ((0, 0.55 + 0.45 * light), (1, 0.3 + 0.7 * light)):
            x0 = w * (0.18 + 0.34 * k)
            if direction < 0:
                pts = [(x0 + w * 0.3, h * 0.18), (x0, h * 0.5), (x0 + w * 0.3, h * 0.82)]
            else:
                x0 = w - x0
                pts = [(x0 - w * 0.3, h * 0.18), (x0, h * 0.5), (x0 - w * 0.3, h * 0.82)]
            c.move_to(*pts[0])
            c.line_to(*pts[1])
            c.line_to(*pts[2])
            c.set_line_width(3.2)
            c.set_line_cap(1)
            c.set_line_join(1)
            c.set_source_rgba(rgb[0], rgb[1], rgb[2], a)
            c.stroke()
    shape = core.draw(w, h, paint, scale=3)
    img = core.blank(w, h)
    core.add(img, core.blur(shape, 2.5), opacity=0.4 + 0.9 * light)
    core.over(img, shape)
    if light:
        core.add(img, shape, opacity=0.6 * light)
    return img


def move_frames(size, direction):
    """Frame 0 (and 1) resting, 2..5 a pulse that runs outwards."""
    rest = _chevron(size, direction, 0.0, (0.45, 0.6, 0.95))
    rest[..., 3] *= 0.55
    rest[..., :3] *= 0.55
    out = [rest, rest.copy()]
    for i in range(4):
        f = _chevron(size, direction, 0.35 + 0.65 * math.sin(math.pi * (i + 0.5) / 4.0), (0.45, 0.95, 1.0))
        # the pulse slides outwards by a pixel a frame
        shifted = core.blank(size[0], size[1])
        core.over(shifted, f, direction * (i - 1), 0)
        out.append(shifted)
    return out


# ---------------------------------------------------------------- small parts

def arrow_frames(direction, w=ARROW_W, h=ARROW_H):
    """The page arrows of records and help: a gem-like triangle, 3 frames."""
    out = []
    for state in range(3):
        pad = 4
        W, H = w + 2 * pad, h + 2 * pad
        if direction < 0:
            pts = [(pad + w, pad), (pad, pad + h / 2.0), (pad + w, pad + h)]
        else:
            pts = [(pad, pad), (pad + w, pad + h / 2.0), (pad, pad + h)]

        def tri(c):
            c.move_to(*pts[0])
            c.line_to(*pts[1])
            c.line_to(*pts[2])
            c.close_path()
            c.fill()
        m = material.mask_of(W, H, tri)
        top, bottom = (0.98, 0.82, 0.4), (0.62, 0.36, 0.08)
        if state == 1:
            top, bottom = (1.0, 0.95, 0.65), (0.85, 0.55, 0.15)
        elif state == 2:
            top, bottom = core.darken(top, 0.3), core.darken(bottom, 0.3)
        img = core.blank(W, H)
        if state == 1:
            core.add(img, core.blur(core.tint_mask(m, (1.0, 0.75, 0.3), 1.0), 3.0))
        core.over(img, core.shadow(core.tint_mask(m, (0, 0, 0)), 1, 2, 2, 0.6))
        core.over(img, material.plate(m, 90 + state, top=top, bottom=bottom, bevel=1.6, grain=0, gloss=0.5))
        out.append(img)
    return out, 4


def checkbox_frames():
    s, pad = 26, 3
    W = s + 2 * pad
    out = []
    for ticked in (False, True):
        m = material.mask_of(W, W, _rect(pad, pad, s, s, 6))
        img = core.blank(W, W)
        core.over(img, core.shadow(core.tint_mask(m, (0, 0, 0)), 1, 2, 2, 0.6))
        core.over(img, material.plate(m, 41, top=(0.2, 0.3, 0.62), bottom=(0.06, 0.09, 0.26), bevel=1.8, grain=0,
                                      gloss=0.4))
        inner = material.mask_of(W, W, _rect(pad + 4, pad + 4, s - 8, s - 8, 4))
        material.recess(img, inner, depth=1.5, floor=(0.01, 0.02, 0.07))
        core.add(img, material.glow_line(W, W, lambda c: core.rounded_rect(c, pad + 1, pad + 1, s - 2, s - 2, 5),
                                         width=0.8, blur=1.2, strength=0.5))
        if ticked:
            def tick(c):
                c.move_to(pad + 7, pad + 13.5)
                c.line_to(pad + 11.5, pad + 19)
                c.line_to(pad + 20, pad + 7)
                c.set_line_width(3.4)
                c.set_line_cap(1)
                c.set_line_join(1)
                c.set_source_rgba(0.55, 1.0, 0.6, 1)
                c.stroke()
            t = core.draw(W, W, tick, scale=3)
            core.add(img, core.blur(t, 2.0), opacity=0.9)
            core.over(img, t)
        out.append(img)
    return out, pad


def small_button_frames(w, h, glyph):
    """Scroll arrows of the player list: a rounded key with an up or down triangle."""
    pad = 3
    W, H = w + 2 * pad, h + 2 * pad
    out = []
    for state in range(3):
        top, bottom, glow = PALETTE["main"]
        if state == 1:
            top, bottom = core.mix(top, glow, 0.25), core.mix(bottom, glow, 0.12)
        elif state == 2:
            top, bottom = core.darken(top, 0.35), core.darken(bottom, 0.2)
        m = material.mask_of(W, H, _rect(pad, pad, w, h, 6))
        img = core.blank(W, H)
        if state == 1:
            core.add(img, core.blur(core.tint_mask(m, glow, 0.9), 2.5))
        core.over(img, material.plate(m, 60 + state, top=top, bottom=bottom, bevel=1.8, grain=0, gloss=0.5))
        core.over(img, material.metal_rim(W, H, lambda c: core.rounded_rect(c, pad + 0.8, pad + 0.8, w - 1.6, h - 1.6, 5),
                                          width=1.4, seed=5))
        cx, cy, d = W / 2.0 + (1 if state == 2 else 0), H / 2.0 + (1 if state == 2 else 0), glyph

        def tri(c):
            c.move_to(cx - 6, cy + 3.5 * d)
            c.line_to(cx + 6, cy + 3.5 * d)
            c.line_to(cx, cy - 4 * d)
            c.close_path()
            c.set_source_rgba(0.9, 0.96, 1.0, 1)
            c.fill()
        core.over(img, core.draw(W, H, tri, scale=3))
        out.append(img)
    return out, pad


def scroll_track(h):
    w = 22
    img = core.blank(w + 4, h + 4)
    m = material.mask_of(w + 4, h + 4, _rect(2, 2, w, h, 8))
    material.recess(img, m, depth=2.0, floor=(0.02, 0.03, 0.1), alpha=0.9)
    return img


def scroll_thumb():
    w, h = 18, SCROLL_THUMB_H
    m = material.mask_of(w, h, _rect(0, 0, w, h, 7))
    img = material.plate(m, 62, top=(0.4, 0.85, 1.0), bottom=(0.1, 0.35, 0.7), bevel=1.8, grain=0, gloss=0.6)
    for k in (-5, 0, 5):
        core.add(img, material.glow_line(w, h, lambda c, k=k: (c.move_to(5, h / 2.0 + k), c.line_to(13, h / 2.0 + k)),
                                         rgb=(0.8, 1.0, 1.0), width=0.8, blur=1.0, strength=0.6))
    return img


def marker():
    """The highlight under the chosen player's name: a glowing bar, breathing in 8 frames."""
    w, h, pad = ROW_W, 22, 4
    out = []
    for i in range(8):
        k = 0.5 + 0.5 * math.cos(2 * math.pi * i / 8.0)
        img = core.blank(w + 2 * pad, h + 2 * pad)
        m = material.mask_of(w + 2 * pad, h + 2 * pad, _rect(pad, pad, w, h, 10))
        grad = np.abs(np.linspace(-1, 1, w + 2 * pad, dtype=np.float32))[None, :]
        a = (0.55 - 0.35 * grad ** 2) * (0.75 + 0.25 * k)
        img[..., 0] = m * 0.1
        img[..., 1] = m * 0.45
        img[..., 2] = m * 0.75
        img[..., 3] = m * a
        img[..., :3] *= img[..., 3:4] / np.maximum(m[..., None], 1e-6)
        core.add(img, material.glow_line(w + 2 * pad, h + 2 * pad,
                                         lambda c: core.rounded_rect(c, pad + 0.5, pad + 0.5, w - 1, h - 1, 10),
                                         rgb=(0.35, 0.95, 1.0), width=1.0, blur=2.0, strength=0.6 + 0.4 * k))
        out.append(img)
    return out, pad


def cursor_frames():
    w, h = 4, 24
    on = core.blank(w + 6, h + 6)
    bar = core.tint_mask(material.mask_of(w + 6, h + 6, _rect(3, 3, w, h, 1.5)), (1.0, 0.92, 0.6), 1.0)
    core.add(on, core.blur(bar, 2.0), opacity=0.9)
    core.over(on, bar)
    return [on, on.copy(), core.opacity(on, 0.35), core.blank(w + 6, h + 6)], 3


def volume_element():
    """One step of a volume bar: 6 pixels wide, 8 tall, a lit cell with a dark seam."""
    img = core.blank(6, 8)
    t = np.linspace(0, 1, 8, dtype=np.float32)[:, None]
    for c, (a, b) in enumerate(zip((0.55, 1.0, 0.85), (0.05, 0.55, 0.95))):
        img[:, :5, c] = (a * (1 - t) + b * t)
    img[:, :5, 3] = 1.0
    img[0, :5, :3] = np.clip(img[0, :5, :3] + 0.3, 0, 1)
    return img


def divider(h):
    w = 12
    img = core.blank(w, h)
    ys = np.arange(h, dtype=np.float32)
    ends = np.clip(np.minimum(ys, h - 1 - ys) / 50.0, 0, 1) ** 1.5
    xs = np.arange(w, dtype=np.float32)
    line = np.exp(-((xs - 6) ** 2) / 0.7)[None, :] * ends[:, None]
    halo = np.exp(-((xs - 6) ** 2) / 6.0)[None, :] * ends[:, None] * 0.45
    for c, (lc, hc) in enumerate(zip((0.75, 0.95, 1.0), (0.2, 0.7, 1.0))):
        img[..., c] = np.clip(line * lc + halo * hc, 0, 1)
    img[..., 3] = np.clip(line + halo, 0, 1)
    return img


def field(w, h, r=10, alpha=0.8):
    """A recessed, see-through area of a panel (tables, the demo box, the name field)."""
    pad = 3
    img = core.blank(w + 2 * pad, h + 2 * pad)
    m = material.mask_of(w + 2 * pad, h + 2 * pad, _rect(pad, pad, w, h, r))
    material.recess(img, m, depth=2.5, floor=(0.02, 0.03, 0.1), alpha=alpha)
    core.add(img, material.glow_line(w + 2 * pad, h + 2 * pad,
                                     lambda c: core.rounded_rect(c, pad + 0.5, pad + 0.5, w - 1, h - 1, r),
                                     width=0.8, blur=1.6, strength=0.3))
    return img, pad


def name_hint():
    """The two hint lines under the name field (drawn, not text: they leave with the field)."""
    lines = [material.label(t, 14, rgb=(0.62, 0.73, 0.92), spacing=0.6) for t in
             ("Up to 14 letters, digits, spaces, dots or dashes.", "Press Enter when you are done.")]
    w = max(l.shape[1] for l in lines)
    img = core.blank(w, 44)
    for i, l in enumerate(lines):
        core.over(img, l, (w - l.shape[1]) // 2, i * 22)
    return img


def name_badge():
    """A round glass badge with a player's bust, above the name field."""
    size, pad = 58, 8
    W = size + 2 * pad
    c = W / 2.0
    disc = material.mask_of(W, W, lambda ctx: (ctx.arc(c, c, size / 2.0, 0, 2 * math.pi), ctx.fill()))
    img = core.blank(W, W)
    core.add(img, core.blur(core.tint_mask(disc, material.GLOW, 0.7), 5.0))
    core.over(img, material.plate(disc, 88, top=(0.22, 0.34, 0.72), bottom=(0.05, 0.08, 0.25), bevel=3.0, grain=0,
                                  gloss=0.6))
    core.over(img, material.metal_rim(W, W, lambda ctx: ctx.arc(c, c, size / 2.0 - 1.5, 0, 2 * math.pi), width=3.0))

    def bust(ctx):
        ctx.arc(c, c - 7, 9, 0, 2 * math.pi)
        ctx.fill()
        ctx.move_to(c - 17, c + 19)
        ctx.curve_to(c - 16, c + 5, c - 8, c + 3, c, c + 3)
        ctx.curve_to(c + 8, c + 3, c + 16, c + 5, c + 17, c + 19)
        ctx.close_path()
        ctx.fill()
    m = material.mask_of(W, W, bust) * disc
    core.add(img, core.blur(core.tint_mask(m, (0.4, 0.95, 1.0), 0.8), 2.0))
    core.over(img, material.plate(m, 89, top=(0.85, 0.97, 1.0), bottom=(0.35, 0.7, 0.95), bevel=1.2, grain=0,
                                  gloss=0.3))
    return img, pad


def demo_box():
    """The demonstration's box on help page 1: a dark well with the field's ceiling."""
    w, h = HELP_DEMO[2], HELP_DEMO[3]
    img, pad = field(w, h, 12, 0.9)
    ceil_y = 212 - HELP_DEMO[1]      # the ceiling's lower edge in box coordinates
    bar = material.mask_of(w + 2 * pad, h + 2 * pad, _rect(pad + 10, pad + ceil_y - 8, w - 20, 8, 3))
    core.over(img, material.plate(bar, 77, top=(0.6, 0.7, 0.95), bottom=(0.2, 0.26, 0.5), bevel=1.5, grain=0,
                                  gloss=0.5))
    core.add(img, material.glow_line(w + 2 * pad, h + 2 * pad,
                                     lambda c: (c.move_to(pad + 16, pad + ceil_y + 0.5),
                                                c.line_to(pad + w - 16, pad + ceil_y + 0.5)),
                                     width=0.8, blur=2.0, strength=0.7))
    return img, pad


# ---------------------------------------------------------------- help pictures

def mini_ball_groups(n):
    """A small ball with the four layers of a game ball (aura, ball, sign, glints);
    the help page shows only the second."""
    size = MINI_BALL
    body = core.resize(balls.ball_frames(balls.BALL_RGB[n], n - 1, frames=1)[0], size, size)
    aura = core.resize(balls.halo_image(balls.BALL_RGB[n]), 28, 28)
    return body, aura


def canon_mini():
    """Half the size of the game's cannon: its firing frames, two empty mark layers and the
    next-ball socket whose frames are the seven colours."""
    frames = [core.resize(f, 46, 80) for f in zone.canon2_frames()]
    colours = [core.resize(f, 12, 12) for f in balls.next_ball_frames()[:7]]
    return frames, colours


# ---------------------------------------------------------------- texts

GOLD = dialogs.GOLD_TEXT
BODY = dialogs.BODY_TEXT
LABEL = dialogs.LABEL_TEXT
WARM = dialogs.WARM_TEXT
GREEN = dialogs.GREEN_TEXT
VALUE = dialogs.VALUE_TEXT

# text name -> (left, right): the panel span every line of it must stay inside
TEXT_SPAN = {}
# text name -> how many values the game passes
TEXT_VALUES = {"continue_game_after_loss": 2, "continue_game": 2}


def _y(font, size, middle):
    return dialogs._y(font, size, middle)


def _block(font, size, x, middle, lines, align="center", color=BODY, leading=0, z=Z_TEXT):
    return ({"font": font, "size": size, "x": x, "y": _y(font, size, middle), "z": z, "align": align,
             "color": color, "leading": leading}, lines)


def _write(name, blocks, span):
    assert name in TEXTS, name
    TEXT_SPAN[name] = span
    core.write_text("text/" + name + ".txt", dialogs.text_lines(name, blocks, "menus.py"))


def _ribbon(name, word):
    """A screen's name on the gold ribbon of the menu panel."""
    _write(name, [_block("font_taurus1", 0.85, 400, 82, [word], color=0xFFFFFF)], (272, 528))


def _plate_title(box, words, color=GOLD, size=1.0):
    return _block("font_taurus1", size, 400, dialogs._header_middle(box), words, color=color, z=dialogs.Z_TEXT)


def _plate_body(middle, lines, leading=24, color=BODY, size=1.0, x=400, align="center"):
    return _block("font_crystal1", size, x, middle, lines, align=align, color=color, leading=leading,
                  z=dialogs.Z_TEXT)


def _inside(box, margin=30):
    return (box[0] + margin, box[0] + box[2] - margin)


MODE_WORDS = {"arcade": "ARCADE", "challenge": "CHALLENGE", "puzzle": "PUZZLE"}


def write_texts():
    panel_span = (PANEL[0] + 24, PANEL[0] + PANEL[2] - 24)
    # ribbon titles
    _ribbon("game_title_menu", "MAIN MENU")
    _ribbon("game_title_start", "NEW GAME")
    _ribbon("game_title_options", "OPTIONS")
    _ribbon("game_title_scores", "RECORDS")
    _ribbon("help_title", "HOW TO PLAY")
    _ribbon("game_title_players", "PLAYERS")

    # the main menu's player line (x 259..541, y 120..135): two looks, the game shows one
    for name, color in (("menu_text_button1", LABEL), ("menu_text_button2", GREEN)):
        _write(name, [_block("font_crystal1", 0.8, 400, 127.5, ["Click here to change the player"],
                             color=color)], (259, 541))

    # game type: a prompt above the buttons and a comment under them for the hovered mode
    _write("choose_game_type", [_block("font_taurus2", 0.8, 400, 124, ["Which game will you play?"],
                                       color=LABEL)], panel_span)
    comments = {
        "arcade": ["Balls rain from above without end.", "Fill the gauge with matches to clear",
                   "each level before the field lands."],
        "challenge": ["The gauge drains all the time:", "keep it up with quick matches",
                      "and big combos, or the level is lost."],
        "puzzle": ["Hand-made levels with crystals.", "Free every crystal to win. Every few",
                   "shots the whole field is pushed down."],
    }
    for mode, lines in comments.items():
        _write("game_comment_" + mode, [_block("font_crystal1", 1.0, 400, 350, [MODE_WORDS[mode]], color=GOLD),
                                         _block("font_crystal1", 1.0, 400, 376, lines, leading=22)], panel_span)

    # options: the labels over the two volume buttons and a hint under the switches
    _write("game_options", [_block("font_crystal1", 1.0, 400, 169, ["MUSIC"], color=0xFFFFFF, leading=60),
                            _block("font_crystal1", 1.0, 400, 229, ["SOUND"], color=0xFFFFFF),
                            _block("font_crystal1", 0.85, 400, 404, ["Click the arrows or drag along a bar.",
                                                                      "Messages: the notes shown before a game."],
                                   color=LABEL, leading=20)], panel_span)

    # records: the mode between the arrows, the column heads over the table
    for mode in ("arcade", "challenge", "puzzle"):
        _write("scores_title_" + mode, [_block("font_taurus1", 0.8, 400, 170, [MODE_WORDS[mode]], color=GOLD)],
               (292, 510))
    heads = _block("font_crystal1", 0.8, 230, 203, ["NAME"], align="left", color=LABEL)
    _write("scores_title_footer", [
        _block("font_crystal1", 0.8, 222, 203, ["#"], align="right", color=LABEL), heads,
        _block("font_crystal1", 0.8, 450, 203, ["LEVEL"], align="right", color=LABEL),
        _block("font_crystal1", 0.8, 590, 203, ["SCORE"], align="right", color=LABEL)], (196, 604))

    # help pages
    _write("help_page1", [_block("font_crystal1", 0.8, 356, 148, [
        "Aim with the mouse, click to shoot.",
        "Three or more balls of one colour",
        "that touch burst; balls left hanging",
        "from them drop. Drops multiply the",
        "points of the shot!",
        "The right button swaps your balls.",
        "",
        "ARCADE: fill the gauge with matches",
        "before the balls reach the red line.",
        "CHALLENGE: the gauge drains, so",
        "keep matching. The field climbs",
        "back to the gold line after shots.",
        "PUZZLE: free every crystal. The bar",
        "by the cannon fills with shots;",
        "when full, the field is pushed down.",
    ], align="left", color=BODY, leading=20)], (350, 644))
    items = [
        ("Paint rocket: the right", "button fires it to repaint", "the balls along its path."),
        ("Target: marks where your", "shot will land, for a while."),
        ("x2: double points for", "the next matches."),
        ("x4: four times the points", "for the next matches."),
        ("Freeze: the field stops", "sinking for a while."),
        ("Small bomb: its ball blows", "up the balls around it."),
        ("Net: the field grows wider", "for a while."),
        ("Up: lifts the whole field", "a little higher."),
        ("Multiball: matches every", "colour it touches."),
        ("Colour bomb: blasts around", "it, further in its colour."),
        ("Big bomb: earned by many", "matches in a row; it blasts", "a wide circle."),
    ]
    # a little under the page arrows, clear of them and of the first row of items
    blocks = [_block("font_crystal1", 0.72, 400, 141, ["Burst a ball with a sign to win its bonus:"],
                     color=GOLD)]
    for i, lines in enumerate(items):
        cx = 188 if i < 6 else 438
        row = i if i < 6 else i - 6
        mid = HELP_ROW_Y[row] + 17 - 8 * (len(lines) - 1)
        blocks.append(_block("font_crystal1", 0.72, cx, mid, list(lines), align="left", color=BODY, leading=16))
    _write("help_page2", blocks, (130, 650))

    # the game message of each mode (plate MESSAGE): title, rules, the checkbox's caption
    msg = {
        "arcade": ["Burst groups of three or more to", "fill the gauge. The balls keep", "sinking: clear them before they",
                   "reach the red line!"],
        "challenge": ["The gauge drains all the time:", "match fast and build combos. The",
                      "field climbs back to the gold line", "after shots. A dry gauge loses!"],
        "puzzle": ["Free every crystal to win. The bar", "beside the cannon fills with your",
                   "shots: when it is full, the field", "is pushed down a row. Plan well!"],
    }
    top, bottom = dialogs._field(MESSAGE, dialogs.BUTTON_H + 34)
    for mode, lines in msg.items():
        _write("game_message_" + mode, [
            _plate_title(MESSAGE, [MODE_WORDS[mode]]),
            _plate_body(top + 20, lines, leading=24),
            _block("font_crystal1", 0.9, CHECKBOX[0] + 40, CHECKBOX[1] + 13, ["Show this message before a game"],
                   align="left", color=LABEL, z=dialogs.Z_TEXT)], _inside(MESSAGE, 20))

    # the small dialogs (plate dialog_small)
    top, bottom = dialogs._field(SMALL, dialogs.BUTTON_H + 34)
    mid = (top + bottom) / 2.0
    small_span = _inside(SMALL, 24)
    _write("exit_to_windows", [_plate_title(SMALL, ["LEAVING SO SOON?"]),
                               _plate_body(mid - 12, ["Do you really want to quit", "Quibblestar?"])], small_span)
    _write("continue_game", [_plate_title(SMALL, ["WELCOME BACK!"]),
                             _plate_body(mid - 12, ["Carry on at level %1; with", "%2; points, where you left it?"])],
           small_span)
    _write("continue_game_after_loss", [_plate_title(SMALL, ["TRY AGAIN?"]),
                                        _plate_body(mid - 12, ["Carry on from your checkpoint,", "level %1;, with %2; points?"])],
           small_span)

    # the player list and name entry (plate PLAYERS)
    pspan = _inside(PLAYERS, 24)
    _write("choose_player", [_plate_title(PLAYERS, ["CHOOSE A PLAYER"])], pspan)
    for name, color in (("create_player1", LABEL), ("create_player2", GREEN)):
        _write(name, [_block("font_crystal1", 1.0, 400, 412, ["+ New player"], color=color, z=dialogs.Z_TEXT)],
               (312, 485))
    _write("delete_player", [_plate_title(PLAYERS, ["DELETE PLAYER"], color=WARM),
                             _plate_body(250, ["Delete this player with all", "progress and settings?"])], pspan)
    # name entry: only the header is text; the hint under the field is drawn into input_player_name.map
    # so that it goes away with the field when a name message stands on the same plate
    _write("your_name", [_plate_title(PLAYERS, ["WHAT'S YOUR NAME?"])], pspan)
    _write("rename_player", [_plate_title(PLAYERS, ["RENAME PLAYER"])], pspan)
    # the name messages share the plate with the entry's title (it stays up for some of them)
    _write("name_already_exists", [_plate_body(232, ["NAME TAKEN"], color=WARM, size=1.1),
                                   _plate_body(272, ["There is a player with", "this name already.",
                                                     "Please choose another one."])], pspan)
    _write("please_enter_name", [_plate_body(232, ["NO NAME YET"], color=WARM, size=1.1),
                                 _plate_body(272, ["Please type a name for", "yourself first: it keeps your",
                                                   "progress and your records."])], pspan)


HELP_ROW_Y = [154 + 51 * i for i in range(6)]   # ball tops of the help's second page

MAPS = ["menu.map", "menu_buttons_mainmenu.map", "menu_buttons_select_game_type.map",
        "menu_buttons_music_sound_fullscreen.map", "menu_help.map", "menu_scores.map", "select_player.map",
        "input_player_name.map", "input_player_name_back.map", "name_confirm.map", "name_message.map",
        "game_message.map", "exit_to_windows.map", "continue_last_game.map"]
TEXTS = ["choose_game_type", "choose_player", "continue_game", "continue_game_after_loss", "create_player1",
         "create_player2", "delete_player", "exit_to_windows", "game_comment_arcade", "game_comment_challenge",
         "game_comment_puzzle", "game_message_arcade", "game_message_challenge", "game_message_puzzle",
         "game_options", "game_title_menu", "game_title_options", "game_title_players", "game_title_scores",
         "game_title_start",
         "help_page1", "help_page2", "help_title", "menu_text_button1", "menu_text_button2", "name_already_exists",
         "please_enter_name", "rename_player", "scores_title_arcade", "scores_title_challenge",
         "scores_title_puzzle", "scores_title_footer", "your_name"]


# ---------------------------------------------------------------- prototypes

def make_all(dialog_protos):
    P = {"menu_panel": PANEL_SPR}
    for k in ("dialog_veil", "dialog_small", "panel_ok", "panel_yes", "panel_no", "stat_poloska"):
        P[k] = dialog_protos[k]

    def sheet_proto(name, frames, dx, dy, z, ts=64, folder=FOLDER, cols=None, **common):
        h, w = frames[0].shape[:2]
        rel = spr.image(folder + name + ".png", core.sheet(frames, cols if cols else (1 if len(frames) <= 6 else 2)))
        P[name] = spr.write(folder + name + ".spr", [[spr.part(rel, w, h, ts, x=-dx, y=-dy)]], z=z, **common)
        return P[name]

    # big buttons
    big = {"button_start": ("START", "go"), "button_options": ("OPTIONS", "main"), "button_scores": ("RECORDS", "main"),
           "button_help": ("HELP", "main"), "button_exit": ("EXIT", "warm"), "button_arcade": ("ARCADE", "go"),
           "button_challenge": ("CHALLENGE", "go"), "button_puzzle": ("PUZZLE", "go"), "button_back": ("BACK", "dim")}
    for name, (caption, style) in big.items():
        sheet_proto(name, big_frames(caption, style), BIG_PAD, BIG_PAD, Z_BUTTON, width=BIG_W, height=BIG_H)
    # two-state switches: frames 0, 1 the first state, 2, 3 the second
    for name, a, b in (("button_fullscreen", "FULL SCREEN", "WINDOW"), ("button_tips", "MESSAGES: ON",
                                                                        "MESSAGES: OFF")):
        frames = big_frames(a, "main", states=(0, 1)) + big_frames(b, "dim", states=(0, 1))
        sheet_proto(name, frames, BIG_PAD, BIG_PAD, Z_BUTTON, width=BIG_W, height=BIG_H)
    # volume bodies: the caption comes from game_options.txt; the bar's trough at x 74..152, y 38..46
    for name in ("button_body_music", "button_body_sound"):
        sheet_proto(name, big_frames(None, "main", h=BIG_H, trough=(74, 38, 78, 8)), BIG_PAD, BIG_PAD, Z_BUTTON,
                    width=BIG_W, height=BIG_H)
    # companions
    for name, (w, h), (lx, rx), y in (("movepart", (34, 33), (12, BIG_W - 46), 6),
                                      ("movepart_mini", (26, 22), (8, MINI_W - 34), 4)):
        lf = spr.image(FOLDER + name + "_left.png", core.sheet(move_frames((w, h), -1), 6))
        rf = spr.image(FOLDER + name + "_right.png", core.sheet(move_frames((w, h), 1), 6))
        P[name] = spr.write(FOLDER + name + ".spr", [[spr.part(lf, w, h, 64, x=lx, y=y)],
                                                     [spr.part(rf, w, h, 64, x=rx, y=y)]], z=Z_MOVE)
    sheet_proto("button_ok_mini", big_frames("OK", "go", w=MINI_W, h=MINI_H, size=15), BIG_PAD, BIG_PAD, Z_BUTTON,
                width=MINI_W, height=MINI_H)
    for name, d in (("repair_left", -1), ("repair_right", 1)):
        frames, pad = arrow_frames(d)
        sheet_proto(name, frames, pad, pad, Z_BUTTON, ts=32, width=ARROW_W, height=ARROW_H)

    # dialog parts
    for name, box, seed in (("dialog_message", MESSAGE, 620), ("dialog_player", PLAYERS, 621)):
        rel = spr.image(FOLDER + name + ".png", dialogs.plate(box[2], box[3], box[4], seed, True))
        P[name] = spr.write(FOLDER + name + ".spr", [[spr.part(rel, 0, 0, 64, x=-dialogs.PLATE_MARGIN,
                                                                y=-dialogs.PLATE_MARGIN)]],
                            z=dialogs.Z_PLATE, width=box[2], height=box[3])
    for name, caption, style in (("panel_cancel", "CANCEL", "secondary"), ("panel_delete", "DELETE", "secondary"),
                                 ("panel_rename", "RENAME", "secondary")):
        sheet_proto(name, dialogs.button_frames(caption, style), dialogs.BUTTON_PAD, dialogs.BUTTON_PAD,
                    dialogs.Z_BUTTON, folder=dialogs.FOLDER, width=dialogs.BUTTON_W, height=dialogs.BUTTON_H)
    frames, pad = checkbox_frames()
    sheet_proto("checkbox", frames, pad, pad, dialogs.Z_BUTTON, ts=32, width=26, height=26)
    for name, d in (("scroller_up", 1), ("scroller_down", -1)):
        frames, pad = small_button_frames(22, 22, d)
        sheet_proto(name, frames, pad, pad, dialogs.Z_BUTTON, ts=32, width=22, height=22)
    rel = spr.image(FOLDER + "scroller_track.png", scroll_track(ROWS * ROW_STEP - 2))
    P["scroller_track"] = spr.write(FOLDER + "scroller_track.spr", [[spr.part(rel, 0, 0, 32, x=-2, y=-2)]],
                                    z=dialogs.Z_PLATE + 1)
    rel = spr.image(FOLDER + "scroller_bar.png", scroll_thumb())
    P["scroller_bar"] = spr.write(FOLDER + "scroller_bar.spr", [[spr.part(rel, 0, 0, 32)]], z=dialogs.Z_BUTTON,
                                  width=18, height=SCROLL_THUMB_H)
    frames, pad = marker()
    rel = spr.image(FOLDER + "marker.png", core.sheet(frames, 1))
    P["marker"] = spr.write(FOLDER + "marker.spr", [[spr.part(rel, ROW_W + 2 * pad, 22 + 2 * pad, 64, x=-pad, y=-pad,
                                                               anim_speed=spr.anim_speed(8))]],
                            z=dialogs.Z_PLATE + 2, width=ROW_W, height=22)
    frames, pad = cursor_frames()
    rel = spr.image(FOLDER + "rename_cursor.png", core.sheet(frames, 4))
    P["rename_cursor"] = spr.write(FOLDER + "rename_cursor.spr", [[spr.part(rel, 10, 30, 32, x=-pad, y=-pad,
                                                                             anim_speed=spr.anim_speed(3))]],
                                   z=dialogs.Z_TEXT - 1)
    for name, (w, h), z in (("name_field", NAME_FIELD[2:], dialogs.Z_PLATE + 2),
                            ("list_field", (ROW_W + 16, ROWS * ROW_STEP + 18), dialogs.Z_PLATE + 1),
                            ("scores_table", (432, 280), Z_TABLE)):
        img, pad = field(w, h)
        rel = spr.image(FOLDER + name + ".png", img)
        P[name] = spr.write(FOLDER + name + ".spr", [[spr.part(rel, 0, 0, 64, x=-pad, y=-pad)]], z=z)

    hint = name_hint()
    rel = spr.image(FOLDER + "name_hint.png", hint)
    P["name_hint"] = spr.write(FOLDER + "name_hint.spr", [[spr.part(rel, 0, 0, 64, x=-(hint.shape[1] // 2))]],
                               z=dialogs.Z_TEXT)

    badge, pad = name_badge()
    rel = spr.image(FOLDER + "name_badge.png", badge)
    P["name_badge"] = spr.write(FOLDER + "name_badge.spr", [[spr.part(rel, 0, 0, 64, x=-pad, y=-pad)]],
                                z=dialogs.Z_PLATE + 2)

    # the volume bar element (the game places it, by this path, 6 pixels apart)
    rel = spr.image("graphics/musicsoundfullscreen/music_sound_poloska.png", volume_element())
    spr.write("graphics/musicsoundfullscreen/music_sound_poloska.spr", [[spr.part(rel, 0, 0, 8)]], z=Z_MOVE + 5)

    # help pictures
    img, pad = demo_box()
    rel = spr.image(FOLDER + "help_demo.png", img)
    P["help_demo"] = spr.write(FOLDER + "help_demo.spr", [[spr.part(rel, 0, 0, 64, x=-pad, y=-pad)]], z=Z_TABLE)
    rel = spr.image(FOLDER + "scores_poloska_vert.png", divider(HELP_DEMO[3]))
    P["scores_poloska_vert"] = spr.write(FOLDER + "scores_poloska_vert.spr", [[spr.part(rel, 0, 0, 32)]],
                                         z=Z_TABLE + 1)
    for n in (2, 3, 4):
        body, aura = mini_ball_groups(n)
        b = spr.image(FOLDER + "ball%d_mini.png" % n, body)
        a = spr.image(FOLDER + "ball%d_mini_aura.png" % n, aura)
        P["ball%d_mini" % n] = spr.write(FOLDER + "ball%d_mini.spr" % n, [
            [spr.part(a, 0, 0, 32, x=-4, y=-4, alpha_mode=1)], [spr.part(b, 0, 0, 32, z=1)],
            [spr.part(a, 0, 0, 32, x=-4, y=-4, z=2, alpha_mode=1)], [spr.part(a, 0, 0, 32, x=-4, y=-4, z=3,
                                                                               alpha_mode=1)]],
            z=140, width=MINI_BALL, height=MINI_BALL, rot_center_x=10, rot_center_y=10)
    cf, colours = canon_mini()
    c = spr.image(FOLDER + "canon2_mini.png", core.sheet(cf, 8))
    mark = spr.image(FOLDER + "canon2_mini_mark.png", core.resize(zone.rocket_mark(), 6, 13))
    col = spr.image(FOLDER + "canon2_mini_ball.png", core.sheet(colours, 7))
    P["canon2_mini"] = spr.write(FOLDER + "canon2_mini.spr", [
        [spr.part(c, 46, 80, 64, anim_speed=spr.anim_speed(24), anim_loop=False)],
        [spr.part(mark, 0, 0, 16, x=10, y=20, z=1)], [spr.part(mark, 0, 0, 16, x=30, y=20, z=1)],
        [spr.part(col, 12, 12, 32, x=17, y=51, z=2)]], z=150)
    for n in range(1, 8):
        P["ball%d" % n] = "graphics/balls/ball%d/ball%d.spr" % (n, n)
    P["bomb1"] = "graphics/balls/bomb/bomb1.spr"
    P["bomb2"] = "graphics/balls/big_bomb/bomb2.spr"
    P["multiball"] = "graphics/balls/multiball/multiball.spr"

    write_texts()
    return P


# ---------------------------------------------------------------- maps

def layouts():
    Zb = dialogs.Z_BUTTON
    menu_panel = [("menu_panel", 110, 55, 20)]
    mainmenu = []
    for name, y in zip(("button_start", "button_options", "button_scores", "button_help", "button_exit"), BIG_Y):
        mainmenu.append((name, BIG_X, y, Z_BUTTON))
    mainmenu += [("movepart", BIG_X, y, Z_MOVE) for y in BIG_Y]
    # the gap above EXIT keeps it apart from the rest; a lit line with a gem marks it
    mainmenu.append(("stat_poloska", 400 - dialogs.BAR_W // 2, 414, Z_BUTTON))
    gtype = [(n, BIG_X, y, Z_BUTTON) for n, y in zip(("button_arcade", "button_challenge", "button_puzzle",
                                                       "button_back"), BIG_Y[:3] + BIG_Y[4:])]
    gtype += [("movepart", BIG_X, y, Z_MOVE) for y in BIG_Y[:3] + BIG_Y[4:]]
    opts = [(n, BIG_X, y, Z_BUTTON) for n, y in zip(("button_body_music", "button_body_sound", "button_fullscreen",
                                                      "button_tips", "button_back"), BIG_Y)]
    opts += [("movepart", BIG_X, y, Z_MOVE) for y in BIG_Y]
    ok_mini = [("button_ok_mini", MINI_POS[0], MINI_POS[1], Z_BUTTON), ("movepart_mini", MINI_POS[0], MINI_POS[1],
                                                                         Z_MOVE)]
    scores = [("scores_table", 184, 190, Z_TABLE), ("repair_left", 277, 157, Z_BUTTON),
              ("repair_right", 513, 157, Z_BUTTON)] + ok_mini
    # help: page arrows beside the game's "Page n/2" line (y 108)
    helpm = [("help_demo", HELP_DEMO[0], HELP_DEMO[1], Z_TABLE),
             ("scores_poloska_vert", HELP_DIVIDER_X, HELP_DEMO[1], Z_TABLE + 1),
             ("repair_left", 334, 107, Z_BUTTON), ("repair_right", 452, 107, Z_BUTTON)] + ok_mini
    # the demo: a ceiling row of yellows, two greens under them, two reds hanging from the greens
    X = DEMO_X
    r0, r1, r2 = 222, 239, 256
    helpm += [("ball2_mini", X - 20, r0, 140), ("ball2_mini", X, r0, 140), ("ball2_mini", X + 20, r0, 140),
              ("ball3_mini", X - 10, r1, 140), ("ball3_mini", X + 10, r1, 140), ("ball3_mini", X, 305, 141),
              ("ball3_mini", X - 40, r0, 140),
              ("ball4_mini", X - 20, r2, 140), ("ball4_mini", X + 20, r2, 140),
              ("canon2_mini", X + 10 - 23, 296, 150)]
    # page 2: eight bonus balls, then the multiball and the two bombs
    bigs = ["ball1", "ball5", "ball6", "ball7", "ball2", "ball3", "ball4", "ball7", "multiball", "bomb1", "bomb2"]
    for i, name in enumerate(bigs):
        x = 146 if i < 6 else 396
        y = HELP_ROW_Y[i if i < 6 else i - 6]
        helpm.append((name, x, y, 150))
    veil = [("dialog_veil", 0, 0, dialogs.Z_VEIL)]
    small = veil + [("dialog_small", SMALL[0], SMALL[1], dialogs.Z_PLATE)]
    pair = [("panel_yes", dialogs.PAIR_X[0], SMALL_BUTTON_Y, Zb), ("panel_no", dialogs.PAIR_X[1], SMALL_BUTTON_Y, Zb)]
    px = [190, 298, 406, 514]
    return {
        "menu.map": menu_panel,
        "menu_buttons_mainmenu.map": mainmenu,
        "menu_buttons_select_game_type.map": gtype,
        "menu_buttons_music_sound_fullscreen.map": opts,
        "menu_scores.map": scores,
        "menu_help.map": helpm,
        "game_message.map": veil + [("dialog_message", MESSAGE[0], MESSAGE[1], dialogs.Z_PLATE),
                                    ("checkbox", CHECKBOX[0], CHECKBOX[1], Zb),
                                    ("panel_ok", dialogs.SINGLE_X, MESSAGE_BUTTON_Y, Zb)],
        "continue_last_game.map": small + pair,
        "exit_to_windows.map": small + pair,
        "input_player_name_back.map": veil + [("dialog_player", PLAYERS[0], PLAYERS[1], dialogs.Z_PLATE)],
        "select_player.map": [("list_field", ROW_X - 8, ROW_Y - 9, dialogs.Z_PLATE + 1),
                              ("marker", ROW_X, ROW_Y, dialogs.Z_PLATE + 2),
                              ("scroller_track", SCROLL_X - 2, 201, dialogs.Z_PLATE + 1),
                              ("scroller_up", SCROLL_X - 2, 174, Zb), ("scroller_down", SCROLL_X - 2, 373, Zb),
                              ("scroller_bar", SCROLL_X, 201, Zb),
                              ("panel_delete", px[0], PLAYER_BUTTON_Y, Zb), ("panel_rename", px[1], PLAYER_BUTTON_Y, Zb),
                              ("panel_ok", px[2], PLAYER_BUTTON_Y, Zb), ("panel_cancel", px[3], PLAYER_BUTTON_Y, Zb)],
        "input_player_name.map": [("name_field", NAME_FIELD[0], NAME_FIELD[1], dialogs.Z_PLATE + 2),
                                  ("panel_ok", 296, PLAYER_BUTTON_Y, Zb), ("panel_cancel", 408, PLAYER_BUTTON_Y, Zb),
                                  ("rename_cursor", 404, 281, dialogs.Z_TEXT - 1),
                                  ("name_hint", 400, 334, dialogs.Z_TEXT),
                                  ("name_badge", 371, 194, dialogs.Z_PLATE + 2)],
        "name_confirm.map": [("panel_yes", dialogs.PAIR_X[0], PLAYER_BUTTON_Y, Zb),
                             ("panel_no", dialogs.PAIR_X[1], PLAYER_BUTTON_Y, Zb)],
        "name_message.map": [("panel_ok", dialogs.SINGLE_X, PLAYER_BUTTON_Y, Zb)],
    }


def write_maps(P):
    dialogs.write_layout_maps(P, layouts(), MAPS)
