#pragma once

// Numbers that stand in result files or decide what is written. Written out so that nobody
// renumbers them by accident.

namespace Urf {

// Format versions: decide the header, the coordinate form and which records are written.
inline constexpr int UrfFormatVersion = 5;
inline constexpr int RstFormatVersion = 4;

// Unit codes of a result file; any other value means mm.
inline constexpr int UnitInch = 1;
inline constexpr int UnitMil = 2;
inline constexpr int UnitMicron = 3;

// Symbol kinds.
inline constexpr int SymbolRect = 0;
inline constexpr int SymbolArrow = 1;
inline constexpr int SymbolTArrow = 2;

// Standard indents of the records this program makes.
inline constexpr int GroupIndent = 0;
inline constexpr int CaseIndent = 2;
inline constexpr int FieldIndent = 4;
inline constexpr int ResultIndent = 4;
inline constexpr int SubRecordIndent = 6;

// RST stores coordinates as integers in units of 1/100000.
inline constexpr double RstCoordinateScale = 100000.0;

} // namespace Urf

// Review verdict of a result; the letters stand in the file.
enum class ResultType : int {
    E = 0,
    M = 1,
    A = 2,
    F = 3,
    Q = 4,
    N = 5,
};

enum class LayerKind : int {
    System = 0,
    Cond = 1,
    NCond = 2,
};
