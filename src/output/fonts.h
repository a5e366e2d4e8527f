#pragma once

class QFont;

namespace kirune {
// Maps the font names the program asks for ("ＭＳ 明朝", "ＭＳ ゴシック") to the IPA fonts once at
// start-up; fontconfig alone would pick a Latin font.
void InstallFontSubstitutions();

// The windows' font, "ＭＳ Ｐゴシック" at `points`, made with the family it is drawn in: the
// family itself where it is installed, else the first installed family it stands for. Asking
// the font system for a family that is not installed costs every font made from it a search
// of several milliseconds.
QFont WindowFont(double points);
} // namespace kirune
