// CFont and LOGFONT. The program names Windows faces; the window layer maps
// each to a metric-compatible face that is installed (see FontMap.cpp).
#pragma once

#include "GdiObject.h"
#include "platform/core/String.h"

constexpr int LF_FACESIZE = 32;
constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_MEDIUM = 500;
constexpr int FW_SEMIBOLD = 600;
constexpr int FW_BOLD = 700;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE CLEARTYPE_QUALITY = 5;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE FF_DONTCARE = 0;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;

struct LOGFONT {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};
using LPLOGFONT = LOGFONT*;

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONT* font);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, LPCSTR faceName);
    // Point size in tenths of a point, at the screen's 96 pixels per inch.
    BOOL CreatePointFont(int pointSizeTenths, LPCSTR faceName, CDC* dc = nullptr);
    int GetLogFont(LOGFONT* font) const;
    const LOGFONT& GetLogFontRef() const { return m_logFont; }

private:
    LOGFONT m_logFont{};
};

// The installed face that stands for a face the program names ("Arial" -> "Liberation Sans").
CString AfxMapFontFace(const char* faceName);
