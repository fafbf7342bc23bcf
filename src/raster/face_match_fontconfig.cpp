#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>

#include "raster/face_match.h"

namespace hoopcast::raster {
namespace {

struct ConfigDeleter {
    void operator()(FcConfig* config) const noexcept { FcConfigDestroy(config); }
};
struct PatternDeleter {
    void operator()(FcPattern* p) const noexcept { FcPatternDestroy(p); }
};
using ConfigHandle = std::unique_ptr<FcConfig, ConfigDeleter>;
using PatternHandle = std::unique_ptr<FcPattern, PatternDeleter>;

bool iequals(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

class FontconfigMatcher final : public FaceMatcher {
  public:
    FontconfigMatcher() noexcept : config_(FcInitLoadConfigAndFonts()) {}

    // Accepts what fontconfig offers only when it is the family asked for or a face
    // configured to stand in for it, not a general default.
    std::optional<FaceMatch> match(const std::string& family, bool bold, bool italic,
                                   bool accept_any) const noexcept override {
        if (!config_) return std::nullopt;
        PatternHandle pattern(FcPatternCreate());
        if (!pattern) return std::nullopt;
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
        if (!FcConfigSubstitute(config_.get(), pattern.get(), FcMatchPattern)) return std::nullopt;
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        PatternHandle found(FcFontMatch(config_.get(), pattern.get(), &result));
        if (!found) return std::nullopt;
        FcChar8* matched_family = nullptr;
        if (FcPatternGetString(found.get(), FC_FAMILY, 0, &matched_family) != FcResultMatch)
            return std::nullopt;
        // The families fontconfig substituted for the request, in order; generic names end
        // the list of real stand-ins.
        bool accepted = accept_any;
        FcChar8* candidate = nullptr;
        for (int i = 0;
             !accepted && FcPatternGetString(pattern.get(), FC_FAMILY, i, &candidate) == FcResultMatch; ++i) {
            const std::string_view name(reinterpret_cast<const char*>(candidate));
            if (iequals(name, "sans-serif") || iequals(name, "serif") || iequals(name, "monospace")) break;
            if (iequals(name, reinterpret_cast<const char*>(matched_family))) accepted = true;
        }
        if (!accepted) return std::nullopt;
        FcChar8* path = nullptr;
        if (FcPatternGetString(found.get(), FC_FILE, 0, &path) != FcResultMatch) return std::nullopt;
        FaceMatch m;
        m.file = reinterpret_cast<const char*>(path);
        FcPatternGetInteger(found.get(), FC_INDEX, 0, &m.index);
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(found.get(), FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(found.get(), FC_SLANT, 0, &slant);
        m.bold = weight >= FC_WEIGHT_DEMIBOLD;
        m.italic = slant != FC_SLANT_ROMAN;
        return m;
    }

  private:
    ConfigHandle config_;
};

}  // namespace

std::unique_ptr<FaceMatcher> system_face_matcher() {
    return std::make_unique<FontconfigMatcher>();
}

}  // namespace hoopcast::raster
