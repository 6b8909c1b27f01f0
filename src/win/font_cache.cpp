#include "win/font_cache.h"

#include <map>
#include <tuple>

#include "win/handles.h"

namespace quaff::win {

namespace {

int SystemDpi() {
    static const int dpi = [] {
        ScreenDC dc;
        int value = dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

// Whether the face is installed, and as a scalable (not bitmap) font when `scalable`.
bool FaceInstalled(const std::string& face, bool scalable) {
    ScreenDC dc;
    LOGFONTA query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(query.lfFaceName, face.c_str(), LF_FACESIZE);
    struct Want {
        bool scalable;
        bool found;
    } want{scalable, false};
    EnumFontFamiliesExA(
        dc.get(), &query,
        [](const LOGFONTA*, const TEXTMETRICA*, DWORD type, LPARAM lp) -> int {
            auto* w = reinterpret_cast<Want*>(lp);
            if (w->scalable && (type & RASTER_FONTTYPE)) return 1;  // keep looking
            w->found = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&want), 0);
    return want.found;
}

}  // namespace

int ScaleDpi(int designUnits) {
    return MulDiv(designUnits, SystemDpi(), 96);
}

int UnscaleDpi(int pixels) {
    return MulDiv(pixels, 96, SystemDpi());
}

std::string ResolveFontFace(const std::string& designedFace, bool styled) {
    static std::map<std::pair<std::string, bool>, std::string> resolved;
    const auto key = std::make_pair(designedFace, styled);
    auto it = resolved.find(key);
    if (it != resolved.end()) return it->second;
    std::string face = designedFace;
    if (!FaceInstalled(face, styled)) {
        face = "Tahoma";
        if (!FaceInstalled(face, styled)) {
            LOGFONTA lf{};
            GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
            face = lf.lfFaceName;
        }
    }
    resolved.emplace(key, face);
    return face;
}

HFONT SharedFont(const FontSpec& font) {
    using Key = std::tuple<std::string, int, bool, bool, bool>;
    static std::map<Key, UniqueFont> fonts;
    Key key{font.face, font.size, font.bold, font.italic, font.underline};
    auto it = fonts.find(key);
    if (it != fonts.end()) return it->second.get();
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(font.size, SystemDpi(), 72);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, ResolveFontFace(font.face, font.bold || font.italic).c_str(),
              LF_FACESIZE);
    HFONT h = CreateFontIndirectA(&lf);
    if (!h) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return fonts.emplace(key, UniqueFont(h)).first->second.get();
}

COLORREF TextColor(const FontSpec& font) {
    return font.color == kDefaultColor ? GetSysColor(COLOR_WINDOWTEXT) : font.color;
}

}  // namespace quaff::win
