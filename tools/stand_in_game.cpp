// A stand-in for a running game or another program: copied under the game's
// executable name it keeps running until ended.
//   --hold FILE            keeps FILE open without sharing, as a program that
//                          locks a file does;
//   --hold-after SIGN FILE waits until SIGN exists, then holds FILE the same
//                          way as soon as it exists and is free, as a virus
//                          scanner that seizes a file just written would.
#include <windows.h>

#include <string>

namespace {

HANDLE hold(const wchar_t* path, DWORD disposition) {
    return ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr);
}

bool exists(const wchar_t* path) { return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    HANDLE held = INVALID_HANDLE_VALUE;
    if (argc == 3 && std::wstring(argv[1]) == L"--hold") {
        held = hold(argv[2], OPEN_ALWAYS);
        if (held == INVALID_HANDLE_VALUE) return 1;
    } else if (argc == 4 && std::wstring(argv[1]) == L"--hold-after") {
        while (!exists(argv[2])) ::Sleep(1);
        while ((held = hold(argv[3], OPEN_EXISTING)) == INVALID_HANDLE_VALUE) ::Sleep(1);
    }
    ::Sleep(INFINITE);
    ::CloseHandle(held);
    return 0;
}
