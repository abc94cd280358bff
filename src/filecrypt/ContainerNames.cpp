#include "filecrypt/ContainerNames.h"

#include <locale.h>
#include <wctype.h>

#include "filecrypt/ReportText.h"

namespace kiv {

std::string SingleFileOutputName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > nameStart) return path.substr(0, dot) + ".vrq";
    return path + ".vrq";
}

std::string StoredNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

EntryProblem StoredNameProblem(const std::string& name) {
    if (name.empty()) return EntryProblem::NoName;
    if (name.find('\0') != std::string::npos) return EntryProblem::NulInName;
    if (name.find('/') != std::string::npos) return EntryProblem::FolderInName;
    if (name == "." || name == "..") return EntryProblem::NamedAfterFolder;
    return EntryProblem::None;
}

namespace {

// The code point of the UTF-8 sequence at name[at], with its length; length 0 when no valid
// sequence starts there.
char32_t DecodeAt(const std::string& name, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(name[at + i]); };
    const unsigned char lead = byte(0);
    length = lead < 0x80                   ? 1
             : lead >= 0xC2 && lead < 0xE0 ? 2
             : lead >= 0xE0 && lead < 0xF0 ? 3
             : lead >= 0xF0 && lead < 0xF5 ? 4
                                           : 0;
    if (length == 0 || at + length > name.size()) return length = 0;
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return length = 0;
        point = (point << 6) | (byte(i) & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kLeast[length] || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000))
        return length = 0;
    return point;
}

void Encode(char32_t point, std::string& out) {
    if (point < 0x80) {
        out.push_back(static_cast<char>(point));
        return;
    }
    const int length = point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
    static constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out.push_back(static_cast<char>(kLead[length] | (point >> (6 * (length - 1)))));
    for (int i = length - 2; i >= 0; --i)
        out.push_back(static_cast<char>(0x80 | ((point >> (6 * i)) & 0x3F)));
}

// Lower case of a code point by the Unicode tables of the C.UTF-8 locale, whatever locale the
// program runs in; ASCII alone where that locale is missing.
char32_t Lower(char32_t point) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (point < 0x80) return point >= 'A' && point <= 'Z' ? point + ('a' - 'A') : point;
    if (utf8 == static_cast<locale_t>(0)) return point;
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(point), utf8));
}

}  // namespace

std::string FoldedName(const std::string& name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        std::size_t length = 0;
        const char32_t point = DecodeAt(name, at, length);
        if (length == 0) {
            folded.push_back(name[at++]);
            continue;
        }
        Encode(Lower(point), folded);
        at += length;
    }
    return folded;
}

std::string CaseTurned(const std::string& name) {
    std::string turned = name;
    for (char& c : turned) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return turned;
}

std::string RestoredCopyName(const std::string& name, int number, std::string_view markTemplate) {
    // The longest name a Linux filesystem takes, in bytes.
    constexpr std::size_t kLongestName = 255;
    // A mark longer than this would leave too little of the name.
    constexpr std::size_t kLongestMark = 64;
    if (markTemplate.size() > kLongestMark || markTemplate.find("%1") == std::string_view::npos ||
        markTemplate.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos)
        markTemplate = WindowText(Message::RestoredCopyMark);
    const std::string mark = FillTemplate(markTemplate, {std::to_string(number)});
    std::size_t dot = name.rfind('.');
    // An extension that would leave no room for the name before it is kept as part of that name.
    if (dot == std::string::npos || dot == 0 || name.size() - dot + mark.size() >= kLongestName)
        dot = name.size();
    std::string stem = name.substr(0, dot);
    const std::string extension = name.substr(dot);
    const std::size_t room = kLongestName - mark.size() - extension.size();
    if (stem.size() > room) {
        // Cut before a UTF-8 continuation byte would split a character.
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80)
            --cut;
        stem.resize(cut);
    }
    return stem + mark + extension;
}

}  // namespace kiv
