#pragma once
// The language reference: an entry for every command, command form and function the
// interpreter accepts, with its syntax, what it does, the run-time errors it may end a run
// with (named from the error table, so that their codes and texts cannot go stale), how to
// mend the common ones, and a short example, which the test suite runs. `tarnwick help` and
// the environment's help window show it. The entries are in reference/*.inc, one file a
// family, all of them one table.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/errors.h"

namespace tw {

enum class ReferenceFamily : uint8_t {
    Conditions,  // IF, GOTO, GOSUB, labels
    Loops,       // FOR, DO, REPEAT, WHILE
    Procedures,  // PROCEDURE, CALL, LOCAL
    Assignment,  // LET and its kin
    RunControl,  // STOP, QUIT, OUTPUTDEBUG, SET
    Maths,       // maths functions and commands
    Strings,     // text functions
    DateTime,    // date and time functions
    Screens,     // the display and its screens
    Graphics,    // drawing
    Text,        // text output and fonts
    Sprites,     // sprites and paths
    Input,       // the keyboard and WAIT
    Ignored,     // words the language keeps that do nothing, and comments
};
inline constexpr int kReferenceFamilyCount = 14;

struct ReferenceEntry {
    // The keyword as the tokenizer knows it, then the words of its form: "FOR", "SCREEN
    // OPEN", "LEFT".
    std::string_view word;
    bool function = false;  // called in an expression, rather than a command
    ReferenceFamily family = ReferenceFamily::Ignored;
    std::string_view syntax;
    std::string_view text;        // what it does, in sentences
    std::vector<ErrorId> errors;  // the run-time errors it may end a run with
    std::string_view mend;        // how to mend the common ones (may be empty)
    // A whole program, and the error it ends with (none: it runs to its end without a box).
    std::string_view example;
    std::optional<ErrorId> exampleError;
};

// Every entry, family by family.
const std::vector<ReferenceEntry>& Reference();
std::string_view FamilyName(ReferenceFamily family);

// The reference's first page: the language's traps, and how to read an entry.
extern const std::string_view kReferenceIntroduction;

// The entries of a word (any case): those whose keyword is the word, or whose whole form is.
std::vector<const ReferenceEntry*> FindReference(std::string_view word);
// An entry as text (the terminal's and the help window's): its form, syntax, what it does, its
// errors with their codes and texts, how to mend them, and its example.
std::string ReferenceText(const ReferenceEntry& entry);
// Every keyword of the reference, family by family.
std::string ReferenceIndex();

}  // namespace tw
