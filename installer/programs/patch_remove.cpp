#include <windows.h>

#include "installer/run/windows/run.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Run from the same Downloads folder as the installer: the same care.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return static_cast<int>(run_remover());
}
