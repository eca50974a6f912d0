// The runner's tests call COM on one apartment thread, as a host does.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
