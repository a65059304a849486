#include "Font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cstring>

#include "DCImpl.h"
#include "WndImpl.h"

namespace {
struct FaceMapping {
    const char* named;
    const char* installed;
};
// Liberation faces have the metrics of the faces they stand for, so layouts
// measure as designed on any machine that ran tools/setup.
const FaceMapping kFaces[] = {
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"MS Shell Dlg", "Liberation Sans"},
    {"MS Shell Dlg 2", "Liberation Sans"},
    {"Tahoma", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Segoe UI", "Liberation Sans"},
    {"ariel", "Liberation Sans"},
    {"Marlett", "Liberation Sans"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"Lucida Console", "Liberation Mono"},
    {"Consolas", "Liberation Mono"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
};

bool IsMarlett(const LOGFONT& font) { return strcasecmp(font.lfFaceName, "Marlett") == 0; }
}  // namespace

CString AfxMapFontFace(const char* faceName)
{
    if (!faceName || !*faceName)
        return "Liberation Sans";
    for (const auto& face : kFaces)
        if (strcasecmp(face.named, faceName) == 0)
            return face.installed;
    return faceName;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* font)
{
    if (!font)
        return FALSE;
    m_logFont = *font;
    m_logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    MarkCreated();
    return TRUE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, LPCSTR faceName)
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (faceName)
        std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreatePointFont(int pointSizeTenths, LPCSTR faceName, CDC* dc)
{
    const int dpi = dc ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
    return CreateFont(-MulDiv(pointSizeTenths, dpi, 720), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                      faceName);
}

int CFont::GetLogFont(LOGFONT* font) const
{
    if (!font || !m_hObject)
        return 0;
    *font = m_logFont;
    return static_cast<int>(sizeof(LOGFONT));
}

namespace kvui {

QFont ToQFont(const LOGFONT& lf, int /*dpi*/)
{
    QFont font(ToQ(AfxMapFontFace(lf.lfFaceName)));
    font.setStyleStrategy(QFont::PreferMatch);
    int pixels = 13;
    if (lf.lfHeight < 0) {
        pixels = -lf.lfHeight;  // the character height (em)
    } else if (lf.lfHeight > 0) {
        // The cell height: scale by the face's em to line-height ratio.
        QFont probe(font);
        probe.setPixelSize(100);
        const double cell = QFontMetricsF(probe).height();
        pixels = cell > 0 ? std::max(1, static_cast<int>(lf.lfHeight * 100.0 / cell + 0.5)) : lf.lfHeight;
    }
    font.setPixelSize(std::max(1, pixels));
    if (lf.lfWeight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(static_cast<int>(lf.lfWeight), 100, 900)));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

CString TranslateSymbolText(const LOGFONT& lf, const CString& text)
{
    if (!IsMarlett(lf))
        return text;
    // Marlett's letters are pictures: draw the pictures they stand for.
    QString out;
    for (char ch : text.str()) {
        switch (ch) {
        case '3': out += QChar(0x25C4); break;  // left arrow
        case '4': out += QChar(0x25BA); break;  // right arrow
        case '5': out += QChar(0x25B2); break;  // up arrow
        case '6': out += QChar(0x25BC); break;  // drop-down arrow
        case 'a': out += QChar(0x221A); break;  // check mark
        case 'r': out += QChar(0x00D7); break;  // close cross
        case 'h': out += QChar(0x2248); break;
        case 'n': out += QChar(0x25CF); break;  // bullet
        default: out += QChar::fromLatin1(ch); break;
        }
    }
    return CString(out.toUtf8().constData());
}

QFont FontFor(const CWndImpl* impl)
{
    if (impl && impl->font && impl->font->GetSafeHandle())
        return ToQFont(impl->font->GetLogFontRef());
    LOGFONT lf{};
    lf.lfHeight = -11;  // 8 points at 96 pixels per inch, the dialogs' usual size
    lf.lfWeight = FW_NORMAL;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    return ToQFont(lf);
}

CSize DialogBaseUnits(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const double average = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
    return CSize(static_cast<int>(average + 0.5), static_cast<int>(metrics.height() + 0.5));
}

}  // namespace kvui
