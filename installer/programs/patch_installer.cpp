#include <windows.h>

#include "installer/run/windows/run.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Installers run from Downloads folders, where a planted DLL beside the
    // executable would otherwise be loaded by the system libraries we use.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return static_cast<int>(run_installer());
}
