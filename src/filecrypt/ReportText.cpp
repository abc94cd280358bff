#include "filecrypt/ReportText.h"

#include "filecrypt/PrintableName.h"

namespace kiv {

ReportText ReportText::Value(std::string_view bytes) {
    return ReportText(Message::Value, {PrintableName(bytes)});
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
