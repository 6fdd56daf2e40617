#pragma once
// Names of colours, character sets and cursors, as window definitions write them
// (`Color = clBtnFace`, `Font.Charset = GB2312_CHARSET`, `Cursor = crHandPoint`), and the
// platform's conversions between colours and text.
#include <cstdint>
#include <string>

#include "platform/classes/TypeInfo.h"
#include "platform/gdi/Colors.h"

// Cursors: the platform's predefined ones are negative, those a program adds positive.
using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;

// The name tables for published properties (`.Idents(ColorIdents())`). A value with two names
// (clSilver and clLtGray) writes as the first.
const classes::TIdentMap& ColorIdents();
const classes::TIdentMap& CharsetIdents();
const classes::TIdentMap& CursorIdents();

// The name of a colour ("clRed"); false when it has none.
bool ColorToIdent(TColor Color, std::string& Ident);
// The colour of a name (case-insensitive); false when the name is unknown.
bool IdentToColor(const std::string& Ident, TColor& Color);
// A colour's name, else its value as "$00RRGGBB"-style hexadecimal ("$0080FF40").
std::string ColorToString(TColor Color);
// A colour name or a number ("$FF", "255", "-16777201"); raises EConvertError otherwise.
TColor StringToColor(const std::string& Text);

bool CharsetToIdent(int Charset, std::string& Ident);
bool IdentToCharset(const std::string& Ident, int& Charset);
bool CursorToIdent(int Cursor, std::string& Ident);
bool IdentToCursor(const std::string& Ident, int& Cursor);
