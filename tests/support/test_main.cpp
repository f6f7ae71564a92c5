// main() of every Wine-run test executable: no system error boxes, so that
// a fault fails the test instead of waiting for a click.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char **argv) {
    // Unbuffered, so that a test that hangs still shows how far it got.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
