#include <gtest/gtest.h>

#include "display/raster.h"
