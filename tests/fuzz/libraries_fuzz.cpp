// The image and map library readers on arbitrary bytes. Besides not crashing: whatever a reader
// accepted (all of the input, or the part before a failure) must be the same through a buffer and
// a stream (a pipe at least fails where they fail), must write out as a file that reads back to the
// same bytes, and a copy must write the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "display/disp_screen.h"
#include "display/image_library.h"
#include "platform/host.h"

namespace {

using namespace tw;

// A host with nothing behind it: the screen only needs one to exist.
class NullHost : public Host {
public:
    uint32_t TickCount() override { return 0; }
    bool KeyDown(int) override { return false; }
    bool ReadKeyState(uint8_t state[256]) override {
        for (int i = 0; i < 256; ++i) state[i] = 0;
        return true;
    }
    void ShowMessage(MessageKind, std::string_view) override {}
    bool DebugShown() override { return false; }
    void DebugOutput(std::string_view) override {}
    void Trace(std::string_view) override {}
};

// A stream that cannot seek.
class PipeBuf : public std::stringbuf {
public:
    explicit PipeBuf(const std::string& s) : std::stringbuf(s) {}

protected:
    pos_type seekoff(off_type, std::ios::seekdir, std::ios::openmode) override { return -1; }
};

void Require(bool condition) {
    if (!condition) std::abort();
}

template <typename Library>
std::string Written(const Library& library) {
    std::ostringstream out;
    library.WriteToStream(out);
    return out.str();
}

std::span<const uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

template <typename Library>
void Check(std::span<const uint8_t> input, Library& library) {
    std::string error;
    try {
        library.ReadFromBuffer(input);
    } catch (const EDispLibrary& e) {
        error = e.what();
    }
    // A stream reads exactly what the buffer read, and fails with the same message.
    Library streamed;
    std::istringstream in(std::string(input.begin(), input.end()));
    std::string streamError;
    try {
        streamed.ReadFromStream(in);
    } catch (const EDispLibrary& e) {
        streamError = e.what();
    }
    const std::string written = Written(library);
    Require(Written(streamed) == written);
    Require(streamError == error);
    // A pipe, whose length is unknown, cannot refuse a count or size in advance: it fails at the
    // short read instead, keeping what came before. On good input it reads what the buffer read.
    PipeBuf pipe(std::string(input.begin(), input.end()));
    std::istream piped(&pipe);
    Library fromPipe, pipeAgain;
    bool pipeFailed = false;
    try {
        fromPipe.ReadFromStream(piped);
    } catch (const EDispLibrary&) {
        pipeFailed = true;
    }
    const std::string pipeWritten = Written(fromPipe);
    Require(pipeFailed == !error.empty());
    if (error.empty()) Require(pipeWritten == written);
    pipeAgain.ReadFromBuffer(BytesOf(pipeWritten));
    Require(Written(pipeAgain) == pipeWritten);

    Library again, copy;
    again.ReadFromBuffer(BytesOf(written));  // an exception here is a finding
    Require(Written(again) == written);
    library.AssignTo(copy);
    Require(Written(copy) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    TDispMaps maps;
    Check(input, maps);
    TDispImageLib lib;
    Check(input, lib.Images());
    lib.BuildBitmaps();
    Require(static_cast<int>(lib.Bitmaps().size()) == lib.Images().Count());

    static NullHost host;
    static TDispScreen screen(host, [] { return 0u; });
    std::vector<std::unique_ptr<TDispSurface>> surfaces;
    try {
        LoadImageLibrary(screen, lib.Images(), size > 0 && (data[0] & 1), surfaces);
    } catch (const EDispSurface&) {
        // An image without pixels cannot be a surface.
    }
    for (size_t i = 0; i < surfaces.size(); ++i) {
        const TDispImage& image = lib.Images().Image(static_cast<int>(i));
        Require(surfaces[i]->Width() == image.Width() && surfaces[i]->Height() == image.Height());
    }
    return 0;
}
