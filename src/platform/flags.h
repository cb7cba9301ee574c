#pragma once
// Per-user boolean settings, each named by a section and a name: whether the first-run welcome
// was shown ("Alpha", "Startup") and whether the tips show at start ("Tips", "Startup"). The
// environment keeps them in the user's settings; a run without it keeps them in memory.

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tw {

inline constexpr const char* kAlphaSection = "Alpha";
inline constexpr const char* kTipsSection = "Tips";
inline constexpr const char* kStartupFlag = "Startup";
// The projects opened or saved last, the latest first ("Projects", "Recent").
inline constexpr const char* kProjectsSection = "Projects";
inline constexpr const char* kRecentList = "Recent";
inline constexpr int kRecentProjects = 8;
// A project's breakpoints ("Breakpoints", the SHA-1 of the project file's path): its 0-based
// lines.
inline constexpr const char* kBreakpointsSection = "Breakpoints";
// Whether the editor colours the language's words ("Editor", "Colouring"; on when never written).
inline constexpr const char* kEditorSection = "Editor";
inline constexpr const char* kColouringFlag = "Colouring";

class FlagStore {
public:
    virtual ~FlagStore() = default;
    // The flag's value, or `fallback` when it was never written.
    virtual bool ReadFlag(std::string_view section, std::string_view name, bool fallback) = 0;
    virtual void WriteFlag(std::string_view section, std::string_view name, bool value) = 0;
    // A list of texts kept the same way (empty when never written).
    virtual std::vector<std::string> ReadList(std::string_view section, std::string_view name) = 0;
    virtual void WriteList(std::string_view section, std::string_view name,
                           const std::vector<std::string>& list) = 0;
};

class MemoryFlags : public FlagStore {
public:
    bool ReadFlag(std::string_view section, std::string_view name, bool fallback) override {
        const auto it = flags_.find({std::string(section), std::string(name)});
        return it == flags_.end() ? fallback : it->second;
    }
    void WriteFlag(std::string_view section, std::string_view name, bool value) override {
        flags_[{std::string(section), std::string(name)}] = value;
    }
    std::vector<std::string> ReadList(std::string_view section, std::string_view name) override {
        const auto it = lists_.find({std::string(section), std::string(name)});
        return it == lists_.end() ? std::vector<std::string>() : it->second;
    }
    void WriteList(std::string_view section, std::string_view name,
                   const std::vector<std::string>& list) override {
        lists_[{std::string(section), std::string(name)}] = list;
    }

private:
    std::map<std::pair<std::string, std::string>, bool> flags_;
    std::map<std::pair<std::string, std::string>, std::vector<std::string>> lists_;
};

}  // namespace tw
