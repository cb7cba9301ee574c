#pragma once
// The project: a fixed table of 1001 item slots (source code units, bitmaps, sprites, paths,
// music and sounds, each with its bytes and a list of named properties), and its `.twp` file.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class Host;

enum class ItemKind : uint8_t {
    Source = 0,
    Bitmap = 1,
    Music = 2,
    Path = 3,
    Sound = 4,
    Sprite = 5
};

// The kind's name as the tools write it ("source", "bitmap", ...), or "kind N" for others.
std::string ItemKindName(uint8_t kind);

inline constexpr int kMaxProjectItems = 1001;         // slots 0..1000
inline constexpr int32_t kMaxItemDataSize = 2097152;  // 2 MiB
inline constexpr size_t kItemNameBytes = 256;
inline constexpr size_t kProjectHeaderBytes = 60;
// The most a project file can hold: the header and 1001 records of the largest size (the kind,
// the name, the size, the date, the data, and 255 property lines of 255 characters).
inline constexpr size_t kMaxProjectFileBytes =
    kProjectHeaderBytes +
    kMaxProjectItems * (1 + kItemNameBytes + 4 + 8 + size_t{kMaxItemDataSize} + 1 + 255 * 257);

// The file's first 60 bytes, kept verbatim; the fields are little-endian.
struct ProjectHeader {
    std::array<uint8_t, kProjectHeaderBytes> bytes{};

    bool MagicOk() const { return bytes[0] == 'T' && bytes[1] == 'W' && bytes[2] == 'P'; }
    int32_t Get(size_t offset) const;
    void Set(size_t offset, int32_t value);
    int32_t Version() const { return Get(8); }

    static constexpr size_t kFieldA = 4, kVersion = 8, kSourceCount = 12, kBitmapCount = 16,
                            kSpriteCount = 20, kMusicCount = 24, kPathCount = 28, kSoundCount = 32,
                            kFieldB = 36, kFieldC = 40, kDisplayText = 44, kFieldD = 56;
};

struct ProjectItem {
    bool used = false;
    uint8_t kind = 0;
    std::array<char, kItemNameBytes> name{};  // zero-terminated, kept whole as held
    int32_t size = 0;
    double added = 0.0;  // days since 30 December 1899, local time
    std::vector<uint8_t> data;

    std::string Name() const;  // up to the terminator
    void SetName(std::string_view text);
};

// Text lines read in pairs: line 2k a property's name, line 2k + 1 its value.
using ItemProperties = std::vector<std::string>;

struct ProjectState {
    std::string fileName;  // without folder
    std::string filePath;  // empty until saved or loaded
    bool projectOpen = false;
    bool projectModified = false;
    ProjectHeader header;
    std::array<ProjectItem, kMaxProjectItems> items;
    std::array<ItemProperties, kMaxProjectItems> properties;

    // The main code unit: the first source unit, whatever slot it is in (-1: there is none).
    int MainSlot() const;
    // Its text, which the source editor shows (empty when there is none). Setting it makes the
    // unit in slot 0, or the first free slot, when there is none.
    std::string MainSource() const;
    void SetMainSource(std::string_view text);
};

// The template of a new project: one main code unit holding the welcome text.
void NewProject(ProjectState& project);
std::string NewProjectTemplate();

// A project file's bytes, at most kMaxProjectFileBytes of them (a folder, a device or a larger
// file is refused); false with the reason.
bool ReadProjectFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// Loads a project file; message boxes go to the host. True when the project is open.
bool LoadProject(ProjectState& project, const std::string& path, Host& host);
// The same, from the file's bytes (the file name is used for the project's name).
bool LoadProjectBytes(ProjectState& project, const std::vector<uint8_t>& bytes,
                      const std::string& path, Host& host);

// Writes the project to its file path: a new file written next to it, then renamed over it, so
// that a failure half-way leaves the old file as it was. False, with the reason, on failure.
bool SaveProject(ProjectState& project, std::string& error);
// The bytes SaveProject writes (the project itself does not change).
std::vector<uint8_t> ProjectFileBytes(const ProjectState& project);

// Adds a file as an item of the kind (not a source unit); messages go to the host.
bool AddItemFromFile(ProjectState& project, ItemKind kind, const std::string& path, Host& host);
// Adds an empty source unit "Untitled"; its slot, or -1 when the project is full.
int AddSourceUnit(ProjectState& project, Host& host);

// The value of a property of the first used item of the kind with exactly that name. False (and
// `value` unchanged) when there is no such item or property.
bool FindItemProperty(const ProjectState& project, std::string_view itemName,
                      std::string_view propertyName, ItemKind kind, std::string& value);

// The check a path's "ID" must pass before it changes: the message that refuses the new value,
// or empty when it may be set (other items and properties always may).
std::string CheckPropertyChange(const ProjectState& project, int slot,
                                std::string_view propertyName, std::string_view newValue);

// The messages of loading and adding.
extern const char* const kMsgNotAProject;
extern const char* const kMsgOlderVersion;
extern const char* const kMsgNewerVersion;
extern const char* const kMsgCorruptProject;
extern const char* const kMsgCannotOpenFile;
extern const char* const kMsgProjectFull;
extern const char* const kMsgFileTooLarge;
extern const char* const kMsgPathIdNotNumber;
extern const char* const kMsgPathIdTaken;

}  // namespace tw
