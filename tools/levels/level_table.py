"""The arcade and challenge levels of Quibblestar: one row per level, and the text that
presents each bonus or ball.

`tools/levels/generate` writes data/levels/arcade-NN.ini and challenge-NN.ini from this file;
`tools/levels/tune` plays them with the bot; `tools/levels/report` documents them.

Columns of a row:
  level     the level number
  time      arcade: ms between two one-pixel descents while the field hangs low
            challenge: ms between two drain steps of the gauge
  factor    arcade: score divisor (the gauge is the level's plain score divided by it)
            challenge: gauge factor (what a scoring shot adds to the gauge, per base point)
  colours   how many ball colours the field and the cannon draw from (3..7)
  bonuses   the bonuses and special balls that can come ("-" for none), comma-separated
  new       the item the statistics screen presents after the level: the one that joins the
            mix in the next level (0 for none); its text is ITEM_TEXT below
  note      the level file's comment line

The item numbers: 1 multiball, 2 target, 3 x2, 4 x4, 5 freeze, 6 small bomb, 7 wide net,
8 up, 9 paint rocket, 10 colour bomb.
"""

ARCADE = """
level  time  factor  colours  bonuses               new  note
  1    1500   0.40      4     -                      2   A gentle start: four colours, a slow field, no bonuses.
  2    1400   0.45      4     2                      5   The target marker joins in.
  3    1300   0.50      4     2,5                    6   The freeze joins in.
  4    1250   0.55      5     2,5,6                  1   A fifth colour and the small bomb.
  5    1200   0.60      5     1,2,5,6                8   The multiball comes to the cannon.
  6    1150   0.65      5     1,2,5,6,8              10  The up bonus lifts the field.
  7    1100   0.70      5     1,2,5,6,8,10           3   Colour bombs in the cannon.
  8    1050   0.75      5     1,2,3,5,6,8,10         7   The x2 bonus for bomb blasts.
  9    1000   0.80      5     1,2,3,5,6,7,8,10       4   The wide net.
 10     950   0.85      5     1,2,3,4,5,6,7,8,10     9   The x4 bonus.
 11     950   0.80      6     1,2,3,4,5,6,7,8,9,10   0   A sixth colour and paint rockets: every bonus is in play now.
 12     940   0.82      6     1,2,3,4,5,6,7,8,9,10   0   The field sinks a little faster.
 13     910   0.88      6     1,2,3,4,5,6,7,8,9,10   0   More points to fill the gauge.
 14     890   0.92      6     1,2,3,4,6,7,8,9,10     0   No more freezes.
 15     870   0.96      6     1,2,3,4,6,7,8,9,10     0   Halfway.
 16     850   1.00      6     1,2,3,4,6,7,9,10       0   The up bonus is gone.
 17     830   1.04      6     1,2,3,4,6,7,9,10       0   A faster field.
 18     810   1.08      6     1,3,4,6,7,9,10         0   No target marker.
 19     790   1.12      6     1,3,4,6,7,9,10         0   More points to fill the gauge.
 20     770   1.16      6     1,3,4,6,7,9,10         0   A faster field.
 21     750   1.20      6     1,3,4,6,7,9,10         0   The last level with six colours.
 22     760   0.80      7     1,2,3,4,5,6,7,8,9,10   0   All seven colours, fewer points to score, and every bonus back to help.
 23     740   0.84      7     1,2,3,4,5,6,7,8,9,10   0   Seven colours.
 24     720   0.88      7     1,2,3,4,6,7,8,9,10     0   No more freezes.
 25     710   0.90      7     1,2,3,4,6,7,8,9,10     0   A checkpoint level.
 26     680   0.96      7     1,3,4,6,7,8,9,10       0   No target marker.
 27     620   1.15      7     1,3,4,6,7,8,9,10       0   Faster still.
 28     590   1.25      7     1,3,4,6,7,9,10         0   The up bonus is gone.
 29     560   1.35      7     1,3,4,6,7,9,10         0   Nearly there.
 30     530   1.45      7     1,3,4,6,7,9,10         0   The last arcade level.
"""

CHALLENGE = """
level  time  factor  colours  bonuses               new  note
  1    1500   2.67      4     -                      2   Four colours and a slow drain: keep the gauge up while you learn.
  2    1460   2.28      4     2                      7   The target marker joins in.
  3    1420   2.01      4     2,7                    6   The wide net joins in.
  4    1380   1.81      5     2,6,7                  1   A fifth colour and the small bomb.
  5    1340   1.66      5     1,2,6,7                10  The multiball comes to the cannon.
  6    1300   1.54      5     1,2,6,7,10             3   Colour bombs in the cannon.
  7    1260   1.44      5     1,2,3,6,7,10           4   The x2 bonus for bomb blasts.
  8    1220   1.37      5     1,2,3,4,6,7,10         9   The x4 bonus.
  9    1180   1.30      5     1,2,3,4,6,7,9,10       0   Paint rockets: every bonus of this game is in play.
 10    1140   1.25      6     1,2,3,4,6,7,9,10       0   A sixth colour.
 11    1100   1.21      6     1,2,3,4,6,7,9,10       0   A faster drain.
 12    1060   1.18      6     1,2,3,4,6,7,9,10       0   Less gauge per match.
 13    1020   1.17      6     1,2,3,4,6,7,9,10       0   The drain speeds up.
 14     980   1.19      6     1,2,3,4,6,7,9,10       0   A faster drain.
 15     940   1.21      6     1,2,3,4,6,7,9,10       0   Halfway.
 16     900   1.23      6     1,2,3,4,6,9,10         0   No wide net; the drain speeds up, each match gives a little more.
 17     860   1.26      6     1,2,3,4,6,9,10         0   A faster drain.
 18     820   1.30      6     1,2,3,4,6,9,10         0   A faster drain.
 19     780   1.34      6     1,2,3,4,6,9,10         0   The last level with six colours.
 20     740   1.38      7     1,2,3,4,6,7,9,10       0   All seven colours, and the wide net back to help.
 21     720   1.36      7     1,2,3,4,6,7,9,10       0   Seven colours.
 22     710   1.34      7     1,2,3,4,6,7,9,10       0   The drain speeds up.
 23     700   1.31      7     1,2,3,4,6,9,10         0   No wide net.
 24     680   1.31      7     1,2,3,4,6,9,10         0   A faster drain.
 25     660   1.31      7     1,2,3,4,6,9,10         0   A checkpoint level.
 26     650   1.29      7     1,3,4,6,9,10           0   No target marker.
 27     640   1.27      7     1,3,4,6,9,10           0   Faster still.
 28     620   1.28      7     1,3,4,6,9,10           0   A faster drain.
 29     600   1.28      7     1,3,4,6,9,10           0   Nearly there.
 30     590   1.26      7     1,3,4,6,9,10           0   The last challenge level.
"""

# What the statistics screen says about an item, line by line (at most 4 lines of at most 36
# characters, so that it fits the panel above its buttons). Every sentence must hold in the game's rules.
ITEM_TEXT = {
    1: ["Multiball! It comes in your cannon",
        "and matches every colour: each group",
        "of two or more that it touches",
        "bursts along with it."],
    2: ["Target! Burst a ball with this sign",
        "and for fifteen seconds a marker",
        "shows where your shot will stop."],
    3: ["Double! Burst a ball with this sign,",
        "then set off a bomb before your next",
        "match: the blast scores double."],
    4: ["Quadruple! Burst a ball with this",
        "sign, then set off a bomb before",
        "your next match: the blast scores",
        "four times the points."],
    5: ["Freeze! Burst a ball with this sign",
        "and the field stops sliding down",
        "for ten seconds."],
    6: ["Small bomb! When a ball with this",
        "sign bursts, it takes all the balls",
        "around it along."],
    7: ["Wide net! Burst a ball with this",
        "sign and the side walls open for",
        "twenty seconds. Balls stuck outside",
        "are cut off when they close."],
    8: ["Up! Burst a ball with this sign",
        "and the whole field climbs",
        "one row higher."],
    9: ["Paint rocket! Burst a ball with this",
        "sign to load a rocket. Right-click",
        "fires it: it paints the balls on its",
        "way in the colour of your ball."],
    10: ["Colour bomb! It comes in your",
         "cannon and goes off where it lands,",
         "with the balls around it, and it",
         "reaches past those of its colour."],
}

ITEM_NAME = {
    0: "-", 1: "multiball", 2: "target", 3: "x2", 4: "x4", 5: "freeze", 6: "small bomb",
    7: "wide net", 8: "up", 9: "paint rocket", 10: "colour bomb",
}

MODES = {"arcade": ARCADE, "challenge": CHALLENGE}


class Level:
    def __init__(self, mode, number, time, factor, colours, bonuses, new, note):
        self.mode = mode
        self.number = number
        self.time = time
        self.factor = factor
        self.colours = colours
        self.bonuses = bonuses
        self.new = new
        self.note = note

    @property
    def text(self):
        return ITEM_TEXT.get(self.new, [])


def parse(mode):
    """The rows of a mode's table, checked: numbered 1..N in order, values the game accepts."""
    levels = []
    lines = [line for line in MODES[mode].strip("\n").splitlines() if line.strip()]
    for line in lines[1:]:
        fields = line.split(None, 6)
        if len(fields) != 7:
            raise ValueError(f"{mode}: a row needs 7 columns: {line!r}")
        number, time, factor, colours, bonuses, new, note = fields
        bonus_list = [] if bonuses == "-" else [int(b) for b in bonuses.split(",")]
        level = Level(mode, int(number), int(time), float(factor), int(colours), bonus_list,
                      int(new), note.strip())
        problems = []
        if level.number != len(levels) + 1:
            problems.append(f"level {level.number} is out of order")
        if level.time <= 0:
            problems.append("the time must be above 0")
        if level.factor <= 0:
            problems.append("the factor must be above 0")
        if not 3 <= level.colours <= 7:
            problems.append("the colours must be 3 to 7")
        if any(not 1 <= b <= 10 for b in bonus_list):
            problems.append("bonuses are 1 to 10")
        if level.new and level.new not in ITEM_TEXT:
            problems.append(f"no text for item {level.new}")
        if problems:
            raise ValueError(f"{mode} level {level.number}: " + "; ".join(problems))
        levels.append(level)
    return levels
