#include <algorithm>
#include <cctype>

#include "raster/face_match.h"

namespace hoopcast::raster {
namespace {

constexpr std::array<std::string_view, 4> kSans = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                                   "LiberationSans-Italic.ttf",
                                                   "LiberationSans-BoldItalic.ttf"};
constexpr std::array<std::string_view, 4> kSerif = {"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf",
                                                    "LiberationSerif-Italic.ttf",
                                                    "LiberationSerif-BoldItalic.ttf"};
constexpr std::array<std::string_view, 4> kMono = {"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf",
                                                   "LiberationMono-Italic.ttf",
                                                   "LiberationMono-BoldItalic.ttf"};

// The Liberation families' own names and fontconfig's metric aliases for them; a desktop test
// holds each row to what fontconfig answers.
constexpr FontChoice kChoices[] = {
    {"Liberation Sans", kSans},  {"Arial", kSans},           {"Arimo", kSans},
    {"Albany", kSans},           {"Albany AMT", kSans},      {"Liberation Serif", kSerif},
    {"Times New Roman", kSerif}, {"Tinos", kSerif},          {"Thorndale", kSerif},
    {"Thorndale AMT", kSerif},   {"Liberation Mono", kMono}, {"Courier New", kMono},
    {"Cousine", kMono},          {"Cumberland", kMono},      {"Cumberland AMT", kMono},
};

bool iequals(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

class TableMatcher final : public FaceMatcher {
  public:
    explicit TableMatcher(std::string folder) : folder_(std::move(folder)) {}

    std::optional<FaceMatch> match(const std::string& family, bool bold,
                                   bool italic) const noexcept override {
        const FontChoice* choice = font_choice(family);
        if (choice == nullptr) return std::nullopt;
        return FaceMatch{folder_ + "/" + std::string(choice->file(bold, italic)), 0, bold, italic};
    }

  private:
    std::string folder_;
};

}  // namespace

std::span<const FontChoice> font_choices() noexcept {
    return kChoices;
}

const FontChoice* font_choice(std::string_view family) noexcept {
    const auto row = std::find_if(std::begin(kChoices), std::end(kChoices),
                                  [&](const FontChoice& c) { return iequals(c.family, family); });
    return row == std::end(kChoices) ? nullptr : &*row;
}

std::unique_ptr<FaceMatcher> table_face_matcher(std::string folder) {
    return std::make_unique<TableMatcher>(std::move(folder));
}

#ifdef HOOPCAST_FONT_FOLDER
std::unique_ptr<FaceMatcher> system_face_matcher() {
    return table_face_matcher(HOOPCAST_FONT_FOLDER);
}
#endif

}  // namespace hoopcast::raster
