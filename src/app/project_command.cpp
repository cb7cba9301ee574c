// tarnwick project: make and inspect project files without the environment.
//
//   tarnwick project new FILE.twp [--source SRC] [--force]
//   tarnwick project add FILE.twp KIND PATH...
//   tarnwick project list FILE.twp
//   tarnwick project extract FILE.twp SLOT OUT
//   tarnwick project set FILE.twp SLOT PROPERTY VALUE
//
// A command that fails leaves the file as it was: every change is made in memory and written
// only when the whole command succeeded.

#include "app/project_command.h"

#include "app/exit_status.h"
#include "platform/files.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/headless/headless_host.h"
#include "project/twp_file.h"

namespace tw {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;

const char* const kProjectUsage =
    "usage: tarnwick project new FILE.twp [--source SRC] [--force]\n"
    "       tarnwick project add FILE.twp KIND PATH...\n"
    "       tarnwick project list FILE.twp\n"
    "       tarnwick project extract FILE.twp SLOT OUT\n"
    "       tarnwick project set FILE.twp SLOT PROPERTY VALUE\n"
    "\n"
    "KIND is one of source, bitmap, sprite, path, music, sound. OUT may be - for stdout.\n";

int Usage(const std::string& reason) {
    std::fprintf(stderr, "tarnwick: %s\n%s", reason.c_str(), kProjectUsage);
    return kExitUsage;
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Messages of the project model go to stderr, as the environment would show them in boxes.
std::unique_ptr<HeadlessHost> MessageHost() {
    HeadlessHost::Options options;
    options.messages = stderr;
    options.debug = nullptr;
    return std::make_unique<HeadlessHost>(options);
}

int Load(ProjectState& project, const std::string& file, Host& host) {
    return LoadProjectForVerb(project, file, host);
}

int Save(ProjectState& project) {
    std::string error;
    if (!SaveProject(project, error)) {
        std::fprintf(stderr, "tarnwick: cannot write %s: %s\n", project.filePath.c_str(),
                     error.c_str());
        return kExitCannotWrite;
    }
    return kExitOk;
}

bool ParseSlot(const std::string& text, int& slot) {
    if (text.empty() || text.size() > 4) return false;
    slot = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        slot = slot * 10 + (c - '0');
    }
    return slot < kMaxProjectItems;
}

int NewCommand(const std::vector<std::string>& args) {
    std::string file, source;
    bool force = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--force") {
            force = true;
        } else if (args[i] == "--source") {
            if (i + 1 >= args.size()) return Usage("--source needs a file");
            source = args[++i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage("unknown option " + args[i]);
        } else if (file.empty()) {
            file = args[i];
        } else {
            return Usage("more than one FILE given");
        }
    }
    if (file.empty()) return Usage("no FILE given");
    if (Exists(file) && !force) {
        std::fprintf(stderr, "tarnwick: %s already exists (use --force to replace it)\n",
                     file.c_str());
        return kExitFailed;
    }
    auto project = std::make_unique<ProjectState>();
    NewProject(*project);
    project->projectOpen = true;
    if (!source.empty()) {
        std::string text, error;
        switch (ReadFileBounded(source, kMaxItemDataSize, text, error)) {
            case ReadStatus::Ok:
                break;
            case ReadStatus::Failed:
                std::fprintf(stderr, "tarnwick: cannot read %s: %s\n", source.c_str(),
                             error.c_str());
                return kExitNoInput;
            case ReadStatus::TooLarge:
                std::fprintf(stderr, "%s\n", kMsgFileTooLarge);
                return kExitFailed;
        }
        project->SetMainSource(text);
    }
    project->filePath = file;
    return Save(*project);
}

bool KindFromName(const std::string& name, ItemKind& kind) {
    static const std::pair<const char*, ItemKind> kKinds[] = {
        {"source", ItemKind::Source}, {"bitmap", ItemKind::Bitmap}, {"sprite", ItemKind::Sprite},
        {"path", ItemKind::Path},     {"music", ItemKind::Music},   {"sound", ItemKind::Sound}};
    for (const auto& [word, k] : kKinds) {
        if (name == word) {
            kind = k;
            return true;
        }
    }
    return false;
}

int AddCommand(const std::vector<std::string>& args) {
    if (args.size() < 3) return Usage("add needs FILE, KIND and at least one PATH");
    ItemKind kind;
    if (!KindFromName(args[1], kind)) return Usage("unknown KIND " + args[1]);
    auto host = MessageHost();
    auto project = std::make_unique<ProjectState>();
    if (int status = Load(*project, args[0], *host); status >= 0) return status;
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& path = args[i];
        if (kind != ItemKind::Source) {
            if (!AddItemFromFile(*project, kind, path, *host)) return kExitFailed;
            continue;
        }
        // A source unit made from a file: the unit the environment adds, holding the file.
        std::string text, error;
        switch (ReadFileBounded(path, kMaxItemDataSize, text, error)) {
            case ReadStatus::Ok:
                break;
            case ReadStatus::Failed:
                host->ShowMessage(MessageKind::Error, kMsgCannotOpenFile);
                return kExitFailed;
            case ReadStatus::TooLarge:
                host->ShowMessage(MessageKind::Error, kMsgFileTooLarge);
                return kExitFailed;
        }
        const int slot = AddSourceUnit(*project, *host);
        if (slot < 0) return kExitFailed;
        ProjectItem& item = project->items[slot];
        item.SetName(BaseName(path));
        item.data.assign(text.begin(), text.end());
        item.size = static_cast<int32_t>(item.data.size());
        project->properties[slot] = {"Name", item.Name(), "Comments", ""};
    }
    return Save(*project);
}

int ListCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("list needs exactly one FILE");
    auto host = MessageHost();
    auto project = std::make_unique<ProjectState>();
    if (int status = Load(*project, args[0], *host); status >= 0) return status;
    std::printf("%-5s %-8s %9s  %-19s  %s\n", "slot", "kind", "size", "added", "name");
    for (int i = 0; i < kMaxProjectItems; ++i) {
        const ProjectItem& item = project->items[i];
        if (!item.used) continue;
        std::printf("%-5d %-8s %9d  %-19s  %s\n", i, ItemKindName(item.kind).c_str(), item.size,
                    DateTimeText(item.added).c_str(), item.Name().c_str());
        const ItemProperties& list = project->properties[i];
        for (size_t k = 0; k < list.size(); k += 2) {
            std::printf("      %s = %s\n", list[k].c_str(),
                        k + 1 < list.size() ? list[k + 1].c_str() : "");
        }
    }
    return kExitOk;
}

int ExtractCommand(const std::vector<std::string>& args) {
    if (args.size() != 3) return Usage("extract needs FILE, SLOT and OUT");
    int slot;
    if (!ParseSlot(args[1], slot)) return Usage("SLOT must be a number from 0 to 1000");
    auto host = MessageHost();
    auto project = std::make_unique<ProjectState>();
    if (int status = Load(*project, args[0], *host); status >= 0) return status;
    const ProjectItem& item = project->items[slot];
    if (!item.used) {
        std::fprintf(stderr, "tarnwick: slot %d of %s is empty\n", slot, args[0].c_str());
        return kExitFailed;
    }
    const std::string& out = args[2];
    if (out == "-") {
        std::fwrite(item.data.data(), 1, item.data.size(), stdout);
        return std::fflush(stdout) == 0 ? kExitOk : kExitCannotWrite;
    }
    std::string error;
    if (!WriteFileAtomically(out, item.data, error)) {
        std::fprintf(stderr, "tarnwick: cannot write %s: %s\n", out.c_str(), error.c_str());
        return kExitCannotWrite;
    }
    return kExitOk;
}

int SetCommand(const std::vector<std::string>& args) {
    if (args.size() != 4) return Usage("set needs FILE, SLOT, PROPERTY and VALUE");
    int slot;
    if (!ParseSlot(args[1], slot)) return Usage("SLOT must be a number from 0 to 1000");
    const std::string& property = args[2];
    const std::string& value = args[3];
    if (property.empty()) return Usage("PROPERTY must not be empty");
    if (property.size() > 255 || value.size() > 255) {
        std::fprintf(stderr, "tarnwick: a property's name and value hold at most 255 characters\n");
        return kExitFailed;
    }
    auto host = MessageHost();
    auto project = std::make_unique<ProjectState>();
    if (int status = Load(*project, args[0], *host); status >= 0) return status;
    if (!project->items[slot].used) {
        std::fprintf(stderr, "tarnwick: slot %d of %s is empty\n", slot, args[0].c_str());
        return kExitFailed;
    }
    // A value set to what it already is changes nothing and needs no check (a path's own ID
    // is not taken by another path).
    const ItemProperties& current = project->properties[slot];
    for (size_t k = 0; k + 1 < current.size(); k += 2) {
        if (current[k] == property && current[k + 1] == value) return kExitOk;
    }
    const std::string refusal = CheckPropertyChange(*project, slot, property, value);
    if (!refusal.empty()) {
        host->ShowMessage(MessageKind::Warning, refusal);
        return kExitFailed;
    }
    ItemProperties& list = project->properties[slot];
    bool found = false;
    for (size_t k = 0; k + 1 < list.size(); k += 2) {
        if (list[k] == property) {
            list[k + 1] = value;
            found = true;
            break;
        }
    }
    if (!found) {
        if (list.size() % 2 == 1) list.push_back(std::string());  // complete a last odd line
        if (list.size() + 2 > 255) {
            std::fprintf(stderr, "tarnwick: an item holds at most 255 property lines\n");
            return kExitFailed;
        }
        list.push_back(property);
        list.push_back(value);
    }
    return Save(*project);
}

}  // namespace

int LoadProjectForVerb(ProjectState& project, const std::string& file, Host& host) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadProjectFile(file, bytes, error)) {
        std::fprintf(stderr, "tarnwick: cannot read %s: %s\n", file.c_str(), error.c_str());
        return kExitNoInput;
    }
    if (!LoadProjectBytes(project, bytes, file, host)) return kExitFailed;
    return -1;
}

int ProjectVerb(int argc, char** argv) {
    if (argc < 1) return Usage("no project command given");
    const std::string command = argv[0];
    std::vector<std::string> args(argv + 1, argv + argc);
    if (command == "new") return NewCommand(args);
    if (command == "add") return AddCommand(args);
    if (command == "list") return ListCommand(args);
    if (command == "extract") return ExtractCommand(args);
    if (command == "set") return SetCommand(args);
    return Usage("unknown project command " + command);
}

}  // namespace tw
