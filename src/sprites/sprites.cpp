#include "sprites/sprites.h"

#include <cstring>

#include "display/bmp_reader.h"
#include "frontend/names.h"
#include "frontend/number_text.h"

namespace tw {

// ---------------------------------------------------------------------------------------------
// The tables

void ResetSprites(SpriteTables& t) {
    for (SpriteRecord& s : t.sprites) s = SpriteRecord{};
    for (SpriteImage& i : t.images) i = SpriteImage{};
    t.pixelsUsed = 0;
}

void ResetPaths(SpriteTables& t) {
    for (PathRecord& p : t.paths) p = PathRecord{};
}

int FindRunFile(const SpriteTables& t, std::string_view upperName) {
    if (!t.files) return -1;
    for (size_t i = 0; i < t.files->size(); ++i) {
        if (ToUpper((*t.files)[i].name) == upperName) return static_cast<int>(i);
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Sprite images

int LoadSpriteImage(SpriteTables& t, TDispScreen& screen, std::span<const uint8_t> data,
                    std::string& why) {
    int slot = -1;
    for (int i = 0; i < kSpriteImageSlots && slot < 0; ++i) {
        if (!t.images[i].used) slot = i;
    }
    if (slot < 0) return -1;
    int32_t width = 0, height = 0;
    if (!ProbeBmp(data, width, height, why)) return -2;
    const int64_t pixels = int64_t{width} * height;
    if (t.pixelsUsed + pixels > kSpritePixelBudget) {
        why = "the sprites of one run may hold at most " +
              std::to_string(kSpritePixelBudget >> 20) + " million pixels together";
        return -2;
    }
    BmpImage image;
    if (!ReadBmp(data, [&screen](uint32_t colour) { return screen.NearestIndex(colour); }, image,
                 why)) {
        return -2;
    }
    auto surface = std::make_unique<TDispSurface>(screen, image.width, image.height);
    for (int32_t y = 0; y < image.height; ++y) {
        std::memcpy(surface->Pixels() + static_cast<size_t>(y) * surface->Pitch(),
                    &image.indices[static_cast<size_t>(y) * image.width], image.width);
    }
    SpriteImage& slotRecord = t.images[slot];
    slotRecord.used = true;
    slotRecord.frameCount = 1;
    slotRecord.currentFrame = 1;
    slotRecord.surface = std::move(surface);
    t.pixelsUsed += pixels;
    return slot;
}

void SpriteTables::DrawOver(const Screens& s, TDispSurface& back) {
    for (const SpriteRecord& sprite : sprites) {
        if (!sprite.active || !sprite.surface) continue;
        int64_t x = sprite.x, y = sprite.y;
        Rect source;
        if (ClipToDisplay(s, x, y, sprite.width, sprite.height, source)) {
            back.Draw(x, y, sprite.transparent, source, *sprite.surface);
        }
    }
    back.Canvas().ReleaseHandle();
}

// ---------------------------------------------------------------------------------------------
// Paths

namespace {

// The file's lines, ended by CR LF, CR or LF; a last line without an end counts, an empty piece
// after the last line end does not.
std::vector<std::string_view> Lines(std::span<const uint8_t> data) {
    std::vector<std::string_view> lines;
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return line;
}

}  // namespace

bool ReadPathPoints(std::span<const uint8_t> data, std::vector<std::pair<int32_t, int32_t>>& out,
                    std::string& why) {
    out.clear();
    const std::vector<std::string_view> lines = Lines(data);
    const size_t count = lines.size() < 2 ? 0 : (lines.size() - 2) / 2;
    if (count > static_cast<size_t>(kMaxPathPoints)) {
        why = "it holds " + std::to_string(count) + " points, and a path may hold at most " +
              std::to_string(kMaxPathPoints);
        return false;
    }
    out.reserve(count);
    for (size_t p = 0; p < count; ++p) {
        int32_t xy[2];
        for (size_t k = 0; k < 2; ++k) {
            const size_t line = 2 + 2 * p + k;
            if (!ParseWholeNumber(Trimmed(lines[line]), xy[k])) {
                std::string shown(lines[line].substr(0, 40));
                why = "line " + std::to_string(line + 1) + " (\"" + shown +
                      "\") is not a whole number";
                out.clear();
                return false;
            }
        }
        out.emplace_back(xy[0], xy[1]);
    }
    return true;
}

bool LoadPaths(SpriteTables& t, std::string& failure) {
    ResetPaths(t);
    if (!t.files) return true;
    int next = 0;
    for (const RunFile& file : *t.files) {
        if (!file.isPath) continue;
        if (next >= kPathCount) {
            failure = "The project holds more than " + std::to_string(kPathCount) +
                      " paths; a program can use at most " + std::to_string(kPathCount) +
                      ". Remove the path \"" + file.name + "\" or another one.";
            return false;
        }
        PathRecord& path = t.paths[next++];
        int32_t id;
        if (!ParseWholeNumber(file.id, id)) {
            failure = "The path \"" + file.name + "\" cannot be used: its ID \"" +
                      file.id.substr(0, 40) + "\" is not a whole number.";
            return false;
        }
        std::string why;
        if (!ReadPathPoints(file.data, path.points, why)) {
            failure = "The path \"" + file.name + "\" cannot be used: " + why + ".";
            return false;
        }
        path.used = true;
        path.pathId = id;
        path.pointCount = static_cast<int32_t>(path.points.size());
    }
    return true;
}

void AdvanceSpritePaths(SpriteTables& t) {
    for (SpriteRecord& s : t.sprites) {
        if (!s.active || !s.hasPath || !s.running) continue;
        if (s.pathIndex < 0 || s.pathIndex >= kPathCount) continue;
        const PathRecord& path = t.paths[s.pathIndex];
        s.pathPosition += s.backward ? -s.step : s.step;
        if (s.pathPosition > path.pointCount - 1) {
            switch (s.endMode) {
                case PathEnd::Stop: s.running = false; break;
                case PathEnd::Loop: s.pathPosition = 0; break;
                case PathEnd::Bounce: s.backward = true; break;
            }
        } else if (s.pathPosition < 0) {
            switch (s.endMode) {
                case PathEnd::Stop: s.running = false; break;
                case PathEnd::Loop: s.pathPosition = path.pointCount - 1; break;
                case PathEnd::Bounce: s.backward = false; break;
            }
        } else {
            const auto& point = path.points[static_cast<size_t>(s.pathPosition)];
            s.x = AddHotspot(point.first, s.hotspotX);
            s.y = AddHotspot(point.second, s.hotspotY);
        }
    }
}

}  // namespace tw
