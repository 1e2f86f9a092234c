#pragma once

// The geometry of the keycap label sheets: the templates shipped as pictures and the filled
// sheets printed as PDF share it, so a label of either fits the same keycap window.
namespace keyloom::keycaps {

inline constexpr int kDotsPerInch = 300;
inline constexpr int kColumns = 8;
inline constexpr int kRows = 6; // 48 keys, numbered row by row
inline constexpr int kGap = kDotsPerInch / 8; // room to cut between frames and for the crop marks
// Just room for the outer crop marks: printers add their own margins, and the large sheet has to
// fit the width of A4 as well as Letter.
inline constexpr int kMargin = kGap;
// The label windows of the large (0.75 in) and the small (0.5 in) keycaps.
inline constexpr int kLargeFrame = kDotsPerInch * 3 / 4;
inline constexpr int kSmallFrame = kDotsPerInch / 2;
inline constexpr int kFrameLine = 2;
// Crop marks: short lines in the gaps that continue the frame edges, kCropOffset away from them.
inline constexpr int kCropOffset = 4;
inline constexpr int kCropLength = kGap / 2 - kCropOffset - 2;
inline constexpr int kCropWidth = 2;

constexpr int SheetWidth(int frame) { return 2 * kMargin + kColumns * frame + (kColumns - 1) * kGap; }
constexpr int SheetHeight(int frame) { return 2 * kMargin + kRows * frame + (kRows - 1) * kGap; }
// The top left corner of the frame of key index (0..47).
constexpr int FrameLeft(int keyIndex, int frame) { return kMargin + keyIndex % kColumns * (frame + kGap); }
constexpr int FrameTop(int keyIndex, int frame) { return kMargin + keyIndex / kColumns * (frame + kGap); }

} // namespace keyloom::keycaps
