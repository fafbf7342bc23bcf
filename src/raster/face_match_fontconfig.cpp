#include <fontconfig/fontconfig.h>

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

class FontconfigMatcher final : public FaceMatcher {
  public:
    FontconfigMatcher() noexcept : config_(FcInitLoadConfigAndFonts()) {}

    std::optional<FaceMatch> match(const std::string& family, bool bold,
                                   bool italic) const noexcept override {
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
        FcChar8* path = nullptr;
        if (!found || FcPatternGetString(found.get(), FC_FILE, 0, &path) != FcResultMatch)
            return std::nullopt;
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
