#pragma once
// The environment as an application: the per-user flags in the user's settings, and the start
// of the whole (the application, its windows, the start-up sequence, the message loop).

#include <QString>

#include "platform/flags.h"

namespace tw {

// The flags in the user's settings (organisation and application "Tarnwick"), a group per
// section.
class SettingsFlags : public FlagStore {
public:
    bool ReadFlag(std::string_view section, std::string_view name, bool fallback) override;
    void WriteFlag(std::string_view section, std::string_view name, bool value) override;
    std::vector<std::string> ReadList(std::string_view section, std::string_view name) override;
    void WriteList(std::string_view section, std::string_view name,
                   const std::vector<std::string>& list) override;
};

// Runs the environment until it ends; `projectPath` (may be empty) is the project to open.
// Returns the process's exit status.
int RunEnvironment(int argc, char** argv, const QString& projectPath);

}  // namespace tw
