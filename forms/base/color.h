// SPDX-License-Identifier: GPL-3.0-or-later
// Colours as the classic runtime numbers them: &H00BBGGRR, or, with the top bit set, a
// colour of the desktop's scheme named by its low byte. The scheme here is fixed, so a
// lesson looks the same on every desktop.
#pragma once

#include <QColor>
#include <cstdint>

namespace forms {

using Color = std::uint32_t;

inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kWhite = 0x00FFFFFF;
inline constexpr Color kRed = 0x000000FF;
inline constexpr Color kBlue = 0x00FF0000;

namespace SystemColor {
inline constexpr Color MenuBar = 0x80000004;
inline constexpr Color Window = 0x80000005;
inline constexpr Color WindowFrame = 0x80000006;
inline constexpr Color WindowText = 0x80000008;
inline constexpr Color ButtonFace = 0x8000000F;
}  // namespace SystemColor

QColor toQColor(Color color);

}  // namespace forms
