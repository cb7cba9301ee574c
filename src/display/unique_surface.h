#pragma once
// An SDL surface that is freed when it goes out of scope.

#include <memory>

struct SDL_Surface;

namespace tw {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const;
};
using UniqueSurface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

}  // namespace tw
