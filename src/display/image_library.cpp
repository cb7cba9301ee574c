#include "display/image_library.h"
