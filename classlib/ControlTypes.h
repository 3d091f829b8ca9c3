// The class library's enumerated types, sets and colours that forms and
// their components use, with the class library's names (alClient,
// bsToolWindow, fsBold, clBtnFace, crHandPoint ...).
//
// They live in an inline namespace so that the names are global, as in the
// class library, while Qt's meta-object system knows them: the form reader
// finds a property's value names through it.
#pragma once

#include <QMetaType>
#include <QObject>

#include "AnsiString.h"
#include "Set.h"
#include "StringList.h"

inline namespace ClassLibTypes {
Q_NAMESPACE

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
Q_ENUM_NS(TAlign)

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

enum TTextLayout { tlTop, tlCenter, tlBottom };
Q_ENUM_NS(TTextLayout)

// The border of a form; panels and edits take bsNone or bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
Q_ENUM_NS(TFormBorderStyle)
typedef TFormBorderStyle TBorderStyle;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
Q_ENUM_NS(TBorderIcon)

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
Q_ENUM_NS(TPosition)

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TBevelCut)

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
Q_ENUM_NS(TBevelShape)

enum TBevelStyle { bsLowered, bsRaised };
Q_ENUM_NS(TBevelStyle)

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
Q_ENUM_NS(TScrollStyle)

enum TMouseButton { mbLeft, mbRight, mbMiddle };
Q_ENUM_NS(TMouseButton)

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
Q_ENUM_NS(TShiftStateItem)

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
Q_ENUM_NS(TFontStyle)

enum TFontPitch { fpDefault, fpVariable, fpFixed };
Q_ENUM_NS(TFontPitch)

enum TFontCharset : int {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    MAC_CHARSET = 77,
    SHIFTJIS_CHARSET = 128,
    HANGEUL_CHARSET = 129,
    JOHAB_CHARSET = 130,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    GREEK_CHARSET = 161,
    TURKISH_CHARSET = 162,
    VIETNAMESE_CHARSET = 163,
    HEBREW_CHARSET = 177,
    ARABIC_CHARSET = 178,
    BALTIC_CHARSET = 186,
    RUSSIAN_CHARSET = 204,
    THAI_CHARSET = 222,
    EASTEUROPE_CHARSET = 238,
    OEM_CHARSET = 255
};
Q_ENUM_NS(TFontCharset)

enum TCloseAction { caNone, caHide, caFree, caMinimize };
Q_ENUM_NS(TCloseAction)

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
Q_ENUM_NS(TBitBtnKind)

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
Q_ENUM_NS(TButtonLayout)

// A colour: 0x00BBGGRR, or a system colour (0x80000000 + the system's
// colour index), or clNone / clDefault. Any such value may be cast to it:
// (TColor)0x874A07.
enum TColor : int {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clLtGray = 0xC0C0C0,
    clDkGray = 0x808080,
    clWhite = 0xFFFFFF,
    clMoneyGreen = 0xC0DCC0,
    clSkyBlue = 0xF0CAA6,
    clCream = 0xF0FBFF,
    clMedGray = 0xA4A0A0,
    clNone = 0x1FFFFFFF,
    clDefault = 0x20000000,
    clScrollBar = int(0x80000000u | 0),
    clBackground = int(0x80000000u | 1),
    clActiveCaption = int(0x80000000u | 2),
    clInactiveCaption = int(0x80000000u | 3),
    clMenu = int(0x80000000u | 4),
    clWindow = int(0x80000000u | 5),
    clWindowFrame = int(0x80000000u | 6),
    clMenuText = int(0x80000000u | 7),
    clWindowText = int(0x80000000u | 8),
    clCaptionText = int(0x80000000u | 9),
    clActiveBorder = int(0x80000000u | 10),
    clInactiveBorder = int(0x80000000u | 11),
    clAppWorkSpace = int(0x80000000u | 12),
    clHighlight = int(0x80000000u | 13),
    clHighlightText = int(0x80000000u | 14),
    clBtnFace = int(0x80000000u | 15),
    clBtnShadow = int(0x80000000u | 16),
    clGrayText = int(0x80000000u | 17),
    clBtnText = int(0x80000000u | 18),
    clInactiveCaptionText = int(0x80000000u | 19),
    clBtnHighlight = int(0x80000000u | 20),
    cl3DDkShadow = int(0x80000000u | 21),
    cl3DLight = int(0x80000000u | 22),
    clInfoText = int(0x80000000u | 23),
    clInfoBk = int(0x80000000u | 24),
    clHotLight = int(0x80000000u | 26),
    clGradientActiveCaption = int(0x80000000u | 27),
    clGradientInactiveCaption = int(0x80000000u | 28),
    clMenuHighlight = int(0x80000000u | 29),
    clMenuBar = int(0x80000000u | 30)
};
Q_ENUM_NS(TColor)

// A mouse pointer shape. The class library's shapes are negative numbers;
// 0 takes the parent's.
enum TCursor : int {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22
};
Q_ENUM_NS(TCursor)

} // namespace ClassLibTypes

typedef TSet<TFontStyle> TFontStyles;
typedef TSet<TShiftStateItem> TShiftState;
typedef TSet<TBorderIcon> TBorderIcons;

Q_DECLARE_METATYPE(AnsiString)
Q_DECLARE_METATYPE(TFontStyles)
Q_DECLARE_METATYPE(TShiftState)
Q_DECLARE_METATYPE(TBorderIcons)
Q_DECLARE_METATYPE(TStrings *)
