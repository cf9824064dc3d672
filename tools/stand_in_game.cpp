// A stand-in for a running game or another program: copied under the game's
// executable name it keeps running until ended. With "--hold FILE" it keeps
// FILE open without sharing, as a program that locks a file does.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    HANDLE held = INVALID_HANDLE_VALUE;
    if (argc == 3 && std::wstring(argv[1]) == L"--hold") {
        held = ::CreateFileW(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (held == INVALID_HANDLE_VALUE) return 1;
    }
    ::Sleep(INFINITE);
    ::CloseHandle(held);
    return 0;
}
