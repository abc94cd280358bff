#pragma once

// The stored known answers of tests/data: containers (containers/, from the files of plain/) and
// text cipher texts (text-ciphers.tsv), each with its password or key and its plain text. They
// were made once, with kKnownAnswerClock, by RegenerateKnownAnswers, which is built only on
// demand ("cmake --build build --target regenerate_known_answers") and never by the tests. They
// guard the frozen formats: a change that alters them is a change of format.
// check_known_answers.py recomputes every one of them from the cipher's steps, without the
// program. Keys with bytes above 127 are chosen where reading a byte as unsigned, or dividing a
// digit equal to its divisor one step late, gives other moduli.

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/FixedClock.h"

namespace kiv::testing {

inline const FixedClock kKnownAnswerClock(1765000000, LocalTime{2026, 12, 7, 9, 30, 15, 250});

inline std::string KnownAnswerPath(const std::string& name) {
    return std::string(KIV_TEST_DATA) + "/" + name;
}

// "\xNN" stands for the byte NN, so keys and texts of any bytes fit a line of a table.
inline std::string Unescape(const std::string& field) {
    std::string bytes;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field.compare(i, 2, "\\x") == 0 && i + 4 <= field.size()) {
            bytes.push_back(static_cast<char>(std::stoi(field.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else {
            bytes.push_back(field[i]);
        }
    }
    return bytes;
}

// The rows of a table, fields as written (split at tabs); empty lines and "#" lines left out.
inline std::vector<std::vector<std::string>> ReadTable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

struct KnownContainer {
    std::string file;  // in containers/
    std::string password;
    std::vector<std::string> entries;  // files of plain/, in stored order
};

inline std::vector<KnownContainer> KnownContainers() {
    std::vector<KnownContainer> known;
    for (const auto& row : ReadTable(KnownAnswerPath("containers.tsv"))) {
        KnownContainer container{row.at(0), Unescape(row.at(1)), {}};
        std::istringstream names(row.at(2));
        for (std::string name; names >> name;)
            container.entries.push_back(name);
        known.push_back(container);
    }
    return known;
}

struct KnownText {
    std::string key, plain, cipher;
};

inline std::vector<KnownText> KnownTexts() {
    std::vector<KnownText> known;
    for (const auto& row : ReadTable(KnownAnswerPath("text-ciphers.tsv")))
        known.push_back({Unescape(row.at(0)), Unescape(row.at(1)), row.at(2)});
    return known;
}

}  // namespace kiv::testing
