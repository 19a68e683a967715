// Test helper: the manifest of a folder of hostile and edge-case inputs
// (cases.txt, described in data/hostile/README.md): one line per input with
// the outcome it must give.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace qmx::testing {

struct HostileCase {
    std::string input;    // a file of the folder, or "@recipe:arg:..."
    std::string outcome;  // "loads", "refused", or what the replaying test defines
    std::string text;     // the rest of the line, "\n" turned into a line break
    int line = 0;         // in the manifest, for the failure messages
};

inline std::vector<HostileCase> ReadHostileCases(const std::string& manifest)
{
    std::vector<HostileCase> cases;
    std::ifstream in(manifest);
    EXPECT_TRUE(in) << "cannot read " << manifest;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        HostileCase entry;
        entry.line = number;
        std::size_t at = first;
        for (std::string* field : {&entry.input, &entry.outcome}) {
            const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
            *field = line.substr(at, end - at);
            at = std::min(line.find_first_not_of(" \t", end), line.size());
        }
        for (std::size_t i = at; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 'n') {
                entry.text += '\n';
                ++i;
            } else {
                entry.text += line[i];
            }
        }
        while (!entry.text.empty() && (entry.text.back() == ' ' || entry.text.back() == '\t')) entry.text.pop_back();
        cases.push_back(std::move(entry));
    }
    EXPECT_FALSE(cases.empty()) << manifest;
    return cases;
}

// Splits "@name:a:b" into {"name", "a", "b"}.
inline std::vector<std::string> RecipeParts(const std::string& input)
{
    std::vector<std::string> parts;
    std::size_t at = 1;
    while (at <= input.size()) {
        const std::size_t end = std::min(input.find(':', at), input.size());
        parts.push_back(input.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

}  // namespace qmx::testing
