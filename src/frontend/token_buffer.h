#pragma once
// The program as the interpreter sees it: a table of token rows, one row per statement.
// Column 0 is the command word as written, columns 1..200 its argument tokens. The first
// row whose column 0 is empty ends the program; the row index is the program's line number.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

inline constexpr int kTokenRows = 2001;     // rows 0..2000
inline constexpr int kTokenColumns = 201;   // columns 0..200
inline constexpr int kArgumentCount = 200;  // a statement's argument tokens, indices 0..199

using TokenRow = std::array<std::string, kTokenColumns>;

const std::string& EmptyToken();

// A list of tokens as handlers, functions and validation rules see them: a statement's argument
// tokens (the row's columns 1..200), the raw tokens of a function call, or a collected
// expression. Indexing outside the list reads an empty token.
class Args {
public:
    Args() = default;
    explicit Args(const TokenRow& row)
        : strings_(&row[1]), count_(kArgumentCount), program_(true) {}
    Args(const std::string* first, int count) : strings_(first), count_(count) {}
    // `program`: the views point into the token buffer of the program being run, whose tokens
    // stay where they are until the next run; what is learnt about them may be kept.
    Args(const std::string_view* first, int count, bool program = false)
        : views_(first), count_(count), program_(program) {}

    std::string_view operator[](int i) const {
        if (i < 0 || i >= count_) return {};
        return strings_ ? std::string_view(strings_[i]) : views_[i];
    }
    int Count() const { return count_; }
    int High() const { return count_ - 1; }
    bool FromProgram() const { return program_; }
    // The `n` tokens from index k on (fewer when the list ends first).
    Args Slice(int k, int n) const {
        Args out = From(k);
        if (n < 0) n = 0;
        if (n < out.count_) out.count_ = n;
        return out;
    }
    // The tokens from index k on.
    Args From(int k) const {
        if (k < 0) k = 0;
        if (k > count_) k = count_;
        Args out = *this;
        if (strings_) out.strings_ += k;
        if (views_) out.views_ += k;
        out.count_ = count_ - k;
        return out;
    }

private:
    const std::string* strings_ = nullptr;
    const std::string_view* views_ = nullptr;
    int count_ = 0;
    bool program_ = false;
};

class TokenBuffer {
public:
    // Row r, or an empty row for any index that holds no statement (negative, past the
    // filled rows, or past row 2000): reading past the program finds its end.
    const TokenRow& Row(int r) const {
        if (r < 0 || r >= static_cast<int>(rows_.size())) return EmptyRow();
        return rows_[r];
    }
    const std::string& Cell(int r, int c) const { return Row(r)[c]; }
    bool RowEmpty(int r) const { return Row(r)[0].empty(); }

    // Writes a cell; rows up to r come into existence. r must be below kTokenRows.
    void Set(int r, int c, std::string token, int sourceLine);

    void Clear();

    // Rows that have been written (rows at and after this index are empty).
    int FilledRows() const { return static_cast<int>(rows_.size()); }
    // The source line (0-based) a row was cut from, or -1.
    int SourceLine(int r) const;

private:
    static const TokenRow& EmptyRow();
    std::vector<TokenRow> rows_;
    std::vector<int> sourceLines_;
};

}  // namespace tw
