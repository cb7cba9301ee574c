#include "ide/indent.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace tw {

namespace {

std::string FirstWord(const std::string& line) {
    const size_t start = std::min(line.find_first_not_of(' '), line.size());
    const size_t end = std::min(line.find(' ', start), line.size());
    std::string word = line.substr(start, end - start);
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return word;
}

}  // namespace

void AutoIndent(std::vector<std::string>& lines) {
    int depth = 0;
    for (std::string& line : lines) {
        const std::string word = FirstWord(line);
        int tabs = depth;
        if (word == "FOR" || word == "DO" || word == "WHILE" || word == "REPEAT") {
            tabs = depth++;
        } else if (word == "NEXT" || word == "LOOP" || word == "WEND" || word == "UNTIL") {
            tabs = --depth;
        }
        if (tabs > 0) line.insert(0, static_cast<size_t>(tabs), '\t');
    }
}

void RemoveIndent(std::vector<std::string>& lines) {
    for (std::string& line : lines) {
        line.erase(0, std::min(line.find_first_not_of('\t'), line.size()));
    }
}

}  // namespace tw
