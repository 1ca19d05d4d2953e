#pragma once

// The spreadsheet's own constants, as the commands use them.
namespace tombra::sheet::xl {

inline constexpr int DiagonalDown = 5;  // top left to bottom right, in every cell of a range
inline constexpr int EdgeLeft = 7;
inline constexpr int EdgeTop = 8;
inline constexpr int EdgeBottom = 9;
inline constexpr int EdgeRight = 10;

inline constexpr int Continuous = 1;
inline constexpr int Dash = -4115;
inline constexpr int Dot = -4118;
inline constexpr int Double = -4119;
inline constexpr int DashDot = 4;
inline constexpr int DashDotDot = 5;
inline constexpr int SlantDashDot = 13;
inline constexpr int LineStyleNone = -4142;

inline constexpr int Hairline = 1;
inline constexpr int Thin = 2;
inline constexpr int Medium = -4138;
inline constexpr int Thick = 4;

inline constexpr int HAlignGeneral = 1;
inline constexpr int HAlignCenter = -4108;
inline constexpr int HAlignLeft = -4131;
inline constexpr int HAlignRight = -4152;
inline constexpr int HAlignDistributed = -4117;
inline constexpr int HAlignJustify = -4130;
inline constexpr int VAlignCenter = -4108;
inline constexpr int VAlignTop = -4160;
inline constexpr int VAlignBottom = -4107;
inline constexpr int VAlignDistributed = -4117;

inline constexpr int WindowMinimized = -4140;
inline constexpr int WindowNormal = -4143;
inline constexpr int WindowMaximized = -4137;
inline constexpr int PageBreakManual = -4135;

}  // namespace tombra::sheet::xl
