#include <gtest/gtest.h>

#include "display/image_library.h"
