// The main of every test program: the same environment on every machine
// first, then GoogleTest. Programs that open GTK themselves draw the way the
// shipped programs do: with Cairo, and without GTK's OpenGL probe, whose
// driver would otherwise load, leak and unload again under the sanitizers.
#include "tests/Support/TestEnvironment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifdef TARVELO_TEST_OPENS_GTK
#include "Platform/Windowing/SoftwareDrawing.h"
#endif

int main(int argc, char** argv) {
    tarvelo::testsupport::isolateFromTheMachine();
#ifdef TARVELO_TEST_OPENS_GTK
    platform::SoftwareDrawing::prefer();
#endif
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
