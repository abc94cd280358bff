#include "filecrypt/ReportText.h"

#include "filecrypt/PrintableName.h"

namespace kiv {

namespace {
// Not marked for translation: there is nothing to translate around a lone value.
constexpr char kValueOnly[] = "%1";
}  // namespace

ReportText ReportText::Value(std::string_view bytes) {
    return ReportText(kValueOnly, {PrintableName(bytes)});
}

std::string ReportText::Filled() const {
    return FillTemplate(templ, args);
}

std::string FillTemplate(std::string_view templ, const std::vector<std::string>& values) {
    std::string filled;
    filled.reserve(templ.size());
    for (std::size_t i = 0; i < templ.size(); ++i) {
        if (templ[i] == '%' && i + 1 < templ.size() && templ[i + 1] >= '1' && templ[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(templ[i + 1] - '1');
            if (index < values.size()) {
                filled += values[index];
                ++i;
                continue;
            }
        }
        filled += templ[i];
    }
    return filled;
}

}  // namespace kiv
