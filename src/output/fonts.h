#pragma once

namespace kirune {
// Maps the font names the program asks for ("ＭＳ 明朝", "ＭＳ ゴシック") to the IPA fonts once at
// start-up; fontconfig alone would pick a Latin font.
void InstallFontSubstitutions();
} // namespace kirune
