"""Writing multisprite prototype files (.spr) and keeping a record of them.

A prototype is written from groups of parts.  Each part names an image that
was written with `image()` (a path under the content root, "/" separated) and
its frame size; the writer turns the name into the path relative to the .spr
folder, the form the sprite loader resolves.
"""
import os

from . import core

IMAGES = {}   # rel path -> (width, height)
SPRITES = {}  # rel .spr path -> {"common": {...}, "groups": [[part, ...], ...]}

TILE_SIZES = (8, 16, 32, 64, 128, 256)


def image(rel, img, fmt="png", quantize=False):
    if fmt == "jpg":
        size = core.write_jpg(rel, img)
    else:
        size = core.write_png(rel, img, quantize=quantize)
    IMAGES[rel] = size
    return rel


def _fmt(v):
    if isinstance(v, bool):
        return "1" if v else "0"
    if isinstance(v, float):
        s = ("%.3f" % v).rstrip("0").rstrip(".")
        return s if s not in ("", "-0") else "0"
    return str(v)


def _relative(spr_rel, img_rel):
    folder = os.path.dirname(spr_rel)
    rel = os.path.relpath(img_rel, folder) if folder else img_rel
    return rel.replace("/", "\\")


def part(img_rel, fw=0, fh=0, ts=64, **keys):
    """One part: image, frame size (0 = whole image), tile size and any other part keys."""
    d = {"img": img_rel, "frame_width": fw, "frame_height": fh, "texture_size": ts}
    d.update(keys)
    return d


def frames_of(p):
    w, h = IMAGES[p["img"]]
    fw = p["frame_width"] or w
    fh = p["frame_height"] or h
    return (w // fw) * (h // fh)


def write(spr_rel, groups, **common):
    """Writes the .spr; groups is a list of lists of parts (one list per group)."""
    lines = []
    order = ["z", "x", "y", "width", "height", "scale", "rot_center_x", "rot_center_y", "alpha", "color",
             "map_koeff", "flip_x", "flip_y", "angle", "trigger"]
    keys = [k for k in order if k in common] + sorted(k for k in common if k not in order)
    if not keys:
        common = {"z": 0}
        keys = ["z"]
    lines.append(", ".join("%s=%s" % (k, _fmt(common[k])) for k in keys))
    for g in groups:
        lines.append(str(len(g)))
        for p in g:
            fields = [_relative(spr_rel, p["img"])]
            for k in ("frame_width", "frame_height", "texture_size"):
                if p.get(k):
                    fields.append("%s=%s" % (k, _fmt(p[k])))
            for k in sorted(p):
                if k in ("img", "frame_width", "frame_height", "texture_size"):
                    continue
                fields.append("%s=%s" % (k, _fmt(p[k])))
            lines.append(", ".join(fields))
    core.write_text(spr_rel, lines)
    SPRITES[spr_rel] = {"common": dict(common), "groups": groups}
    return spr_rel


def alias(spr_rel, like_rel):
    """A second .spr file with the same prototype name (the game asks for some
    prototypes under two folders; the library keys them by bare name)."""
    src = SPRITES[like_rel]
    return write(spr_rel, src["groups"], **src["common"])


def game_name(rel):
    return rel.replace("/", "\\")


def anim_speed(fps):
    """Frames per second to the file's anim_speed (the engine moves 16 units
    per step at about 60 steps a second, and divides the key by 1000)."""
    return max(1, int(round(fps * 1000.0 / (16 * 59.9))))
