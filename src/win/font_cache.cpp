#include "win/font_cache.h"

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "win/handles.h"
#include "win/high_contrast.h"
#include "win/text.h"

namespace quaff::win {

namespace {

std::string g_missingFace;

std::map<std::pair<std::string, bool>, std::string>& ResolvedFaces() {
    static std::map<std::pair<std::string, bool>, std::string> resolved;
    return resolved;
}

// Whether the face is installed, and as a scalable (not bitmap) font when `scalable`.
bool FaceInstalled(const std::string& face, bool scalable) {
    if (!g_missingFace.empty() && lstrcmpiA(face.c_str(), g_missingFace.c_str()) == 0) return false;
    ScreenDC dc;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, WideText(face).c_str(), LF_FACESIZE);
    struct Want {
        bool scalable;
        bool found;
    } want{scalable, false};
    EnumFontFamiliesExW(
        dc.get(), &query,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM lp) -> int {
            auto* w = reinterpret_cast<Want*>(lp);
            if (w->scalable && (type & RASTER_FONTTYPE)) return 1;  // keep looking
            w->found = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&want), 0);
    return want.found;
}

}  // namespace

void TreatFaceAsMissing(std::string face) {
    g_missingFace = std::move(face);
    ResolvedFaces().clear();
}

std::string ResolveFontFace(const std::string& designedFace, bool styled) {
    auto& resolved = ResolvedFaces();
    const auto key = std::make_pair(designedFace, styled);
    auto it = resolved.find(key);
    if (it != resolved.end()) return it->second;
    std::string face;
    for (const char* candidate : {designedFace.c_str(), "Microsoft Sans Serif", "Tahoma"}) {
        if (FaceInstalled(candidate, styled)) {
            face = candidate;
            break;
        }
    }
    if (face.empty()) {
        LOGFONTW lf{};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        face = NarrowText(lf.lfFaceName);
    }
    resolved.emplace(key, face);
    return face;
}

namespace {

// Characters of `text` the font selected into `dc` draws as a box: control characters are
// not drawn at all.
size_t MissingGlyphs(HDC dc, std::wstring_view text) {
    std::wstring shown;
    for (wchar_t c : text)
        if (c >= L' ') shown += c;
    if (shown.empty()) return 0;
    std::wstring glyphs(shown.size(), L'\0');
    if (GetGlyphIndicesW(dc, shown.c_str(), static_cast<int>(shown.size()),
                         reinterpret_cast<WORD*>(glyphs.data()),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return 0;  // no answer: draw as designed
    return static_cast<size_t>(std::count(glyphs.begin(), glyphs.end(), L'\xFFFF'));
}

}  // namespace

HFONT FontWithGlyphsFor(HDC dc, std::wstring_view text) {
    const auto font = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; })) return font;
    size_t fewest = MissingGlyphs(dc, text);
    if (fewest == 0) return font;

    LOGFONTW design{};
    if (!GetObjectW(font, sizeof design, &design)) return font;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // Each face in the design's size and style, made once for each font it stands in for.
    static std::map<std::pair<HFONT, std::wstring>, UniqueFont> fallbacks;
    HFONT best = font;
    for (const wchar_t* face : {L"Microsoft Sans Serif", L"Segoe UI", L"Tahoma", L"Arial",
                                static_cast<const wchar_t*>(metrics.lfMessageFont.lfFaceName)}) {
        auto [it, made] = fallbacks.try_emplace({font, face});
        if (made) {
            LOGFONTW lf = design;
            lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
            it->second.reset(CreateFontIndirectW(&lf));
        }
        if (!it->second) continue;
        const SelectedObject trial(dc, it->second.get());
        const size_t missing = MissingGlyphs(dc, text);
        if (missing < fewest) {
            fewest = missing;
            best = it->second.get();
        }
        if (missing == 0) break;
    }
    return best;
}

HFONT SharedFont(const FontSpec& font, int dpi) {
    // Keyed by what the font is made of: the face in use and the height at the DPI in use.
    using Key = std::tuple<std::string, int, bool, bool, bool>;
    static std::map<Key, UniqueFont> fonts;
    const std::string face = ResolveFontFace(font.face, font.bold || font.italic);
    const int height = -MulDiv(font.size, dpi, 72);
    Key key{face, height, font.bold, font.italic, font.underline};
    auto it = fonts.find(key);
    if (it != fonts.end()) return it->second.get();
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, WideText(face).c_str(), LF_FACESIZE);
    HFONT h = CreateFontIndirectW(&lf);
    if (!h) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return fonts.emplace(key, UniqueFont(h)).first->second.get();
}

COLORREF TextColor(const FontSpec& font) {
    if (HighContrast()) return GetSysColor(COLOR_BTNTEXT);
    return font.color == kDefaultColor ? GetSysColor(COLOR_WINDOWTEXT) : font.color;
}

}  // namespace quaff::win
