// Fuzz target: the project reader. Whatever the bytes, loading must end cleanly (open or with
// a message), and an open project must save and load back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/host.h"
#include "project/twp_file.h"

namespace {

class SilentHost : public tw::Host {
public:
    uint32_t TickCount() override { return 0; }
    bool KeyDown(int) override { return false; }
    bool ReadKeyState(uint8_t state[256]) override {
        for (int i = 0; i < 256; ++i) state[i] = 0;
        return true;
    }
    void ShowMessage(tw::MessageKind, std::string_view) override {}
    bool DebugShown() override { return false; }
    void DebugOutput(std::string_view) override {}
    void Trace(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentHost host;
    static auto project = std::make_unique<tw::ProjectState>();
    const std::vector<uint8_t> bytes(data, data + size);
    if (!tw::LoadProjectBytes(*project, bytes, "fuzz.twp", host)) return 0;
    const std::vector<uint8_t> saved = tw::ProjectFileBytes(*project);
    if (!tw::LoadProjectBytes(*project, saved, "fuzz.twp", host)) std::abort();
    if (tw::ProjectFileBytes(*project) != saved) std::abort();
    return 0;
}
