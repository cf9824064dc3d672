// The baseline of the run benchmark: a Windows GUI program that shows one
// message box, as a run must, and does nothing else.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ::MessageBoxW(nullptr, L"Patch installed. Have fun ;)", L"Bench patch installer", MB_OK);
    return 0;
}
