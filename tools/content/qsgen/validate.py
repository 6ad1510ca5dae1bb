"""Checks the written content the way the game reads it, and fails loudly.

Every .spr parses (common line, group headers, part and continuation lines,
known keys, a valid texture_size); every image it names exists with a size
that holds whole frames; every map names existing prototypes with objects in
range; every list names existing files; every .pos matches its glyph sheet;
every object the game looks up exists with the frames and layers it uses; the
game scene's overlay texts exist with fonts, glyphs and placeholders the game
can fill; and the level files have the shape their readers need.
"""
import os
import re

from PIL import Image

COMMON_KEYS = {"z", "x", "y", "flip_x", "flip_y", "alpha", "angle", "trigger", "color", "map_koeff", "width",
               "height", "scale", "scale_x", "scale_y", "rot_center_x", "rot_center_y", "isometric", "iso_x",
               "iso_y", "iso_z"}
PART_KEYS = {"frame_width", "frame_height", "anim_speed", "anim_loop", "filter", "border", "x", "y", "z",
             "texture_size", "flip_x", "flip_y", "alpha", "alpha_mode", "angle", "sprite_type", "scale", "scale_x",
             "scale_y", "color"}
INT_KEYS = {"z", "alpha", "color", "width", "height", "iso_z", "frame_width", "frame_height", "anim_speed", "filter",
            "border", "texture_size", "alpha_mode", "sprite_type"}
BOOL_KEYS = {"flip_x", "flip_y", "trigger", "isometric", "anim_loop"}
IMAGE_EXT = (".png", ".bmp", ".jpg", ".tga")
SOUND_EXT = ("ogg", "mp3", "wav", "xm", "s3m", "mo3")


class Problems(Exception):
    pass


class Checker:
    def __init__(self, root):
        self.root = root
        self.errors = []
        self.sprites = {}  # lower-case game path -> parsed prototype

    def err(self, where, msg):
        line = "%s: %s" % (where, msg)
        if line not in self.errors:  # a prototype used by several maps is reported once
            self.errors.append(line)

    def path(self, game_name):
        return os.path.join(self.root, game_name.replace("\\", "/"))

    def exists(self, game_name):
        return os.path.isfile(self.path(game_name))

    # ------------------------------------------------------------ .spr

    def _int(self, where, key, value):
        try:
            return int(value[1:], 16) if value.startswith("$") else int(value)
        except ValueError:
            self.err(where, "%s=%s is not a whole number" % (key, value))
            return 0

    def _fields(self, where, line, allowed):
        out = {}
        for field in line.split(",")[:100]:
            field = field.strip()
            if not field or "=" not in field or field.startswith("="):
                break
            k, v = field.split("=", 1)
            k, v = k.strip().lower(), v.strip()
            if k not in allowed:
                self.err(where, "unknown key \"%s\"" % k)
                continue
            if k in INT_KEYS:
                out[k] = self._int(where, k, v)
            elif k in BOOL_KEYS:
                out[k] = v == "1"
            else:
                try:
                    out[k] = float(v)
                except ValueError:
                    self.err(where, "%s=%s is not a number" % (k, v))
        return out

    def parse_spr(self, rel):
        where = rel
        with open(os.path.join(self.root, rel), "rb") as f:
            raw = f.read()
        if b"\r" not in raw and raw.strip():
            self.err(where, "lines must end with CR LF (the reader splits at CR)")
        text = raw.decode("latin-1")
        lines = []
        for n, line in enumerate(text.split("\r"), 1):
            line = line.replace("\n", "")[:255].strip().lower()
            if ";" in line:
                line = line[:line.index(";")].strip()
            if line:
                lines.append((n, line))
        proto = {"common": {}, "groups": [], "parts": []}
        if not lines:
            self.err(where, "empty prototype")
            return proto
        proto["common"] = self._fields("%s line %d" % (where, lines[0][0]), lines[0][1], COMMON_KEYS)
        folder = os.path.dirname(rel)
        remaining = 0
        for n, line in lines[1:]:
            at = "%s line %d" % (where, n)
            if line.startswith("+"):
                if not proto["parts"]:
                    self.err(at, "continuation line before any part")
                    continue
                spec = line[1:].strip()
                img = self.image_of(at, folder, spec)
                p = proto["parts"][-1]
                if img and p.get("frames_ok"):
                    if img != (p["fw"], p["fh"]):
                        self.err(at, "continuation image %dx%d is not the frame size %dx%d" % (img + (p["fw"], p["fh"])))
                    p["frames"] += 1
                continue
            if remaining == 0:
                if not re.fullmatch(r"-?\d+", line):
                    self.err(at, "expected a group header (a number of parts), got \"%s\"" % line)
                    return proto
                remaining = int(line)
                proto["groups"].append([])
                continue
            remaining -= 1
            spec, _, rest = line.partition(",")
            keys = self._fields(at, rest, PART_KEYS)
            img = self.image_of(at, folder, spec.strip())
            ts = keys.get("texture_size")
            if ts not in (8, 16, 32, 64, 128, 256):
                self.err(at, "texture_size must be one of 8, 16, 32, 64, 128, 256 (got %s)" % ts)
            border = keys.get("border", 0)
            if ts and border * 2 >= ts:
                self.err(at, "border %d is half the tile or more" % border)
            part = dict(keys)
            part["image"] = spec.strip()
            part["frames"] = 0
            if img:
                w, h = img
                fw = keys.get("frame_width") or w
                fh = keys.get("frame_height") or h
                part["fw"], part["fh"] = fw, fh
                if fw > w or fh > h:
                    self.err(at, "frame %dx%d is larger than the image %dx%d" % (fw, fh, w, h))
                elif w % fw or h % fh:
                    self.err(at, "image %dx%d is not a whole number of %dx%d frames" % (w, h, fw, fh))
                else:
                    part["frames_ok"] = True
                    part["frames"] = (w // fw) * (h // fh)
            proto["groups"][-1].append(len(proto["parts"]))
            proto["parts"].append(part)
        if remaining:
            self.err(where, "the last group misses %d part lines" % remaining)
        return proto

    def image_of(self, where, folder, spec):
        name = spec.split("|")[0].strip()
        if not name.endswith(IMAGE_EXT):
            self.err(where, "\"%s\" is not a .png, .bmp, .jpg or .tga image" % name)
            return None
        full = os.path.normpath(os.path.join(folder, name.replace("\\", "/")))
        path = os.path.join(self.root, full)
        if not os.path.isfile(path):
            self.err(where, "image %s is missing" % full)
            return None
        with Image.open(path) as im:
            return im.size

    # ------------------------------------------------------------ other files

    def check_map(self, rel):
        where = rel
        with open(os.path.join(self.root, rel), "rb") as f:
            lines = [l.strip() for l in f.read().decode("latin-1").replace("\r\n", "\n").replace("\r", "\n").split("\n")]
        try:
            n = int(lines[0])
            protos = [l.lower() if l.lower().endswith(".spr") else l.lower() + ".spr" for l in lines[1:1 + n]]
            protos = [p.replace("\\", "/") for p in protos]
            m = int(lines[1 + n])
            objects = lines[2 + n:2 + n + m]
        except (ValueError, IndexError):
            self.err(where, "count lines are not whole numbers where expected")
            return []
        for p in protos:
            if not self.exists(p):
                self.err(where, "prototype %s is missing" % p)
        if len(objects) != m:
            self.err(where, "%d object lines announced, %d found" % (m, len(objects)))
        placed = []
        for k, o in enumerate(objects):
            fields = [x.strip() for x in o.split(",")]
            try:
                i, x, y = int(fields[0]), int(fields[1]), int(fields[2])
                if len(fields) > 3 and fields[3]:
                    int(fields[3])
            except (ValueError, IndexError):
                self.err("%s line %d" % (where, n + 3 + k), "object line is not index,x,y[,z]")
                continue
            if not 0 <= i < len(protos):
                self.err("%s line %d" % (where, n + 3 + k), "prototype number %d is out of range" % i)
                continue
            placed.append((protos[i], x, y))
        return placed

    def check_list(self, rel):
        with open(os.path.join(self.root, rel), "rb") as f:
            for n, line in enumerate(f.read().decode("latin-1").replace("\r", "").split("\n"), 1):
                line = line.strip()
                if not line or line.startswith(";"):
                    continue
                line = line.split(";")[0].strip()
                file = line.split(", ")[1].strip() if ", " in line else line
                if not self.exists(file):
                    self.err("%s line %d" % (rel, n), "%s is missing" % file)

    def check_pos(self, rel):
        spr_rel = rel[:-3] + "spr"
        widths = 0
        with open(os.path.join(self.root, rel), "rb") as f:
            lines = f.read().decode("latin-1").replace("\r", "").split("\n")
        first = True
        for n, line in enumerate(lines, 1):
            line = line.split(";")[0].strip()
            if not line:
                continue
            if first:
                try:
                    float(line)
                except ValueError:
                    self.err("%s line %d" % (rel, n), "the letter spacing is not a number")
                first = False
                continue
            if line.startswith("#"):
                if not re.fullmatch(r"#\d+", line) or int(line[1:]) > 255:
                    self.err("%s line %d" % (rel, n), "bad character code")
                continue
            if not re.fullmatch(r"-?\d+", line):
                self.err("%s line %d" % (rel, n), "width is not a whole number")
            widths += 1
        proto = self.sprites.get(spr_rel)
        if proto is None:
            self.err(rel, "no font sheet %s" % spr_rel)
        elif proto["parts"] and proto["parts"][0]["frames"] < widths:
            self.err(rel, "%d widths but the sheet has %d glyph frames" % (widths, proto["parts"][0]["frames"]))

    # ------------------------------------------------------------ the whole tree

    def run(self):
        files = []
        for dirpath, dirnames, filenames in os.walk(self.root):
            dirnames.sort()
            for fn in sorted(filenames):
                files.append(os.path.relpath(os.path.join(dirpath, fn), self.root).replace(os.sep, "/"))
        for rel in files:
            if rel.endswith(".spr"):
                self.sprites[rel.lower()] = self.parse_spr(rel)
        maps = {}
        for rel in files:
            if rel.endswith(".map"):
                maps[rel] = self.check_map(rel)
            elif rel.endswith(".msl") or (rel.endswith(".ini") and not rel.startswith("levels/")):
                self.check_list(rel)
            elif rel.endswith(".pos"):
                self.check_pos(rel)
        return maps


def frames(checker, rel, part=0):
    p = checker.sprites.get(rel.lower())
    if not p or part >= len(p["parts"]):
        return -1
    return p["parts"][part]["frames"]


def require(checker, maps):
    """The names and frame counts the game relies on."""
    c = checker
    need = {
        "graphics/cursors/mouse_cursor.spr": [(0, 3)],
        "graphics/elements_gamezone/loading_element_polosa.spr": [(0, 1)],
        "graphics/logo set/bubble_top.spr": [(0, 1)],
        "graphics/logo set/bubble_bottom.spr": [(0, 1)],
        "graphics/logo set/flash_text.spr": [(0, 2)],
        "graphics/logo set/earth_traectory.spr": [(0, 25)],
        "graphics/logo set/earth_flash.spr": [(0, 11)],
        "graphics/balls/bomb/bomb1.spr": [(1, 1)],
        "graphics/balls/big_bomb/bomb2.spr": [(1, 1)],
        "graphics/balls/multiball/multiball.spr": [(0, 1)],
        "graphics/balls/lands/land1.spr": [(0, 1)],
        "graphics/balls/crystals/crystal1.spr": [(0, 1)],
        "graphics/crystals/crystal1.spr": [(0, 1)],
        "graphics/balls/ball0/ball0.spr": [(1, 1), (2, 10)],
        "graphics/bonuses/target.spr": [(0, 1)],
        "graphics/rocket/rocket.spr": [(0, 1)],
        "graphics/additional/planka1.spr": [(0, 1)],
        "graphics/particles/particle1.spr": [(0, 1)],
        "graphics/particles/particle2.spr": [(0, 1)],
        "graphics/particles/particle3.spr": [(0, 4)],
        "graphics/particles/line_piece.spr": [(0, 1)],
        "graphics/elements_gamezone/poloska.spr": [(0, 2)],
        "graphics/elements_gamezone/poloska_over.spr": [(0, 1)],
        "graphics/elements_gamezone/space_background.spr": [(0, 1)],
        "graphics/elements_gamezone/dark_panel.spr": [(0, 1)],
        "graphics/elements_gamezone/menu_panel.spr": [(0, 1)],
        "graphics/fonts/font_crystal1.spr": [(0, 95)],
        "graphics/fonts/font_taurus1.spr": [(0, 95)],
        "graphics/fonts/font_taurus2.spr": [(0, 95)],
    }
    for n in range(1, 8):
        for rel in ("graphics/balls/ball%d/ball%d.spr" % (n, n), "graphics/balls/ball%d.spr" % n,
                    "graphics/balls/ball0/ball%d.spr" % n):
            need[rel] = [(0, 1), (1, 2), (2, 10), (3, 1)]
    for rel, wants in need.items():
        for part, at_least in wants:
            got = frames(c, rel, part)
            if got < 0:
                c.err(rel, "missing, or it has no part %d" % (part + 1))
            elif got < at_least:
                c.err(rel, "part %d has %d frames, the game needs %d" % (part + 1, got, at_least))
    for rel in ("graphics/balls/ball%d/ball%d.spr" % (n, n) for n in range(1, 8)):
        p = c.sprites.get(rel)
        if p and (len(p["parts"]) != 4 or len(p["groups"]) != 4):
            c.err(rel, "a ball has four layers, each a group of its own")
    for rel in ("graphics/fonts/font_crystal1.pos", "graphics/fonts/font_taurus1.pos", "graphics/fonts/font_taurus2.pos"):
        if not os.path.isfile(os.path.join(c.root, rel)):
            c.err(rel, "missing")
    with open(os.path.join(c.root, "graphics/fonts/font_crystal1.pos"), "rb") as f:
        body = [l.split(";")[0].strip() for l in f.read().decode("latin-1").replace("\r", "").split("\n")]
        body = [l for l in body if l]
        if body[1:2] != ["#48"]:
            c.err("graphics/fonts/font_crystal1.pos", "digits must be glyph frames 0..9 (first code #48)")
    require_names(c, maps, "main.map", {
        "normal_panel": 1, "panel_menu_mini": 1, "net_left": 1, "net_right": 1, "poloska_ballsdown": 1, "canon1": 1,
        "canon2": 1, "tablo_level": 1, "tablo_scores": 1, "tablo_line": 2, "laser": 1, "dragon_blue": 1,
        "dragon_green": 1, "poloska_bonus": 6}, {
        "panel_menu_mini": [(0, 3)], "net_left": [(0, 12)], "net_right": [(0, 12)], "canon1": [(0, 32)],
        "canon2": [(0, 1), (1, 1), (2, 1)], "tablo_level": [(0, 24)], "tablo_scores": [(0, 24)],
        "laser": [(0, 2), (1, 2)], "dragon_blue": [(0, 2), (1, 2), (2, 2), (3, 1)],
        "dragon_green": [(0, 2), (1, 2), (2, 2), (3, 1)]})
    # The game scene's overlays: every button shows frames 0 normal, 1 hovered, 2 pressed.
    button = [(0, 3)]
    for name, wants in OVERLAY_NAMES.items():
        require_names(c, maps, name, {n: 1 for n in wants},
                      {n: button for n in wants if n.startswith("panel_")})
    for name in OVERLAY_TEXTS:
        check_text(c, "text/%s.txt" % name)
    # The menu's screens: buttons by name with the frames the hover pass shows.
    for name, wants in MENU_NAMES.items():
        require_names(c, maps, name, {n: k for n, (k, _) in wants.items()},
                      {n: [(p, f) for p, f in enumerate(frames)] for n, (_, frames) in wants.items() if frames})
    need_frames = {"graphics/musicsoundfullscreen/music_sound_poloska.spr": [(0, 1)]}
    for rel, wants in need_frames.items():
        for part, at_least in wants:
            if frames(c, rel, part) < at_least:
                c.err(rel, "missing, or part %d has fewer than %d frames" % (part + 1, at_least))
    from qsgen import menus
    for name in menus.TEXTS:
        check_text(c, "text/%s.txt" % name, menus.TEXT_VALUES.get(name, 0))
        if name not in menus.TEXT_SPAN:
            c.err("text/%s.txt" % name, "no panel span to measure it against")
        elif os.path.isfile(os.path.join(c.root, "text/%s.txt" % name)):
            check_text_fits(c, "text/%s.txt" % name, menus.TEXT_SPAN[name])
    check_levels(c)


# The objects the game scene looks up by name in its overlay maps.
OVERLAY_NAMES = {
    "game_over.map": ["panel_ok"],
    "exit_to_menu.map": ["panel_yes", "panel_no"],
    "game_stat.map": ["panel_ok", "panel_menu", "stat_poloska"],
    "try_again.map": ["panel_ok", "panel_menu"],
    "try_again_puzzle.map": ["panel_ok", "panel_menu"],
}
# The text files of those overlays, with the number of values the game passes to each.
OVERLAY_TEXTS = {
    "game_over": 0, "game_over_checkpoint": 1, "exit_to_menu": 0, "stat_title": 0, "stat_with_bonus": 2, "stat_with_best_shot": 3,
    "best_combo": 1, "congratulations": 0, "try_again": 0, "try_again_puzzle": 0, "game_title_arcade": 0,
    "game_title_challenge": 0, "game_title_puzzle": 0,
}


BIG = [6, 6]          # a hovered big button's chevrons cycle frames 2..5 on both parts
BUTTON = [3]           # normal, hovered, pressed
SWITCH = [4]           # two states, each normal and hovered
# The menu's maps: object name -> (how many, minimum frames of parts 1, 2, ...).
MENU_NAMES = {
    "menu.map": {"menu_panel": (1, [1])},
    "menu_buttons_mainmenu.map": dict({n: (1, BUTTON) for n in ("button_start", "button_options", "button_scores",
                                                                "button_help", "button_exit")}, movepart=(5, BIG)),
    "menu_buttons_select_game_type.map": dict({n: (1, BUTTON) for n in ("button_arcade", "button_challenge",
                                                                        "button_puzzle", "button_back")},
                                              movepart=(4, BIG)),
    "menu_buttons_music_sound_fullscreen.map": {"button_body_music": (1, [2]), "button_body_sound": (1, [2]),
                                                "button_fullscreen": (1, SWITCH), "button_tips": (1, SWITCH),
                                                "button_back": (1, BUTTON), "movepart": (5, BIG)},
    "menu_help.map": {"button_ok_mini": (1, [2]), "movepart_mini": (1, BIG), "repair_left": (1, BUTTON),
                      "repair_right": (1, BUTTON), "canon2_mini": (1, [1, 1, 1, 3]), "ball2_mini": (3, [1, 1, 1, 1]),
                      "ball3_mini": (4, [1, 1, 1, 1]), "ball4_mini": (2, [1, 1, 1, 1]),
                      "scores_poloska_vert": (1, [1]), "ball1": (1, [1, 2, 9]), "ball2": (1, [1, 2, 9]),
                      "ball3": (1, [1, 2, 9]), "ball4": (1, [1, 2, 9]), "ball5": (1, [1, 2, 9]),
                      "ball6": (1, [1, 2, 9]), "ball7": (2, [1, 2, 9]), "bomb1": (1, [1, 1]), "bomb2": (1, [1]),
                      "multiball": (1, [1])},
    "menu_scores.map": {"repair_left": (1, BUTTON), "repair_right": (1, BUTTON), "button_ok_mini": (1, [2]),
                        "movepart_mini": (1, BIG)},
    "select_player.map": dict({n: (1, BUTTON) for n in ("scroller_up", "scroller_down", "panel_delete",
                                                        "panel_rename", "panel_ok", "panel_cancel")},
                              marker=(1, [1]), scroller_bar=(1, [1])),
    "input_player_name.map": {"panel_ok": (1, BUTTON), "panel_cancel": (1, BUTTON), "rename_cursor": (1, [1])},
    "input_player_name_back.map": {},
    "name_confirm.map": {"panel_yes": (1, BUTTON), "panel_no": (1, BUTTON)},
    "name_message.map": {"panel_ok": (1, BUTTON)},
    "game_message.map": {"checkbox": (1, [2]), "panel_ok": (1, BUTTON)},
    "exit_to_windows.map": {"panel_yes": (1, BUTTON), "panel_no": (1, BUTTON)},
    "continue_last_game.map": {"panel_yes": (1, BUTTON), "panel_no": (1, BUTTON)},
}


def _font_widths(c, font):
    """Glyph widths of a font's .pos file by character code, and its letter spacing."""
    rel = font.replace("\\", "/")[:-4] + ".pos"
    cache = c.__dict__.setdefault("font_widths", {})
    if rel.lower() in cache:
        return cache[rel.lower()]
    widths, spacing, code = {}, 0.0, 0
    first = True
    with open(c.path(rel), "rb") as f:
        for line in f.read().decode("latin-1").replace("\r", "").split("\n"):
            line = line.split(";")[0].strip()
            if not line:
                continue
            if first:
                spacing, first = float(line), False
            elif line.startswith("#"):
                code = int(line[1:])
            else:
                widths[code] = int(line)
                code += 1
    cache[rel.lower()] = (widths, spacing)
    return widths, spacing


def check_text_fits(c, rel, span):
    """Every line stays inside its panel (left..right), measured as the game measures it;
    a placeholder counts as four wide digits."""
    with open(os.path.join(c.root, rel), "rb") as f:
        lines = f.read().decode("latin-1").replace("\r", "").split("\n")
    st = {"font": "", "size": 0.0, "x": 0.0, "align": "center"}
    inside = False
    for n, line in enumerate(lines, 1):
        if inside:
            if line.strip() == "#end":
                inside = False
                continue
            text = re.sub(r"%\d+;", "9999", line)
            if not text or not st["font"]:
                continue
            widths, spacing = _font_widths(c, st["font"])
            w = sum(st["size"] * widths.get(ord(ch), 0) for ch in text) + st["size"] * spacing * (len(text) - 1)
            left = {"left": st["x"], "center": st["x"] - w / 2.0, "right": st["x"] - w}[st["align"]]
            if left < span[0] - 0.5 or left + w > span[1] + 0.5:
                c.err("%s line %d" % (rel, n), "%.0f..%.0f leaves its panel (%d..%d)" % (left, left + w, span[0],
                                                                                          span[1]))
            continue
        setting = line.split(";")[0].strip()
        if setting == "#begin":
            inside = True
        elif "=" in setting and not setting.startswith("="):
            key, value = [p.strip() for p in setting.split("=", 1)]
            if key in ("size", "x"):
                st[key] = float(value)
            elif key == "font":
                st[key] = value
            elif key == "align" and value in ("left", "right", "center"):
                st[key] = value


def require_names(c, maps, map_name, wants, layer_needs):
    """Every object the game finds by name in a map is there, with the frames it uses."""
    placed = maps.get(map_name)
    if placed is None:
        c.err(map_name, "missing")
        return
    counts = {}
    for proto, x, y in placed:
        name = os.path.basename(proto)[:-4]
        counts[name] = counts.get(name, 0) + 1
        counts.setdefault("@" + name, proto)
    for name, n in wants.items():
        if counts.get(name, 0) < n:
            c.err(map_name, "needs %d object(s) named %s, has %d" % (n, name, counts.get(name, 0)))
    for name, parts in layer_needs.items():
        rel = counts.get("@" + name)
        if not rel:
            continue
        for part, at_least in parts:
            got = frames(c, rel, part)
            if got < at_least:
                c.err(rel, "part %d has %d frames, the game needs %d" % (part + 1, got, at_least))


def check_text(c, rel, values=None):
    """A screen text: it exists, names existing fonts before its sections, uses only
    characters the fonts draw and only the values the game passes."""
    path = os.path.join(c.root, rel)
    if not os.path.isfile(path):
        c.err(rel, "missing")
        return
    if values is None:
        values = OVERLAY_TEXTS.get(os.path.basename(rel)[:-4], 0)
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").replace("\r", "").split("\n")
    font, inside, shown = None, False, 0
    for n, line in enumerate(lines, 1):
        at = "%s line %d" % (rel, n)
        if inside:
            if line.strip() == "#end":
                inside = False
                continue
            if font is None:
                c.err(at, "a text line before any font= setting is never shown")
            if any(not 32 <= ord(ch) < 127 for ch in line):
                c.err(at, "the fonts hold printable ASCII only")
            for number in re.findall(r"%([^;]*);", line):
                if not number.isdigit() or not 1 <= int(number) <= values:
                    c.err(at, "placeholder %%%s; but the game passes %d value(s)" % (number, values))
            if "%" in re.sub(r"%[^;]*;", "", line) and values:
                c.err(at, "a %% without its closing ; swallows the rest of the line")
            shown += bool(line.strip())
            continue
        setting = line.split(";")[0].strip()
        if setting == "#begin":
            inside = True
        elif setting.startswith("font="):
            font = setting[5:].strip()
            if not c.exists(font) or not font.lower().endswith(".spr"):
                c.err(at, "font %s is missing" % font)
    if inside:
        c.err(rel, "a section without #end")
    if not shown:
        c.err(rel, "shows nothing")


PUZZLE_CELLS = set("1234567LC ")


def _data_lines(path):
    """Level file lines as the readers see them: comments cut, empty lines skipped."""
    with open(path, "rb") as f:
        raw = f.read().decode("latin-1").replace("\r", "").split("\n")
    out = []
    for n, line in enumerate(raw, 1):
        line = line[:255]
        if line.startswith(";"):
            continue
        if ";" in line:
            line = line[:line.index(";")]
        if line:
            out.append((n, line))
    return out


def check_levels(c):
    """Level 1 of every mode exists, the levels of a mode are numbered without gaps, and
    every file has the shape its reader needs (puzzles: at most 12 rows of at most 14
    cells, colours 1..7, land, crystals, and at least one crystal to collect)."""
    folder = os.path.join(c.root, "levels")
    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    for mode in ("arcade", "challenge", "puzzle"):
        numbers = sorted(int(m.group(1)) for m in (re.fullmatch(mode + r"-(\d+)\.ini", n) for n in names) if m)
        if not numbers or numbers[0] != 1:
            c.err("levels/%s-01.ini" % mode, "missing")
        elif numbers != list(range(1, len(numbers) + 1)):
            c.err("levels", "%s levels are not numbered 1..%d without gaps: %s" % (mode, len(numbers), numbers))
        for k in numbers:
            rel = "levels/%s-%s.ini" % (mode, ("%02d" % k) if k < 10 else str(k))
            if not os.path.isfile(os.path.join(c.root, rel)):
                c.err(rel, "level numbers below 10 have two digits")
                continue
            lines = _data_lines(os.path.join(c.root, rel))
            (check_puzzle if mode == "puzzle" else check_timed_level)(c, rel, lines)


def _number(c, rel, n, text, what, real=False, low=None, high=None):
    try:
        v = float(text) if real else int(text.strip())
    except ValueError:
        c.err("%s line %d" % (rel, n), "%s \"%s\" is not a number" % (what, text.strip()))
        return None
    if (low is not None and v < low) or (high is not None and v > high):
        c.err("%s line %d" % (rel, n), "%s %s is outside %s..%s" % (what, text.strip(), low, high))
    return v


def _bonus_tail(c, rel, lines):
    """The bonus list, the new bonus and the lines that present it."""
    if len(lines) < 2:
        c.err(rel, "the bonus list and the new bonus are missing")
        return
    _number(c, rel, lines[1][0], lines[1][1], "the new bonus", low=0, high=10)
    # The statistics panel has room for four lines above its buttons (see tools/levels).
    if len(lines) > 6:
        c.err("%s line %d" % (rel, lines[6][0]), "more than four lines of new-bonus text")
    for n, text in lines[2:]:
        if any(not 32 <= ord(ch) < 127 for ch in text):
            c.err("%s line %d" % (rel, n), "the fonts hold printable ASCII only")


def check_timed_level(c, rel, lines):
    if len(lines) < 5:
        c.err(rel, "needs five values before its text (interval, divisor or factor, colours, bonuses, new bonus)")
        return
    _number(c, rel, lines[0][0], lines[0][1], "the interval", low=1)
    _number(c, rel, lines[1][0], lines[1][1], "the divisor or factor", real=True, low=0.001)
    _number(c, rel, lines[2][0], lines[2][1], "the colour count", low=1, high=7)
    _bonus_tail(c, rel, lines[3:])


def check_puzzle(c, rel, lines):
    hashes = [i for i, (n, text) in enumerate(lines) if text.strip() == "#"]
    if len(lines) < 2 or not hashes:
        c.err(rel, "needs the push interval, the first row's shift, the rows and a # line")
        return
    _number(c, rel, lines[0][0], lines[0][1], "the push interval", low=1)
    _number(c, rel, lines[1][0], lines[1][1].split(",")[0], "the first row's shift", low=0, high=1)
    rows = lines[2:hashes[0]]
    if len(rows) > 12:
        c.err(rel, "%d ball rows: at most 12 fit above the bottom" % len(rows))
    crystals = colours = 0
    for n, text in rows:
        if len(text) > 14 or set(text) - PUZZLE_CELLS:
            c.err("%s line %d" % (rel, n), "a row holds at most 14 cells of 1..7, L, C or blank")
        crystals += text.count("C")
        colours += sum(ch.isdigit() for ch in text)
    if not crystals:
        c.err(rel, "no crystal: the level would be complete at once")
    if not colours:
        c.err(rel, "no colour ball")
    _bonus_tail(c, rel, lines[hashes[0] + 1:])


def check_icons(c):
    """The application icon at every size the install puts into the hicolor theme, and the window's."""
    from . import icon
    wanted = [("%s/quibblestar-%d.png" % (icon.FOLDER, n), n) for n in icon.SIZES]
    wanted.append(("%s/quibblestar.bmp" % icon.FOLDER, icon.WINDOW_ICON_SIZE))
    for rel, side in wanted:
        path = os.path.join(c.root, rel)
        if not os.path.isfile(path):
            c.err(rel, "missing: the install and the window need it")
            continue
        with Image.open(path) as im:
            if im.size != (side, side):
                c.err(rel, "is %d x %d, not %d x %d" % (im.size + (side, side)))
    if not os.path.isfile(os.path.join(c.root, icon.FOLDER, "quibblestar.svg")):
        c.err(icon.FOLDER + "/quibblestar.svg", "missing: the install needs the scalable icon")


def run(root, max_bytes=40 * 1024 * 1024):
    c = Checker(root)
    maps = c.run()
    require(c, maps)
    check_icons(c)
    total = 0
    for dirpath, _, filenames in os.walk(root):
        for fn in filenames:
            total += os.path.getsize(os.path.join(dirpath, fn))
    if total >= max_bytes:
        c.err(root, "content is %.1f MB, the limit is %.0f MB" % (total / 1048576.0, max_bytes / 1048576.0))
    if c.errors:
        raise Problems("\n".join(c.errors))
    return len(c.sprites), total
