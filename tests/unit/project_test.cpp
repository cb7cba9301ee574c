// The project model and its file: the template, round trips, the format's facts, old and new
// versions, adding items, properties, hostile files and the atomic save.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "project/twp_file.h"
#include "test_support.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

class Projects : public testing::Test {
protected:
    Projects() : project(std::make_unique<ProjectState>()) {
        dir = fs::temp_directory_path() / ("tarnwick_project_test_" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    ~Projects() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    std::string Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream out(Path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return Path(name);
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    // A new project's bytes.
    Bytes Template() {
        ProjectState fresh;
        NewProject(fresh);
        return ProjectFileBytes(fresh);
    }
    bool Load(const Bytes& bytes) { return LoadProjectBytes(*project, bytes, "/x/test.twp", host); }

    fs::path dir;
    test::RecordingHost host;
    std::unique_ptr<ProjectState> project;
};

TEST_F(Projects, NewProjectRoundTrip) {
    NewProject(*project);
    project->filePath = Path("new.twp");
    std::string error;
    ASSERT_TRUE(SaveProject(*project, error)) << error;
    const Bytes saved = Read(Path("new.twp"));

    auto loaded = std::make_unique<ProjectState>();
    ASSERT_TRUE(LoadProject(*loaded, Path("new.twp"), host));
    EXPECT_TRUE(loaded->projectOpen);
    EXPECT_EQ(loaded->fileName, "new.twp");
    EXPECT_EQ(ProjectFileBytes(*loaded), saved);
    ASSERT_TRUE(SaveProject(*loaded, error));
    EXPECT_EQ(Read(Path("new.twp")), saved);

    // One record: kind 0, "Main Code", the template, four property lines.
    const ProjectItem& main = loaded->items[0];
    EXPECT_TRUE(main.used);
    EXPECT_EQ(main.kind, 0);
    EXPECT_EQ(main.Name(), "Main Code");
    EXPECT_EQ(loaded->MainSource(), NewProjectTemplate());
    EXPECT_EQ(loaded->properties[0],
              (ItemProperties{"Name", "MainCode", "Comments", "This is the main TW code"}));
    EXPECT_FALSE(loaded->items[1].used);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Projects, FormatFacts) {
    const Bytes b = Template();
    EXPECT_EQ(std::string(b.begin(), b.begin() + 3), "TWP");
    ProjectHeader h;
    std::memcpy(h.bytes.data(), b.data(), kProjectHeaderBytes);
    EXPECT_EQ(h.Version(), 2);
    EXPECT_EQ(h.Get(ProjectHeader::kFieldA), 1);
    EXPECT_EQ(h.Get(ProjectHeader::kSourceCount), 1);
    EXPECT_EQ(h.Get(ProjectHeader::kFieldC), 20);
    EXPECT_EQ(h.Get(ProjectHeader::kFieldD), 8);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[44]), 10),
              std::string("800x600\0\0\0", 10));
    // The record: kind, the whole 256-byte name, size, date, data, then the property lines,
    // each stored as length + 1, length, characters.
    EXPECT_EQ(b[60], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[61])), "Main Code");
    const int32_t size =
        static_cast<int32_t>(b[317] | (b[318] << 8) | (b[319] << 16) | (b[320] << 24));
    EXPECT_EQ(size, static_cast<int32_t>(NewProjectTemplate().size()));
    const size_t props = 60 + 1 + 256 + 4 + 8 + static_cast<size_t>(size);
    EXPECT_EQ(b[props], 4);
    EXPECT_EQ(Bytes(b.begin() + props + 1, b.begin() + props + 7),
              (Bytes{5, 4, 'N', 'a', 'm', 'e'}));
    EXPECT_EQ(b.size(), props + 1 + (2 + 4) + (2 + 8) + (2 + 8) + (2 + 24));
    // The template's lines end in CR LF.
    const std::string text = NewProjectTemplate();
    EXPECT_EQ(text.substr(0, 5), "REM\r\n");
    EXPECT_NE(text.find("REM applications, games or demos. If you require help with any \r\n"),
              std::string::npos);
}

// The records of a project whose header says version 1: no property part.
Bytes VersionOne(int records) {
    ProjectState p;
    NewProject(p);
    Bytes b = ProjectFileBytes(p);
    b.resize(60);
    b[8] = 1;
    for (int i = 0; i < records; ++i) {
        b.push_back(1);  // a bitmap
        std::string name = "pic" + std::to_string(i) + ".bmp";
        name.resize(256, '\0');
        b.insert(b.end(), name.begin(), name.end());
        b.insert(b.end(), {3, 0, 0, 0});
        b.insert(b.end(), 8, 0);
        b.insert(b.end(), {'a', 'b', 'c'});
    }
    return b;
}

TEST_F(Projects, VersionOneLoadsWithoutPropertiesAndSavesAsTwo) {
    ASSERT_TRUE(Load(VersionOne(2)));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], kMsgOlderVersion);
    EXPECT_EQ(project->items[1].Name(), "pic1.bmp");
    EXPECT_TRUE(project->properties[0].empty());
    const Bytes saved = ProjectFileBytes(*project);
    EXPECT_EQ(saved[8], 2);
    EXPECT_EQ(saved.size(), 60 + 2 * (1 + 256 + 4 + 8 + 3 + 1));
    EXPECT_EQ(saved[60 + 1 + 256 + 4 + 8 + 3], 0);  // a zero property count
    // Serializing leaves the project alone; saving makes it what the file now holds.
    EXPECT_EQ(project->header.Version(), 1);
    project->filePath = Path("upgraded.twp");
    std::string error;
    ASSERT_TRUE(SaveProject(*project, error)) << error;
    EXPECT_EQ(project->header.Version(), 2);
    EXPECT_EQ(Read(Path("upgraded.twp")), saved);
}

TEST_F(Projects, NewerVersionWarnsAndLoads) {
    Bytes b = Template();
    b[8] = 3;
    EXPECT_TRUE(Load(b));
    EXPECT_EQ(host.messages, (std::vector<std::string>{kMsgNewerVersion}));
}

TEST_F(Projects, ExactSizes) {
    const Bytes whole = Template();
    const Bytes header(whole.begin(), whole.begin() + 60);
    EXPECT_TRUE(Load(header));  // a header alone: a project with no items
    EXPECT_FALSE(project->items[0].used);

    auto withItem = [&](int32_t size) {
        Bytes b = header;
        b.push_back(1);
        std::string name = "big.bmp";
        name.resize(256, '\0');
        b.insert(b.end(), name.begin(), name.end());
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(size) >> (8 * i)));
        b.insert(b.end(), 8, 0);
        b.insert(b.end(), static_cast<size_t>(size), 7);
        b.push_back(0);
        return b;
    };
    EXPECT_TRUE(Load(withItem(kMaxItemDataSize)));
    EXPECT_EQ(project->items[0].data.size(), static_cast<size_t>(kMaxItemDataSize));
    host.messages.clear();
    EXPECT_FALSE(Load(withItem(kMaxItemDataSize + 1)));
    EXPECT_FALSE(project->projectOpen);
    EXPECT_EQ(host.messages, (std::vector<std::string>{kMsgNotAProject}));
}

TEST_F(Projects, HostileFilesFailCleanly) {
    const Bytes good = Template();
    std::vector<std::pair<std::string, Bytes>> cases;
    for (size_t n : {3, 10, 59})
        cases.push_back(
            {"header of " + std::to_string(n) + " bytes", Bytes(good.begin(), good.begin() + n)});
    cases.push_back({"record cut short", Bytes(good.begin(), good.end() - 3)});
    cases.push_back({"record head cut short", Bytes(good.begin(), good.begin() + 100)});
    Bytes noTerminator = good;
    std::memset(&noTerminator[61], 'x', 256);
    cases.push_back({"name without terminator", noTerminator});
    Bytes negative = good;
    negative[317] = 0xFF, negative[318] = 0xFF, negative[319] = 0xFF, negative[320] = 0xFF;
    cases.push_back({"negative size", negative});
    Bytes tooBig = good;
    tooBig[318] = 0x40;  // far more data than the file holds, still under 2 MiB
    cases.push_back({"size past the end", tooBig});
    Bytes badLine = good;
    const size_t props = good.size() - (1 + 6 + 10 + 10 + 26);
    badLine[props + 1] = 200;  // a line longer than its record
    cases.push_back({"property line longer than its record", badLine});
    Bytes lengths = good;
    lengths[props + 2] = 9;  // the two lengths disagree
    cases.push_back({"property lengths disagree", lengths});
    Bytes many(good.begin(), good.begin() + 60);
    for (int i = 0; i < 1002; ++i) {
        many.push_back(0);
        many.insert(many.end(), 256, 0);
        many.insert(many.end(), 12, 0);
        many.push_back(0);
    }
    cases.push_back({"1002 records", many});

    for (const auto& [what, bytes] : cases) {
        host.messages.clear();
        EXPECT_FALSE(Load(bytes)) << what;
        EXPECT_FALSE(project->projectOpen) << what;
        EXPECT_EQ(host.messages, (std::vector<std::string>{kMsgCorruptProject})) << what;
        // The state of a failed load: the template, with the error lines in the editor.
        EXPECT_EQ(project->MainSource(), "REM\r\nREM *** ERROR - Project Not Loaded!\r\nREM\r\n")
            << what;
        EXPECT_EQ(project->fileName, "NewProject.twp") << what;
    }
    for (Bytes bytes : {Bytes{}, Bytes{'T', 'W'}, Bytes{'X', 'W', 'P', 0}}) {
        host.messages.clear();
        EXPECT_FALSE(Load(bytes));
        EXPECT_EQ(host.messages, (std::vector<std::string>{kMsgNotAProject}));
    }
    EXPECT_FALSE(LoadProject(*project, Path("missing.twp"), host));
}

TEST_F(Projects, AddingItems) {
    NewProject(*project);
    const std::string pth = Write("route.pth", {'1'});
    const std::string snd = Write("boom.tws", {1, 2});
    ASSERT_TRUE(AddItemFromFile(*project, ItemKind::Path, pth, host));
    EXPECT_EQ(project->properties[1],
              (ItemProperties{"Name", "route.pth", "Comments", "", "ID", "1"}));
    project->properties[1][5] = "3";
    ASSERT_TRUE(AddItemFromFile(*project, ItemKind::Path, pth, host));
    project->properties[2][5] = "7";
    ASSERT_TRUE(AddItemFromFile(*project, ItemKind::Path, pth, host));
    EXPECT_EQ(project->properties[3][5], "8");
    EXPECT_EQ(project->header.Get(ProjectHeader::kPathCount), 3);

    ASSERT_TRUE(AddItemFromFile(*project, ItemKind::Sound, snd, host));
    EXPECT_EQ(project->header.Get(ProjectHeader::kSoundCount), 0);
    EXPECT_EQ(project->properties[4],
              (ItemProperties{"Name", "boom.tws", "Comments", "", "Default Playback Speed", "44000",
                              "Volumne", "100"}));

    EXPECT_EQ(AddSourceUnit(*project, host), 5);
    EXPECT_EQ(project->items[5].Name(), "Untitled");
    EXPECT_EQ(project->header.Get(ProjectHeader::kSourceCount), 2);

    EXPECT_FALSE(AddItemFromFile(*project, ItemKind::Bitmap, Path("missing.bmp"), host));
    EXPECT_EQ(host.messages.back(), kMsgCannotOpenFile);
    EXPECT_FALSE(AddItemFromFile(*project, ItemKind::Bitmap, dir.string(), host));

    // A path's ID that is no number stops the next path from being added.
    project->properties[1][5] = "one";
    EXPECT_FALSE(AddItemFromFile(*project, ItemKind::Path, pth, host));
}

TEST_F(Projects, ThousandAndOneSlots) {
    NewProject(*project);
    const std::string bmp = Write("a.bmp", {'B', 'M'});
    for (int i = 1; i < kMaxProjectItems; ++i)
        ASSERT_TRUE(AddItemFromFile(*project, ItemKind::Bitmap, bmp, host));
    EXPECT_TRUE(project->items[1000].used);
    EXPECT_FALSE(AddItemFromFile(*project, ItemKind::Bitmap, bmp, host));
    EXPECT_EQ(host.messages.back(), kMsgProjectFull);
    EXPECT_EQ(AddSourceUnit(*project, host), -1);
    // A full project saves and loads back whole.
    const Bytes saved = ProjectFileBytes(*project);
    ASSERT_TRUE(Load(saved));
    EXPECT_TRUE(project->items[1000].used);
}

// The main code unit is the first source unit, whatever slot it is in: a project whose first
// record is a bitmap runs the source behind it, not the bitmap's bytes.
TEST_F(Projects, TheMainCodeIsTheFirstSourceUnit) {
    NewProject(*project);
    const std::string bmp = Write("a.bmp", {'B', 'M', 0});
    ASSERT_TRUE(AddItemFromFile(*project, ItemKind::Bitmap, bmp, host));
    std::swap(project->items[0], project->items[1]);
    std::swap(project->properties[0], project->properties[1]);
    ASSERT_TRUE(Load(ProjectFileBytes(*project)));
    EXPECT_EQ(project->items[0].kind, static_cast<uint8_t>(ItemKind::Bitmap));
    EXPECT_EQ(project->MainSlot(), 1);
    EXPECT_EQ(project->MainSource(), NewProjectTemplate());
    project->SetMainSource("STOP");
    EXPECT_EQ(project->items[1].data, (Bytes{'S', 'T', 'O', 'P'}));
    EXPECT_EQ(project->items[0].data, (Bytes{'B', 'M', 0}));
    // With no source unit at all there is no main code; setting one takes the first free slot.
    project->items[1] = ProjectItem{};
    EXPECT_EQ(project->MainSlot(), -1);
    EXPECT_EQ(project->MainSource(), "");
    project->SetMainSource("END");
    EXPECT_EQ(project->MainSlot(), 1);
    EXPECT_EQ(project->items[0].data, (Bytes{'B', 'M', 0}));
}

TEST_F(Projects, LargeFilesAreRefused) {
    NewProject(*project);
    const std::string big = Write("big.bmp", Bytes(kMaxItemDataSize + 1, 1));
    EXPECT_FALSE(AddItemFromFile(*project, ItemKind::Bitmap, big, host));
    EXPECT_EQ(host.messages.back(), kMsgFileTooLarge);
    EXPECT_FALSE(project->items[1].used);
}

TEST_F(Projects, Properties) {
    NewProject(*project);
    const std::string pth = Write("a.pth", {'1'});
    AddItemFromFile(*project, ItemKind::Path, pth, host);
    AddItemFromFile(*project, ItemKind::Path, pth, host);
    std::string value = "unchanged";
    EXPECT_TRUE(FindItemProperty(*project, "a.pth", "ID", ItemKind::Path, value));
    EXPECT_EQ(value, "1");  // the first item of that name
    value = "unchanged";
    EXPECT_FALSE(FindItemProperty(*project, "A.PTH", "ID", ItemKind::Path, value));
    EXPECT_FALSE(FindItemProperty(*project, "a.pth", "Id", ItemKind::Path, value));
    EXPECT_FALSE(FindItemProperty(*project, "a.pth", "ID", ItemKind::Bitmap, value));
    EXPECT_EQ(value, "unchanged");

    EXPECT_EQ(CheckPropertyChange(*project, 1, "ID", "x"), kMsgPathIdNotNumber);
    EXPECT_EQ(CheckPropertyChange(*project, 1, "ID", "2"), kMsgPathIdTaken);
    EXPECT_EQ(CheckPropertyChange(*project, 1, "ID", "02"), "");  // IDs compare as texts
    EXPECT_EQ(CheckPropertyChange(*project, 1, "Comments", "x"), "");
    EXPECT_EQ(CheckPropertyChange(*project, 0, "ID", "x"), "");  // only paths have the rule
}

TEST_F(Projects, FailedSaveKeepsTheOldFile) {
    NewProject(*project);
    project->filePath = Path("keep.twp");
    std::string error;
    ASSERT_TRUE(SaveProject(*project, error));
    const Bytes before = Read(Path("keep.twp"));

    // A file size limit makes the write fail half-way, as a full disk would.
    project->SetMainSource(std::string(100000, 'x'));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = SaveProject(*project, error);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Read(Path("keep.twp")), before);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1u);  // no temporary file left behind

    project->filePath = Path("no/such/folder/x.twp");
    EXPECT_FALSE(SaveProject(*project, error));
}

// Every input that ever troubled the reader stays as a regression input.
TEST_F(Projects, RegressionInputsLoadOrFailCleanly) {
    const fs::path inputs = fs::path(TARNWICK_SOURCE_DIR) / "tests/fuzz/regressions/project";
    const fs::path seeds = fs::path(TARNWICK_SOURCE_DIR) / "tests/fuzz/corpus/project";
    for (const fs::path& folder : {inputs, seeds}) {
        if (!fs::exists(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (Load(Read(entry.path().string()))) {
                const Bytes saved = ProjectFileBytes(*project);
                EXPECT_TRUE(Load(saved)) << entry.path();
            }
        }
    }
}

}  // namespace
}  // namespace tw
