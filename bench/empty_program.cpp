// The baseline for end-to-end timings: a Windows GUI program that does nothing.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
