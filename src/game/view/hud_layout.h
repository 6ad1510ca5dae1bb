#pragma once

namespace qs::hud {

// Where the game's panel puts what the view draws and the player clicks, in the 800 x 600
// picture. The art (game_zone.map and the overlays' maps) is drawn to these places.

// The gauge's left end and the line score pieces fly to; they aim at its end as shown.
inline constexpr double kGaugeLeft = 217;
inline constexpr double kGaugeTop = 58;

// The small menu button's hit zone on the panel.
inline constexpr int kMenuButtonLeft = 717;
inline constexpr int kMenuButtonRight = 796;
inline constexpr int kMenuButtonTop = 0;
inline constexpr int kMenuButtonBottom = 17;

inline bool overMenuButton(int x, int y) {
    return x >= kMenuButtonLeft && x <= kMenuButtonRight && y >= kMenuButtonTop && y <= kMenuButtonBottom;
}

// The statistics panel: OK alone in the middle after the last level; the line under the
// figures when a bonus is shown; the bonus's lines, centred a little right of the middle,
// with room for the ball that shows the bonus at their left.
inline constexpr double kStatisticsCentre = 400;
inline constexpr double kStatisticsLoneOkX = 352;
inline constexpr double kStatisticsBonusLineY = 301;
inline constexpr double kBonusTextTop = 314;
inline constexpr double kBonusTextLeading = 19;
inline constexpr double kBonusTextScale = 0.9;
inline constexpr double kBonusBallRoom = 44;
inline constexpr int kStatisticsTextZ = 1010;

// The game's music changes: the old piece fades out over this long, the new one in.
inline constexpr int kMusicFadeOutMs = 500;
inline constexpr int kMusicFadeInMs = 250;

}  // namespace qs::hud
