// The project model and the `.twp` file: the header, then one record per used slot (kind, name,
// size, date added, data, and from version 2 on the property lines).
//
// Sections: header and items; the new-project template; loading; saving; adding items;
// properties.

#include "project/twp_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "frontend/number_text.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/host.h"

namespace tw {

const char* const kMsgNotAProject =
    "Could not load Tarnwick project! Please ensure that this is a valid project, which is not "
    "locked by another application!";
const char* const kMsgOlderVersion =
    "Warning : The selected Tarnwick project was created using an older version of Tarnwick. "
    "Possible difference include : \r\r* No properties listed for any files within this "
    "project.\r\rIf this project loads please Re-save it to upgrade it.";
const char* const kMsgNewerVersion =
    "Warning : The selected Tarnwick project was created using a newer version of Tarnwick. This "
    "project may not correctly load! If the project does load, Re-Saving any changes will lose "
    "any enhancements stored by the newer version of Tarnwick.";
const char* const kMsgCorruptProject =
    "Error : COuld not load this Tarnwick project! Please make sure the project is not corrupt!!";
const char* const kMsgCannotOpenFile =
    "Could not open the selected file, please verify it is not open by another application.";
const char* const kMsgProjectFull =
    "Could not add this file to the project because this project is full (maximum files = 1000) "
    "delete any unwanted files.";
// A file over the limit could be added but the project could never be loaded again.
const char* const kMsgFileTooLarge =
    "Could not add this file to the project because it is larger than 2 MiB (2097152 bytes), "
    "the largest file a project can hold.";
const char* const kMsgPathIdNotNumber =
    "Path ID Must be a valid numerical value. It must be unique to each path.";
const char* const kMsgPathIdTaken =
    "Warning : Could not change this paths ID to the specified value. A path with this value "
    "currently exists!";

// ---------------------------------------------------------------------------------------------
// Header and items

std::string ItemKindName(uint8_t kind) {
    switch (kind) {
        case 0:
            return "source";
        case 1:
            return "bitmap";
        case 2:
            return "music";
        case 3:
            return "path";
        case 4:
            return "sound";
        case 5:
            return "sprite";
        default:
            return "kind " + std::to_string(kind);
    }
}

int32_t ProjectHeader::Get(size_t offset) const {
    uint32_t v = uint32_t{bytes[offset]} | (uint32_t{bytes[offset + 1]} << 8) |
                 (uint32_t{bytes[offset + 2]} << 16) | (uint32_t{bytes[offset + 3]} << 24);
    return static_cast<int32_t>(v);
}

void ProjectHeader::Set(size_t offset, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string ProjectItem::Name() const {
    const size_t end = std::find(name.begin(), name.end(), '\0') - name.begin();
    return std::string(name.data(), end);
}

void ProjectItem::SetName(std::string_view text) {
    name.fill('\0');
    std::copy_n(text.begin(), std::min(text.size(), kItemNameBytes - 1), name.begin());
}

int ProjectState::MainSlot() const {
    for (int i = 0; i < kMaxProjectItems; ++i) {
        if (items[i].used && items[i].kind == static_cast<uint8_t>(ItemKind::Source)) return i;
    }
    return -1;
}

std::string ProjectState::MainSource() const {
    const int slot = MainSlot();
    if (slot < 0) return std::string();
    const ProjectItem& main = items[slot];
    return std::string(main.data.begin(), main.data.end());
}

void ProjectState::SetMainSource(std::string_view text) {
    int slot = MainSlot();
    if (slot < 0) {
        for (slot = 0; slot < kMaxProjectItems && items[slot].used; ++slot) {
        }
        if (slot == kMaxProjectItems) return;  // full, and no source unit to hold the text
        items[slot].used = true;
        items[slot].kind = static_cast<uint8_t>(ItemKind::Source);
    }
    ProjectItem& main = items[slot];
    main.data.assign(text.begin(), text.end());
    main.size = static_cast<int32_t>(main.data.size());
}

// ---------------------------------------------------------------------------------------------
// The new-project template

std::string NewProjectTemplate() {
    static const char* const kLines[] = {
        "REM",
        "REM *************",
        "REM  NEW PROJECT",
        "REM *************",
        "REM",
        "REM Thank you for choosing Tarnwick to develop your high-speed",
        "REM applications, games or demos. If you require help with any ",
        "REM aspects of Tarnwick, please search the help system or",
        "REM visit the Tarnwick web site, https://tarnwick.example.org, to read a",
        "REM tutorial, access source code, join mailing lists and e-mail the",
        "REM authors.",
        "REM",
        "REM Tarnwick is written and maintained by the Tarnwick developers,",
        "REM with thanks to everyone who sent programs, bugs and ideas.",
        "REM",
    };
    std::string text;
    for (const char* line : kLines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void NewProject(ProjectState& project) {
    ProjectHeader& h = project.header;
    h.bytes.fill(0);
    h.bytes[0] = 'T', h.bytes[1] = 'W', h.bytes[2] = 'P';
    h.Set(ProjectHeader::kFieldA, 1);
    h.Set(ProjectHeader::kVersion, 2);
    h.Set(ProjectHeader::kSourceCount, 1);
    h.Set(ProjectHeader::kFieldC, 20);
    std::memcpy(&h.bytes[ProjectHeader::kDisplayText], "800x600", 7);
    h.Set(ProjectHeader::kFieldD, 8);

    for (int i = 0; i < kMaxProjectItems; ++i) {
        project.items[i] = ProjectItem{};
        project.properties[i].clear();
    }
    ProjectItem& main = project.items[0];
    main.used = true;
    main.kind = static_cast<uint8_t>(ItemKind::Source);
    main.SetName("Main Code");
    main.added = LocalDateTimeNow();
    project.SetMainSource(NewProjectTemplate());
    project.properties[0] = {"Name", "MainCode", "Comments", "This is the main TW code"};
    project.fileName = "NewProject.twp";
    project.filePath.clear();
}

// ---------------------------------------------------------------------------------------------
// Loading

namespace {

// A fault in the file's structure; LoadProject reports it as a project that could not load.
struct Corrupt : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool AtEnd() const { return position_ >= bytes_.size(); }
    size_t Remaining() const { return bytes_.size() - position_; }
    void Read(void* out, size_t n) {
        if (n == 0) return;  // an empty buffer may have no storage at all
        if (n > Remaining()) throw Corrupt("the file ends in the middle of a record");
        std::memcpy(out, bytes_.data() + position_, n);
        position_ += n;
    }
    uint8_t Byte() {
        uint8_t b;
        Read(&b, 1);
        return b;
    }
    int32_t Int32() {
        uint8_t b[4];
        Read(b, 4);
        return static_cast<int32_t>(uint32_t{b[0]} | (uint32_t{b[1]} << 8) |
                                    (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24));
    }
    double Double() {
        uint8_t b[8];
        Read(b, 8);
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[i];
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t position_ = 0;
};

// The state after a load that failed on a fault in the file: the new-project template, with the
// editor's text replaced by the error lines.
void FailedLoad(ProjectState& project, Host& host) {
    NewProject(project);
    project.projectOpen = false;
    project.SetMainSource("REM\r\nREM *** ERROR - Project Not Loaded!\r\nREM\r\n");
    host.ShowMessage(MessageKind::Error, kMsgCorruptProject);
}

}  // namespace

bool LoadProjectBytes(ProjectState& project, const std::vector<uint8_t>& bytes,
                      const std::string& path, Host& host) {
    project.projectOpen = false;
    ProjectHeader header;
    if (!bytes.empty()) {
        std::memcpy(header.bytes.data(), bytes.data(), std::min(bytes.size(), kProjectHeaderBytes));
    }
    if (bytes.size() < 3 || !header.MagicOk()) {
        host.ShowMessage(MessageKind::Error, kMsgNotAProject);
        return false;
    }
    try {
        // A header cut short leaves its fields unknown: the file is not a whole project.
        if (bytes.size() < kProjectHeaderBytes) throw Corrupt("the header is cut short");
        const int32_t version = header.Version();
        if (version == 1) host.ShowMessage(MessageKind::Information, kMsgOlderVersion);
        if (version > 2) host.ShowMessage(MessageKind::Error, kMsgNewerVersion);

        // The records are read into a fresh table and take the project's place only when they
        // were all read.
        auto items = std::make_unique<std::array<ProjectItem, kMaxProjectItems>>();
        auto properties = std::make_unique<std::array<ItemProperties, kMaxProjectItems>>();
        Reader in(bytes);
        uint8_t skip[kProjectHeaderBytes];
        in.Read(skip, kProjectHeaderBytes);
        for (int i = 0; !in.AtEnd(); ++i) {
            if (i >= kMaxProjectItems) throw Corrupt("more than 1001 records");
            ProjectItem& item = (*items)[i];
            item.used = true;
            item.kind = in.Byte();
            in.Read(item.name.data(), kItemNameBytes);
            if (std::find(item.name.begin(), item.name.end(), '\0') == item.name.end()) {
                throw Corrupt("a name without its terminator");
            }
            item.size = in.Int32();
            item.added = in.Double();
            if (item.size > kMaxItemDataSize) {
                // The slots read so far, this one among them, stay; the project is not open.
                project.header = header;
                project.items = std::move(*items);
                project.properties = std::move(*properties);
                host.ShowMessage(MessageKind::Error, kMsgNotAProject);
                return false;
            }
            if (item.size < 0) throw Corrupt("a negative size");
            if (static_cast<size_t>(item.size) > in.Remaining()) throw Corrupt("data cut short");
            item.data.resize(static_cast<size_t>(item.size));
            in.Read(item.data.data(), item.data.size());
            if (version > 1) {
                const int lines = in.Byte();
                ItemProperties& list = (*properties)[i];
                for (int k = 0; k < lines; ++k) {
                    // One byte N, then N bytes: the length L again and L characters.
                    const int stored = in.Byte();
                    if (stored == 0) throw Corrupt("a property line without its length");
                    const int length = in.Byte();
                    if (length + 1 != stored) throw Corrupt("a property line's lengths disagree");
                    std::string line(static_cast<size_t>(length), '\0');
                    in.Read(line.data(), line.size());
                    list.push_back(std::move(line));
                }
            }
        }
        project.header = header;
        project.items = std::move(*items);
        project.properties = std::move(*properties);
    } catch (const Corrupt&) {
        FailedLoad(project, host);
        return false;
    }
    project.projectOpen = true;
    project.fileName = BaseName(path);
    project.filePath = path;
    project.projectModified = false;
    return true;
}

bool ReadProjectFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    return ReadWholeFile(path, kMaxProjectFileBytes, bytes, error);
}

bool LoadProject(ProjectState& project, const std::string& path, Host& host) {
    project.projectOpen = false;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadProjectFile(path, bytes, error)) {
        FailedLoad(project, host);
        return false;
    }
    return LoadProjectBytes(project, bytes, path, host);
}

// ---------------------------------------------------------------------------------------------
// Saving

std::vector<uint8_t> ProjectFileBytes(const ProjectState& project) {
    // Every save writes the version this layout belongs to.
    ProjectHeader header = project.header;
    header.Set(ProjectHeader::kVersion, 2);
    std::vector<uint8_t> out(header.bytes.begin(), header.bytes.end());
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    for (int i = 0; i < kMaxProjectItems; ++i) {
        const ProjectItem& item = project.items[i];
        if (!item.used) continue;
        out.push_back(item.kind);
        out.insert(out.end(), item.name.begin(), item.name.end());
        // The record holds exactly `size` bytes of data.
        const size_t size = std::min(item.data.size(), static_cast<size_t>(std::max(item.size, 0)));
        put32(static_cast<uint32_t>(size));
        uint64_t bits;
        std::memcpy(&bits, &item.added, 8);
        for (int b = 0; b < 8; ++b) out.push_back(static_cast<uint8_t>(bits >> (8 * b)));
        out.insert(out.end(), item.data.begin(), item.data.begin() + static_cast<ptrdiff_t>(size));
        const ItemProperties& list = project.properties[i];
        const size_t lines = std::min<size_t>(list.size(), 255);
        out.push_back(static_cast<uint8_t>(lines));
        for (size_t k = 0; k < lines; ++k) {
            const size_t length = std::min<size_t>(list[k].size(), 255);
            out.push_back(static_cast<uint8_t>(length + 1));
            out.push_back(static_cast<uint8_t>(length));
            out.insert(out.end(), list[k].begin(),
                       list[k].begin() + static_cast<ptrdiff_t>(length));
        }
    }
    return out;
}

bool SaveProject(ProjectState& project, std::string& error) {
    if (project.filePath.empty()) {
        error = "the project has no file name";
        return false;
    }
    const std::vector<uint8_t> bytes = ProjectFileBytes(project);
    if (!WriteFileAtomically(project.filePath, bytes, error)) return false;
    // What the project now is on the disk.
    project.header.Set(ProjectHeader::kVersion, 2);
    project.fileName = BaseName(project.filePath);
    project.projectModified = false;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Adding items

namespace {

int FirstFreeSlot(const ProjectState& project) {
    for (int i = 0; i < kMaxProjectItems; ++i) {
        if (!project.items[i].used) return i;
    }
    return -1;
}

}  // namespace

bool AddItemFromFile(ProjectState& project, ItemKind kind, const std::string& path, Host& host) {
    // Read first, bounded: a folder, a device or a FIFO no one writes to is not waited on.
    std::vector<uint8_t> data;
    std::string error;
    const ReadStatus read = ReadFileBounded(path, kMaxItemDataSize, data, error);
    if (read == ReadStatus::Failed) {
        host.ShowMessage(MessageKind::Error, kMsgCannotOpenFile);
        return false;
    }
    const int slot = FirstFreeSlot(project);
    if (slot < 0) {
        host.ShowMessage(MessageKind::Error, kMsgProjectFull);
        return false;
    }
    if (read == ReadStatus::TooLarge) {
        host.ShowMessage(MessageKind::Error, kMsgFileTooLarge);
        return false;
    }
    // A new path takes the next ID after the largest in use.
    int32_t nextId = 1;
    if (kind == ItemKind::Path) {
        int32_t largest = 0;
        for (int i = 0; i < kMaxProjectItems; ++i) {
            if (!project.items[i].used ||
                project.items[i].kind != static_cast<uint8_t>(ItemKind::Path))
                continue;
            const ItemProperties& list = project.properties[i];
            for (size_t k = 0; k + 1 < list.size(); k += 2) {
                if (list[k] != "ID") continue;
                int32_t id;
                if (!ParseWholeNumber(list[k + 1], id)) {
                    host.ShowMessage(MessageKind::Error,
                                     "Could not add this path to the project because the path \"" +
                                         project.items[i].Name() +
                                         "\" has an ID that is not a number: \"" + list[k + 1] +
                                         "\".");
                    return false;
                }
                largest = std::max(largest, id);
            }
        }
        nextId = largest + 1;
    }

    ProjectItem& item = project.items[slot];
    item = ProjectItem{};
    item.used = true;
    item.kind = static_cast<uint8_t>(kind);
    item.SetName(BaseName(path));
    item.added = LocalDateTimeNow();
    item.size = static_cast<int32_t>(data.size());
    item.data = std::move(data);
    ProjectHeader& h = project.header;
    switch (kind) {
        case ItemKind::Bitmap:
            h.Set(ProjectHeader::kBitmapCount, h.Get(ProjectHeader::kBitmapCount) + 1);
            break;
        case ItemKind::Sprite:
            h.Set(ProjectHeader::kSpriteCount, h.Get(ProjectHeader::kSpriteCount) + 1);
            break;
        case ItemKind::Music:
            h.Set(ProjectHeader::kMusicCount, h.Get(ProjectHeader::kMusicCount) + 1);
            break;
        case ItemKind::Path:
            h.Set(ProjectHeader::kPathCount, h.Get(ProjectHeader::kPathCount) + 1);
            break;
        default:
            break;  // adding a sound does not count it
    }
    ItemProperties& list = project.properties[slot];
    list = {"Name", item.Name(), "Comments", ""};
    if (kind == ItemKind::Path) {
        list.push_back("ID");
        list.push_back(std::to_string(nextId));
    } else if (kind == ItemKind::Sound) {
        list.insert(list.end(), {"Default Playback Speed", "44000", "Volumne", "100"});
    }
    return true;
}

int AddSourceUnit(ProjectState& project, Host& host) {
    const int slot = FirstFreeSlot(project);
    if (slot < 0) {
        host.ShowMessage(MessageKind::Error, kMsgProjectFull);
        return -1;
    }
    ProjectItem& item = project.items[slot];
    item = ProjectItem{};
    item.used = true;
    item.kind = static_cast<uint8_t>(ItemKind::Source);
    item.SetName("Untitled");
    item.added = LocalDateTimeNow();
    ProjectHeader& h = project.header;
    h.Set(ProjectHeader::kSourceCount, h.Get(ProjectHeader::kSourceCount) + 1);
    project.properties[slot] = {"Name", "Untitled", "Comments", ""};
    return slot;
}

// ---------------------------------------------------------------------------------------------
// Properties

bool FindItemProperty(const ProjectState& project, std::string_view itemName,
                      std::string_view propertyName, ItemKind kind, std::string& value) {
    for (int i = 0; i < kMaxProjectItems; ++i) {
        const ProjectItem& item = project.items[i];
        if (!item.used || item.kind != static_cast<uint8_t>(kind) || item.Name() != itemName)
            continue;
        const ItemProperties& list = project.properties[i];
        for (size_t k = 0; k + 1 < list.size(); k += 2) {
            if (list[k] == propertyName) {
                value = list[k + 1];
                return true;
            }
        }
        return false;
    }
    return false;
}

std::string CheckPropertyChange(const ProjectState& project, int slot,
                                std::string_view propertyName, std::string_view newValue) {
    const ProjectItem& item = project.items[slot];
    if (!item.used || item.kind != static_cast<uint8_t>(ItemKind::Path) || propertyName != "ID") {
        return std::string();
    }
    int32_t id;
    if (!ParseWholeNumber(newValue, id)) return kMsgPathIdNotNumber;
    // IDs are compared as texts: 01 is not 1.
    for (int i = 0; i < kMaxProjectItems; ++i) {
        if (!project.items[i].used || project.items[i].kind != static_cast<uint8_t>(ItemKind::Path))
            continue;
        const ItemProperties& list = project.properties[i];
        for (size_t k = 0; k + 1 < list.size(); k += 2) {
            if (list[k] == "ID" && list[k + 1] == newValue) return kMsgPathIdTaken;
        }
    }
    return std::string();
}

}  // namespace tw
