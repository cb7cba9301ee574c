#include "commands/reference.h"

#include <array>

#include "frontend/keywords.h"

namespace tw {

const std::string_view kReferenceIntroduction =
    "Tarnwick's language, and the traps a newcomer meets\n"
    "\n"
    "A program is a list of lines, each a command and its arguments; a label is a word with a\n"
    "colon (L500:), and REM starts a comment line. Four rules are not those of other BASICs:\n"
    "\n"
    "1. +, -, the comparisons (=, <>, <, >, <=, >=), AND and OR share one level and are taken\n"
    "   left to right; only *, / and \\ bind tighter. So\n"
    "       IF X > 780 OR X < 20 THEN\n"
    "   is taken as ((X > 780) OR X) < 20 and fails with RTE (65): OR wants true or false on\n"
    "   both sides, and X is a number. Put every comparison in brackets:\n"
    "       IF (X > 780) OR (X < 20) THEN\n"
    "   and keep a sum on the left of a comparison (PX + 32 > IX rather than IX < PX + 32),\n"
    "   or bracket it too. A product binds tighter by being bracketed up to the next + or -,\n"
    "   comparisons included: 7 - 2 * 1 = 5 is 7 - (2 * 1 = 5), which is 8. Bracket it:\n"
    "   (7 - 2 * 1) = 5.\n"
    "2. True is 0 and False is -1 (the variables TRUE and FALSE hold them). A condition holds\n"
    "   when it is 0: IF A THEN runs its THEN part when A is 0.\n"
    "3. Values re-enter expressions as text: a real is kept as its text of 15 significant\n"
    "   digits, so after LET B = 0.1 / 3 (0.0333333333333333) B * 3 is 0.0999999999999999,\n"
    "   not 0.1; and a variable that holds the text \"12\" is the number 12 in a sum.\n"
    "4. An assignment needs its LET: A = 1 on a line of its own is a comparison that does\n"
    "   nothing. A FOR loop's body always runs once, whatever its bounds.\n"
    "\n"
    "Each entry gives the word's syntax (square brackets: may be left out), what it does, the\n"
    "run-time errors it may end a run with (Error <n> or RTE (n), with the box's text), how to\n"
    "mend them, and an example to paste into the editor.\n";

std::string_view FamilyName(ReferenceFamily family) {
    static constexpr std::array<std::string_view, kReferenceFamilyCount> kNames = {
        "Conditions and jumps",
        "Loops",
        "Procedures",
        "Assignment",
        "Running and settings",
        "Maths",
        "Text functions",
        "Dates and times",
        "The display and screens",
        "Graphics",
        "Text output and fonts",
        "Sprites and paths",
        "The keyboard",
        "Kept words that do nothing"};
    return kNames[static_cast<size_t>(family)];
}

const std::vector<ReferenceEntry>& Reference() {
    using enum ReferenceFamily;
    static const std::vector<ReferenceEntry> kEntries = {
#include "commands/reference/assignment.inc"
#include "commands/reference/conditions.inc"
#include "commands/reference/datetime.inc"
#include "commands/reference/graphics.inc"
#include "commands/reference/ignored.inc"
#include "commands/reference/input.inc"
#include "commands/reference/loops.inc"
#include "commands/reference/maths.inc"
#include "commands/reference/procedures.inc"
#include "commands/reference/run_control.inc"
#include "commands/reference/screens.inc"
#include "commands/reference/sprites.inc"
#include "commands/reference/strings.inc"
#include "commands/reference/text.inc"
    };
    return kEntries;
}

namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// A paragraph cut into lines of at most kWidth characters at spaces (a word longer than a line
// stands alone).
constexpr size_t kWidth = 90;
void AppendWrapped(std::string& out, std::string_view paragraph) {
    size_t column = 0;
    while (!paragraph.empty()) {
        const size_t space = paragraph.find(' ');
        const std::string_view word = paragraph.substr(0, space);
        if (column > 0 && column + 1 + word.size() > kWidth) {
            out += '\n';
            column = 0;
        } else if (column > 0) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        if (space == std::string_view::npos) break;
        paragraph.remove_prefix(space + 1);
    }
    out += '\n';
}

std::string_view FirstWord(std::string_view form) {
    return form.substr(0, form.find(' '));
}

}  // namespace

std::vector<const ReferenceEntry*> FindReference(std::string_view word) {
    const std::string upper = Upper(word);
    std::vector<const ReferenceEntry*> found;
    for (const ReferenceEntry& entry : Reference()) {
        if (entry.word == upper || FirstWord(entry.word) == upper) found.push_back(&entry);
    }
    return found;
}

std::string ReferenceText(const ReferenceEntry& entry) {
    std::string out;
    out += entry.word;
    out += entry.function ? "  (function, " : "  (command, ";
    out += FamilyName(entry.family);
    out += ")\n\n    ";
    for (char c : entry.syntax) {
        out += c;
        if (c == '\n') out += "    ";
    }
    out += "\n\n";
    AppendWrapped(out, entry.text);
    if (!entry.errors.empty()) {
        out += "\nRun-time errors:\n";
        for (ErrorId id : entry.errors) {
            out += "  ";
            out += Entry(id).text;
            out += "\n";
        }
    }
    if (!entry.mend.empty()) {
        out += "\n";
        AppendWrapped(out, entry.mend);
    }
    if (!entry.example.empty()) {
        out += "\nExample:\n";
        std::string_view example = entry.example;
        while (!example.empty()) {
            const size_t end = example.find('\n');
            out += "    ";
            out += example.substr(0, end);
            out += "\n";
            if (end == std::string_view::npos) break;
            example.remove_prefix(end + 1);
        }
        if (entry.exampleError) {
            out += "(It ends with ";
            out += Entry(*entry.exampleError).text;
            out += ")\n";
        }
    }
    return out;
}

std::string ReferenceIndex() {
    std::string out;
    for (int f = 0; f < kReferenceFamilyCount; ++f) {
        const auto family = static_cast<ReferenceFamily>(f);
        out += FamilyName(family);
        out += ":\n";
        size_t width = 1;
        bool first = true;
        out += ' ';
        for (const ReferenceEntry& entry : Reference()) {
            if (entry.family != family) continue;
            if (!first) {
                out += ',';
                ++width;
            }
            first = false;
            if (width + entry.word.size() + 1 > 92) {
                out += "\n ";
                width = 1;
            }
            out += ' ';
            out += entry.word;
            width += entry.word.size() + 1;
        }
        out += '\n';
    }
    return out;
}

}  // namespace tw
