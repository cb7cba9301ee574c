// SPRITE: creating sprites from the project's sprite files, placing them, their hotspots and
// transparency, and (SPRITE PATH) attaching them to paths and steering them.

#include "commands/registry.h"
#include "frontend/names.h"
#include "frontend/number_text.h"
#include "interpreter/arguments.h"
#include "interpreter/interpreter.h"

namespace tw {

namespace {

// A single literal integer token; otherwise RTE (84) naming the parameter, at the token.
bool LiteralInteger(const Args& args, int token, int parameter, int32_t& out,
                    CommandResult& result) {
    if (ParseWholeNumber(args[token], out)) return true;
    result.Fail(ErrorId::SpriteInteger, token, parameter);
    return false;
}

SpriteRecord* ActiveSprite(Interpreter& in, int32_t n, int token, CommandResult& result) {
    SpriteRecord* sprite = in.sprites.Active(n);
    if (!sprite) result.Fail(ErrorId::SpriteNotCreated, token);
    return sprite;
}

// SPRITE CREATE n, x, y, "name"
void Create(Interpreter& in, const Args& args, CommandResult& result) {
    int32_t n, x, y;
    if (!LiteralInteger(args, 1, 1, n, result) || !LiteralInteger(args, 3, 2, x, result) ||
        !LiteralInteger(args, 5, 3, y, result)) {
        return;
    }
    if (n < 0 || n >= kSpriteCount) {
        result.Fail(ErrorId::SpriteNumber, 1);
        return;
    }
    // The name without its quotes, compared in upper case.
    const std::string_view quoted = args[7];
    const std::string name =
        quoted.size() >= 2 ? ToUpper(quoted.substr(1, quoted.size() - 2)) : std::string();
    SpriteTables& t = in.sprites;
    const int file = name.empty() ? -1 : FindRunFile(t, name);
    if (file < 0) {
        result.Fail(ErrorId::SpriteFileName, 1);
        return;
    }
    if (t.sprites[n].active) {
        result.Fail(ErrorId::SpriteInUse, 1);
        return;
    }
    if (!DisplayStarted(in.screens)) {
        result.Fail(ErrorId::SpriteNotCreated, 1);
        return;
    }
    const RunFile& source = (*t.files)[file];
    std::string why;
    const int slot = LoadSpriteImage(t, *in.screens.screen, source.data, why);
    if (slot == -1) {
        result.Fail(ErrorId::SpriteImagesFull, 1);
        return;
    }
    if (slot < 0) {
        result.Fail(ErrorId::SpriteFile, 1, "\"" + source.name + "\": " + why);
        return;
    }
    SpriteRecord& s = t.sprites[n];
    s = SpriteRecord{};
    s.active = true;
    s.x = x;
    s.y = y;
    s.imageSlot = slot;
    s.surface = t.images[slot].surface.get();
    s.width = s.surface->Width();
    s.height = s.surface->Height();
}

// SPRITE HOTSPOT n, hx, hy: added to every later position of the sprite.
void Hotspot(Interpreter& in, const Args& args, CommandResult& result) {
    int32_t n, hx, hy;
    if (!LiteralInteger(args, 1, 1, n, result) || !LiteralInteger(args, 3, 2, hx, result) ||
        !LiteralInteger(args, 5, 3, hy, result)) {
        return;
    }
    SpriteRecord* s = ActiveSprite(in, n, 1, result);
    if (!s) return;
    s->hotspotX = hx;
    s->hotspotY = hy;
}

// SPRITE DELETE n: the image slot stays used until the run ends.
void Delete(Interpreter& in, const Args& args, CommandResult& result) {
    int32_t n;
    ArgCursor a(in, args, result, 1);
    if (!a.Whole().OnBadValue(ErrorId::SpriteDeleteValue, 1).Integer(n)) return;
    SpriteRecord* s = ActiveSprite(in, n, 1, result);
    if (s) s->active = false;
}

// SPRITE TRANSPARENT YES|NO, n [, c]: YES makes palette index c (its low byte; 255 without c)
// transparent.
void Transparent(Interpreter& in, const Args& args, CommandResult& result) {
    const std::string word = ToUpper(args[1]);
    if (word != "YES" && word != "NO") {
        result.Fail(ErrorId::SpriteYesNo, 1);
        return;
    }
    int32_t n, c = -1;
    if (!ParseWholeNumber(args[3], n)) {
        result.Fail(ErrorId::SingleInteger, 3);
        return;
    }
    if (args[4] == "," && !ParseWholeNumber(args[5], c)) {
        result.Fail(ErrorId::SingleInteger, 5);
        return;
    }
    SpriteRecord* s = ActiveSprite(in, n, 1, result);
    if (!s) return;
    if (word == "YES") s->surface->SetTransparentColor(static_cast<uint8_t>(c & 0xFF));
    s->transparent = word == "YES";
}

// SPRITE PATH ADD|POS|RUN|DIR|END n, ...
void Path(Interpreter& in, const Args& args, CommandResult& result) {
    const std::string form = ToUpper(args[1]);
    if (form != "ADD" && form != "POS" && form != "RUN" && form != "DIR" && form != "END") return;
    int32_t n;
    if (!LiteralInteger(args, 2, 1, n, result)) return;
    SpriteRecord* s = ActiveSprite(in, n, 2, result);
    if (!s) return;
    SpriteTables& t = in.sprites;
    if (form == "ADD") {
        int32_t id;
        if (!LiteralInteger(args, 4, 2, id, result)) return;
        for (int i = 0; i < kPathCount; ++i) {
            if (!t.paths[i].used || t.paths[i].pathId != id) continue;
            s->hasPath = true;
            s->running = true;
            s->step = 1;
            s->backward = false;
            s->endMode = PathEnd::Loop;
            s->pathPosition = 0;
            s->pathIndex = i;
            return;
        }
        result.Fail(ErrorId::PathNotFound, 4);
        return;
    }
    if (!s->hasPath) {
        result.Fail(ErrorId::SpriteHasNoPath, 2);
        return;
    }
    const std::string word = ToUpper(args[4]);
    if (form == "POS") {
        int32_t p;
        if (!LiteralInteger(args, 4, 2, p, result)) return;
        if (p < 0 || p > t.paths[s->pathIndex].pointCount - 1) {
            result.Fail(ErrorId::PathPosition, 4);
            return;
        }
        s->pathPosition = p;
    } else if (form == "RUN") {
        s->running = word != "NO";
    } else if (form == "DIR") {
        s->backward = word == "BACKWARD";
    } else if (word == "LOOP") {
        s->endMode = PathEnd::Loop;
    } else if (word == "BOUNCE") {
        s->endMode = PathEnd::Bounce;
    } else if (word == "STOP") {
        s->endMode = PathEnd::Stop;
    }
}

// SPRITE n, x, y [, frame]: places the sprite (its hotspot added). Every value is read before
// the sprite is looked at; a frame out of range leaves the new position set.
void Place(Interpreter& in, const Args& args, CommandResult& result) {
    ArgCursor a(in, args, result);
    int32_t values[4] = {0, 0, 0, 1};
    int count = 0;
    for (; count < 4 && !(count == 3 && a.AtEnd()); ++count) {
        Value v;
        if (!a.Read(v)) return;
        CommandResult conversion;
        if (!ValueToInteger(v, values[count], conversion)) {
            // The frame is reported as parameter 1, at token 1.
            const int parameter = count == 3 ? 1 : count + 1;
            result.Fail(ErrorId::SpriteInteger, 2 * parameter - 1, parameter);
            return;
        }
    }
    SpriteRecord* s = ActiveSprite(in, values[0], 1, result);
    if (!s) return;
    s->x = AddHotspot(values[1], s->hotspotX);
    s->y = AddHotspot(values[2], s->hotspotY);
    if (count < 4) return;
    SpriteImage& image = in.sprites.images[s->imageSlot];
    if (values[3] < 1 || values[3] > image.frameCount) {
        result.Fail(ErrorId::SpriteFrame, 1);
        return;
    }
    image.currentFrame = values[3];
}

void SpriteCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    const std::string form = ToUpper(args[0]);
    if (form == "CREATE") return Create(in, args, result);
    if (form == "HOTSPOT") return Hotspot(in, args, result);
    if (form == "DELETE") return Delete(in, args, result);
    if (form == "TRANSPARENT") return Transparent(in, args, result);
    if (form == "PATH") return Path(in, args, result);
    Place(in, args, result);
}

}  // namespace

void RegisterSpriteCommands(CommandTable& commands) {
    commands.Bind(CommandId::SPRITE, SpriteCommand);
}

}  // namespace tw
