#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/headless/headless_host.h"

namespace tw {
namespace {

TEST(DateEpoch, KnownDays) {
    EXPECT_EQ(DaysSinceDateEpoch(1899, 12, 30), 0);
    EXPECT_EQ(DaysSinceDateEpoch(1900, 1, 1), 2);
    EXPECT_EQ(DaysSinceDateEpoch(1900, 3, 1), 61);  // 1900 is no leap year
    EXPECT_EQ(DaysSinceDateEpoch(1970, 1, 1), 25569);
    EXPECT_EQ(DaysSinceDateEpoch(2000, 3, 1), 36586);  // 2000 is one
    EXPECT_EQ(DaysSinceDateEpoch(1, 1, 1), -693593);
    EXPECT_EQ(DaysSinceDateEpoch(9999, 12, 31), 2958465);
}

TEST(DateTimeText, DaysAndTimeOfDay) {
    EXPECT_EQ(DateTimeText(0), "30/12/1899 00:00:00");
    EXPECT_EQ(DateTimeText(36526.5), "01/01/2000 12:00:00");
    EXPECT_EQ(DateTimeText(2.75), "01/01/1900 18:00:00");
    // Before the epoch the fraction still counts forward from midnight of the whole day.
    EXPECT_EQ(DateTimeText(-1.25), "29/12/1899 06:00:00");
    // A fraction a hair below one day never rolls over into the next day.
    EXPECT_EQ(DateTimeText(1.0 - 1e-12), "30/12/1899 23:59:59");
    EXPECT_EQ(DateTimeText(-2.0 + 1e-12), "29/12/1899 23:59:59");
    EXPECT_EQ(DateTimeText(2958465.9999), "31/12/9999 23:59:51");
}

TEST(DateTimeText, OutsideYearsOneToNineThousandNineHundredNinetyNineIsEmpty) {
    EXPECT_EQ(DateTimeText(-693594), "");
    EXPECT_EQ(DateTimeText(2958466), "");
    EXPECT_EQ(DateTimeText(NAN), "");
    EXPECT_EQ(DateTimeText(INFINITY), "");
    EXPECT_EQ(DateTimeText(-1e300), "");
    EXPECT_EQ(DateTimeText(-693593), "01/01/0001 00:00:00");
}

TEST(DateTimeText, EveryDateReadsBackToItsDay) {
    // Walks the whole range in steps that visit every day of the month and every month.
    for (int64_t day = -693593; day <= 2958465; day += 97) {
        const std::string text = DateTimeText(static_cast<double>(day));
        unsigned d = 0, m = 0, y = 0;
        ASSERT_EQ(std::sscanf(text.c_str(), "%u/%u/%u", &d, &m, &y), 3) << text;
        ASSERT_EQ(DaysSinceDateEpoch(y, m, d), day) << text;
    }
}

// The safe writer replaces a file whole, keeps its permissions, and leaves nothing behind.
TEST(Files, WriteAtomicallyReplacesWholeAndKeepsThePermissions) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tarnwick_files_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "data.bin").string();
    std::string error;
    const std::vector<uint8_t> first = {1, 2, 3}, second = {9};
    ASSERT_TRUE(WriteFileAtomically(path, first, error)) << error;
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(path, second, error)) << error;
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadWholeFile(path, 16, back, error)) << error;
    EXPECT_EQ(back, second);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_FALSE(WriteFileAtomically((dir / "missing" / "x").string(), second, error));
    EXPECT_FALSE(error.empty());
    std::string text;
    EXPECT_FALSE(ReadWholeFile(dir.string(), 16, text, error));  // a folder cannot be read
    EXPECT_EQ(error, "Is a directory");
    EXPECT_EQ(BaseName("/a/b/c.twp"), "c.twp");
    EXPECT_EQ(BaseName("c.twp"), "c.twp");
    EXPECT_EQ(BaseName("dir/"), "");
    fs::remove_all(dir);
}

// A scratch folder of the test's own, removed with everything in it.
struct ScratchFolder {
    std::filesystem::path path;
    explicit ScratchFolder(const char* name)
        : path(std::filesystem::temp_directory_path() /
               (std::string(name) + "_" + std::to_string(getpid()))) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::string operator/(const char* file) const { return (path / file).string(); }
};

// Only regular files and pipes are read, never past the limit, and nothing waits on a FIFO
// that no one writes to.
TEST(Files, ReadingIsBoundedAndNeverWaits) {
    ScratchFolder dir("tarnwick_read");
    std::string text, error;
    const std::string exact = dir / "exact.txt";
    {
        std::FILE* f = std::fopen(exact.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("12345678", f);
        std::fclose(f);
    }
    EXPECT_EQ(ReadFileBounded(exact, 8, text, error), ReadStatus::Ok);
    EXPECT_EQ(text, "12345678");
    EXPECT_EQ(ReadFileBounded(exact, 7, text, error), ReadStatus::TooLarge);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(ReadFileBounded(dir / "missing", 8, text, error), ReadStatus::Failed);
    EXPECT_EQ(error, "No such file or directory");
    // A device that never ends is no file to read.
    EXPECT_EQ(ReadFileBounded("/dev/zero", 1 << 20, text, error), ReadStatus::Failed);
    EXPECT_EQ(error, "not a regular file");
    // A FIFO with no writer is refused at once.
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadFileBounded(fifo, 8, text, error), ReadStatus::Failed);
    EXPECT_EQ(error, "a pipe that no one writes to");
    // A pipe with something written is read (to its end), and held to the limit as it is.
    for (const size_t limit : {size_t{10}, size_t{9}}) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        ASSERT_EQ(write(ends[1], "0123456789", 10), 10);
        close(ends[1]);
        const std::string reader = "/proc/self/fd/" + std::to_string(ends[0]);
        EXPECT_EQ(ReadFileBounded(reader, limit, text, error),
                  limit == 10 ? ReadStatus::Ok : ReadStatus::TooLarge);
        EXPECT_EQ(text, limit == 10 ? "0123456789" : "");
        close(ends[0]);
    }
}

// The writer never writes through a link planted at the target, and a write past the file-size
// limit fails and leaves nothing behind instead of ending the process.
TEST(Files, WriterReplacesALinkAndSurvivesTheFileSizeLimit) {
    ScratchFolder dir("tarnwick_write");
    const std::string victim = dir / "victim", out = dir / "out";
    std::string error;
    const std::vector<uint8_t> precious = {'k', 'e', 'e', 'p'};
    ASSERT_TRUE(WriteFileAtomically(victim, precious, error)) << error;
    ASSERT_EQ(symlink(victim.c_str(), out.c_str()), 0);
    const std::vector<uint8_t> data = {1, 2, 3};
    ASSERT_TRUE(WriteFileAtomically(out, data, error)) << error;
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadWholeFile(victim, 16, back, error));
    EXPECT_EQ(back, precious);
    EXPECT_FALSE(std::filesystem::is_symlink(out));
    ASSERT_TRUE(ReadWholeFile(out, 16, back, error));
    EXPECT_EQ(back, data);

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::vector<uint8_t> big(100000, 7);
    const bool written = WriteFileAtomically(dir / "big", big, error);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, "File too large");
    // Only the two files of before: no temporary file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(LocalDateTimeNow, IsTodayInLocalTime) {
    // The same clock as the function's: time() may read a coarser one that lags behind it by
    // a few milliseconds, enough to fail at the turn of a second.
    auto seconds = [] {
        timespec ts;
        clock_gettime(CLOCK_REALTIME, &ts);
        return static_cast<std::time_t>(ts.tv_sec);
    };
    std::time_t before = seconds();
    const double now = LocalDateTimeNow();
    std::time_t after = seconds();
    std::tm b{}, a{};
    localtime_r(&before, &b);
    localtime_r(&after, &a);
    if (b.tm_mday != a.tm_mday) GTEST_SKIP() << "midnight passed during the test";
    EXPECT_EQ(static_cast<int64_t>(std::floor(now)),
              DaysSinceDateEpoch(b.tm_year + 1900, b.tm_mon + 1, b.tm_mday));
    const double ofDay = (now - std::floor(now)) * 86400.0;
    EXPECT_GE(ofDay, b.tm_hour * 3600 + b.tm_min * 60 + b.tm_sec - 1);
    EXPECT_LE(ofDay, a.tm_hour * 3600 + a.tm_min * 60 + a.tm_sec + 1);
}

TEST(MonotonicMilliseconds, NeverGoesBack) {
    uint32_t last = MonotonicMilliseconds();
    for (int i = 0; i < 10000; ++i) {
        const uint32_t now = MonotonicMilliseconds();
        ASSERT_GE(now, last);
        last = now;
    }
}

// Everything written to a temporary stream.
std::string Contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string out;
    for (int c; (c = std::fgetc(f)) != EOF;) out += static_cast<char>(c);
    return out;
}

TEST(WriteWithLineEnds, CarriageReturnsAndPairsBecomeOneLineEnd) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    WriteWithLineEnds(f, "a\rb\r\nc\nd\r\re\r");
    EXPECT_EQ(Contents(f), "a\nb\nc\nd\n\ne\n");
    std::fclose(f);
}

TEST(HeadlessHost, MessagesAndDebugLinesGoToTheirStreams) {
    std::FILE* messages = std::tmpfile();
    std::FILE* debug = std::tmpfile();
    ASSERT_TRUE(messages && debug);
    HeadlessHost::Options options;
    options.messages = messages;
    options.debug = debug;
    HeadlessHost host(options);
    host.ShowMessage(MessageKind::Error, "RTE (14) - line one\r\nline two");
    host.DebugOutput("x = 5");
    EXPECT_EQ(host.MessageCount(), 1);
    EXPECT_EQ(Contents(messages), "RTE (14) - line one\nline two\n");
    EXPECT_EQ(Contents(debug), "x = 5\n");
    std::fclose(messages);
    std::fclose(debug);

    // Without streams the messages are still counted.
    HeadlessHost::Options quiet;
    quiet.messages = nullptr;
    quiet.debug = nullptr;
    HeadlessHost silent(quiet);
    silent.ShowMessage(MessageKind::Information, "hidden");
    silent.DebugOutput("hidden");
    EXPECT_EQ(silent.MessageCount(), 1);
}

TEST(HeadlessHost, VirtualTimeAndKeys) {
    HeadlessHost::Options options;
    options.virtualTime = true;
    options.messages = nullptr;
    HeadlessHost host(options);
    EXPECT_EQ(host.TickCount(), 0u);
    for (int i = 0; i < 5; ++i) host.Pass();
    EXPECT_EQ(host.TickCount(), 5u);

    host.SetKey(27, true);
    EXPECT_TRUE(host.KeyDown(27));
    host.SetKey(27, false);
    EXPECT_FALSE(host.KeyDown(27));
    host.SetKey(256, true);  // out of range: ignored, never written
    host.SetKey(-1, true);
    EXPECT_FALSE(host.KeyDown(256));
    EXPECT_FALSE(host.KeyDown(-1));
    uint8_t state[256];
    state[10] = 0xFF;
    EXPECT_TRUE(host.ReadKeyState(state));
    EXPECT_EQ(state[10], 0);
}

}  // namespace
}  // namespace tw
