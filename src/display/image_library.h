#pragma once
// Image libraries ("IL10") and map libraries ("ML01") of the screen layer.
