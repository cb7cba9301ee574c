// Date and time functions.
//
// A date-time value is a real: whole days since 30 December 1899, with the time of day as the
// fraction (0.5 is noon). Every value passes through the 6-byte real on its way, so it keeps
// about 12 significant digits. Texts use fixed formats, whatever the locale: the short date
// format "dd/mm/yyyy" and the long time format "hh:nn:ss".

#include <cmath>
#include <ctime>
#include <limits>

#include "commands/registry.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"
#include "platform/clock.h"

namespace tw {

namespace {

constexpr const char* kShortDateFormat = "dd/mm/yyyy";
constexpr const char* kLongDateFormat = "dd mmmm yyyy";
constexpr const char* kShortTimeFormat = "hh:nn";
constexpr const char* kLongTimeFormat = "hh:nn:ss";
constexpr int64_t kMillisecondsPerDay = 86400000;
// 1 January 0001 and 31 December 9999, in days since 30 December 1899.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958465.0;

const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

constexpr int64_t kEpochOffset = 25569;  // days from 30 December 1899 to 1 January 1970

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

struct DateTimeParts {
    int year, month, day, weekday;  // weekday 0 = Sunday
    int hour, minute, second, millisecond;
};

// Splits a date-time value; false outside years 1 to 9999.
bool Decode(double value, DateTimeParts& p) {
    if (!std::isfinite(value) || value < kFirstDay || value >= kLastDay + 1.0) return false;
    double whole = std::trunc(value);
    // Before the epoch the fraction still counts forward from midnight.
    int64_t ms = std::llround(std::fabs(value - whole) * kMillisecondsPerDay);
    int64_t days = static_cast<int64_t>(whole);
    if (ms >= kMillisecondsPerDay) ms = kMillisecondsPerDay - 1;
    DateOfDays(days, p.year, p.month, p.day);
    p.weekday =
        static_cast<int>(((days - kEpochOffset) % 7 + 11) % 7);  // 1 Jan 1970 was a Thursday
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    return true;
}

// A non-negative number with leading zeros up to `width` digits.
void AppendNumber(std::string& out, int value, int width) {
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < 12);
    for (int k = n; k < width; ++k) out += '0';
    while (n > 0) out += digits[--n];
}

// The letters of a format in any case: A to Z only, whatever the locale.
char LowerLetter(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool StartsWithNoCase(std::string_view s, size_t i, std::string_view word) {
    if (s.size() - i < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k) {
        if (LowerLetter(s[i + k]) != word[k]) return false;
    }
    return true;
}

bool HasAmPm(std::string_view format) {
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != 'a' && format[i] != 'A') continue;
        if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p") ||
            StartsWithNoCase(format, i, "ampm")) {
            return true;
        }
    }
    return false;
}

// The longest run of one letter that a specifier takes (a longer run is read as several);
// counting a run no further than this keeps a format of one repeated letter linear.
size_t LongestRun(char lower) {
    switch (lower) {
        case 'd':
            return 6;
        case 'm':
            return 4;
        case 'z':
            return 3;
        case 'h':
        case 'n':
        case 's':
        case 't':
            return 2;
        case '"':
        case '\'':
        case 'c':
        case 'a':
            return 1;
        default:
            return std::numeric_limits<size_t>::max();
    }
}

// Writes a date-time value with a format. Letters (any case): d dd ddd dddd ddddd dddddd,
// m mm mmm mmmm (m and mm after h or hh are minutes), yy yyyy, h hh, n nn, s ss, z zzz, t tt,
// c, am/pm a/p ampm; / and : are the separators; text in "..." or '...' is copied. False when
// the text would pass the longest a value may hold (what is written so far stays in `out`).
// With `in`, a long format gives way to a stop of the run, leaving the text written so far.
bool Format(std::string_view format, const DateTimeParts& p, std::string& out,
            Interpreter* in = nullptr, int nesting = 0) {
    const bool twelveHour = HasAmPm(format);
    bool afterHour = false;
    size_t i = 0;
    for (size_t steps = 1; i < format.size(); ++steps) {
        if (out.size() > kMaxTextLength) return false;
        if (in && steps % 4096 == 0 && in->GiveWay()) break;
        const char c = format[i];
        const char lower = LowerLetter(c);
        const size_t longest = LongestRun(lower);
        size_t run = 1;
        while (run < longest && i + run < format.size() && LowerLetter(format[i + run]) == lower) {
            ++run;
        }
        bool wasHour = false;
        switch (lower) {
            case '"':
            case '\'': {
                size_t end = format.find(c, i + 1);
                if (end == std::string_view::npos) end = format.size();
                out.append(format.substr(i + 1, end - i - 1));
                i = end + 1;
                continue;
            }
            case 'd':
                run = std::min<size_t>(run, 6);
                if (run <= 2)
                    AppendNumber(out, p.day, static_cast<int>(run));
                else if (run == 3)
                    out.append(kDayNames[p.weekday], 3);
                else if (run == 4)
                    out += kDayNames[p.weekday];
                else if (nesting == 0)
                    Format(run == 5 ? kShortDateFormat : kLongDateFormat, p, out, nullptr, 1);
                break;
            case 'm':
                run = std::min<size_t>(run, 4);
                if (afterHour && run <= 2)
                    AppendNumber(out, p.minute, static_cast<int>(run));
                else if (run <= 2)
                    AppendNumber(out, p.month, static_cast<int>(run));
                else if (run == 3)
                    out.append(kMonthNames[p.month - 1], 3);
                else
                    out += kMonthNames[p.month - 1];
                break;
            case 'y':
                if (run <= 2)
                    AppendNumber(out, p.year % 100, 2);
                else
                    AppendNumber(out, p.year, 4);
                break;
            case 'h': {
                run = std::min<size_t>(run, 2);
                int hour = p.hour;
                if (twelveHour) {
                    hour %= 12;
                    if (hour == 0) hour = 12;
                }
                AppendNumber(out, hour, static_cast<int>(run));
                wasHour = true;
                break;
            }
            case 'n':
                run = std::min<size_t>(run, 2);
                AppendNumber(out, p.minute, static_cast<int>(run));
                break;
            case 's':
                run = std::min<size_t>(run, 2);
                AppendNumber(out, p.second, static_cast<int>(run));
                break;
            case 'z':
                run = std::min<size_t>(run, 3);
                AppendNumber(out, p.millisecond, run >= 3 ? 3 : 1);
                break;
            case 't':
                run = std::min<size_t>(run, 2);
                if (nesting == 0)
                    Format(run == 1 ? kShortTimeFormat : kLongTimeFormat, p, out, nullptr, 1);
                break;
            case 'c':
                run = 1;
                if (nesting == 0) {
                    Format(kShortDateFormat, p, out, nullptr, 1);
                    if (p.hour || p.minute || p.second || p.millisecond) {
                        out += ' ';
                        Format(kLongTimeFormat, p, out, nullptr, 1);
                    }
                }
                break;
            case 'a':
                run = 1;
                if (StartsWithNoCase(format, i, "am/pm")) {
                    out += p.hour < 12 ? format.substr(i, 2) : format.substr(i + 3, 2);
                    run = 5;
                } else if (StartsWithNoCase(format, i, "a/p")) {
                    out += p.hour < 12 ? format[i] : format[i + 2];
                    run = 3;
                } else if (StartsWithNoCase(format, i, "ampm")) {
                    out += p.hour < 12 ? "AM" : "PM";
                    run = 4;
                } else {
                    out += c;
                }
                break;
            default:
                out.append(format.substr(i, run));
                break;
        }
        // Only letters count as the specifier before an m: in hh:mm the m's are minutes.
        if (lower >= 'a' && lower <= 'z') afterHour = wasHour;
        i += run;
    }
    return out.size() <= kMaxTextLength;
}

// Reads up to `maxDigits` digits; false when there is none.
bool ReadNumber(std::string_view s, size_t& i, int maxDigits, int& out) {
    int n = 0, value = 0;
    while (i < s.size() && n < maxDigits && s[i] >= '0' && s[i] <= '9') {
        value = value * 10 + (s[i] - '0');
        ++i, ++n;
    }
    out = value;
    return n > 0;
}

void SkipBlanks(std::string_view s, size_t& i) {
    while (i < s.size() && s[i] == ' ') ++i;
}

// A date in the short date format's order: day, month, year, separated by "/" (or "-" or ".").
// A year of one or two digits is taken as 2000 to 2049 below 50 and 1950 to 1999 otherwise.
bool ParseDate(std::string_view s, double& out) {
    size_t i = 0;
    SkipBlanks(s, i);
    int day, month, year;
    if (!ReadNumber(s, i, 2, day)) return false;
    if (i >= s.size() || (s[i] != '/' && s[i] != '-' && s[i] != '.')) return false;
    const char separator = s[i++];
    if (!ReadNumber(s, i, 2, month)) return false;
    if (i >= s.size() || s[i] != separator) return false;
    ++i;
    const size_t yearStart = i;
    if (!ReadNumber(s, i, 4, year)) return false;
    if (i - yearStart <= 2) year += year < 50 ? 2000 : 1900;
    SkipBlanks(s, i);
    if (i != s.size()) return false;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    out = static_cast<double>(DaysSinceDateEpoch(year, month, day));
    return true;
}

// A time: hours, minutes, optional seconds (and milliseconds after "."), optional AM or PM.
bool ParseTime(std::string_view s, double& out) {
    size_t i = 0;
    SkipBlanks(s, i);
    int hour, minute, second = 0, ms = 0;
    if (!ReadNumber(s, i, 2, hour)) return false;
    if (i >= s.size() || s[i] != ':') return false;
    ++i;
    if (!ReadNumber(s, i, 2, minute)) return false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (!ReadNumber(s, i, 2, second)) return false;
        if (i < s.size() && s[i] == '.') {
            ++i;
            const size_t from = i;
            if (!ReadNumber(s, i, 3, ms)) return false;
            for (size_t k = i - from; k < 3; ++k) ms *= 10;
        }
    }
    SkipBlanks(s, i);
    if (StartsWithNoCase(s, i, "am") || StartsWithNoCase(s, i, "pm")) {
        if (hour < 1 || hour > 12) return false;
        const bool pm = LowerLetter(s[i]) == 'p';
        hour = hour % 12 + (pm ? 12 : 0);
        i += 2;
        SkipBlanks(s, i);
    }
    if (i != s.size() || hour > 23 || minute > 59 || second > 59) return false;
    out = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + ms) / kMillisecondsPerDay;
    return true;
}

// The argument phase of DATETOSTR, TIMETOSTR and FORMATDATETIME: a real that the 6-byte real
// can hold.
bool DateArgument(ArgCursor& a, double& out, ErrorId failure) {
    double real;
    if (!a.OnBadValue(failure).Real(real)) return false;
    if (!ToReal48(real, out)) {
        a.result().FailWith(failure, 0);
        return false;
    }
    return true;
}

void FormatFunction(Interpreter& in, const Args& args, FunctionResult& result, const char* format,
                    ErrorId argumentFailure, ErrorId valueFailure) {
    result.ok = true;
    ArgCursor a(in, args, result);
    double value;
    if (!DateArgument(a.Whole(), value, argumentFailure)) return;
    DateTimeParts parts;
    if (!Decode(value, parts)) {
        result.FailWith(valueFailure, 0);
        return;
    }
    std::string text;
    Format(format, parts, text);
    result.value = Value::Str(std::move(text));
}

void DateToStrFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    FormatFunction(in, args, result, kShortDateFormat, ErrorId::DateToStrArgument,
                   ErrorId::DateToStrValue);
}

void TimeToStrFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    FormatFunction(in, args, result, kLongTimeFormat, ErrorId::TimeToStrArgument,
                   ErrorId::TimeToStrValue);
}

void FormatDateTimeFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    result.ok = true;
    ArgCursor a(in, args, result);
    a.Parts(2);
    std::string format;
    double value;
    if (!a.Text(format) || !DateArgument(a, value, ErrorId::FormatDateTimeArgument)) return;
    DateTimeParts decoded;
    if (!Decode(value, decoded)) {
        result.Fail(ErrorId::FormatDateTimeValue, 0);
        return;
    }
    std::string text;
    if (!Format(format, decoded, text, &in)) {
        result.Fail(ErrorId::ValueTooBig, 0);
        return;
    }
    result.value = Value::Str(std::move(text));
}

void ParseFunction(Interpreter& in, const Args& args, FunctionResult& result,
                   bool (*parse)(std::string_view, double&), ErrorId failure) {
    result.ok = true;
    std::string text;
    if (!ArgCursor(in, args, result).Whole().Text(text)) return;
    double parsed, narrowed;
    if (!parse(text, parsed) || !ToReal48(parsed, narrowed)) {
        result.FailWith(failure, 0);
        return;
    }
    result.value = Value::Real(narrowed);
}

void StrToDateFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    ParseFunction(in, args, result, ParseDate, ErrorId::StrToDateText);
}

void StrToTimeFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    ParseFunction(in, args, result, ParseTime, ErrorId::StrToTimeText);
}

double Now() {
    return LocalDateTimeNow();
}

void CurrentDateFunction(Interpreter&, const Args&, FunctionResult& result) {
    result.ok = true;
    double narrowed = 0;
    ToReal48(std::trunc(Now()), narrowed);
    result.value = Value::Real(narrowed);
}

void CurrentTimeFunction(Interpreter&, const Args&, FunctionResult& result) {
    result.ok = true;
    double now = Now();
    double narrowed = 0;
    ToReal48(now - std::trunc(now), narrowed);
    result.value = Value::Real(narrowed);
}

}  // namespace

void RegisterDateTimeFunctions(FunctionTable& functions) {
    functions.Bind(FunctionId::CURRENTDATE, CurrentDateFunction);
    functions.Bind(FunctionId::CURRENTTIME, CurrentTimeFunction);
    functions.Bind(FunctionId::DATETOSTR, DateToStrFunction);
    functions.Bind(FunctionId::TIMETOSTR, TimeToStrFunction);
    functions.Bind(FunctionId::FORMATDATETIME, FormatDateTimeFunction);
    functions.Bind(FunctionId::STRTODATE, StrToDateFunction);
    functions.Bind(FunctionId::STRTOTIME, StrToTimeFunction);
}

}  // namespace tw
