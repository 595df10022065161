#pragma once

#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace tarvelo::testsupport {

// Compares a rendered image with a golden PNG under tests/fixtures/. Small
// differences (antialiasing, a renderer update) pass: at most 0.5 % of the
// pixels may differ by more than 16 in a channel. On a mismatch the actual
// image is written next to the test program as <name>.actual.png.
//
// TARVELO_BLESS_GOLDEN=1 in the environment rewrites the golden from the
// actual image instead (do it on purpose, then look at the new PNG).
//
// Returns an empty string when the image matches (or was blessed), else why not.
std::string compareWithGolden(cairo_surface_t* actual, const std::string& relativePath);

} // namespace tarvelo::testsupport
