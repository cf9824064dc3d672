// shell_copy_alone ARCHIVES GAME: the baseline of the copy benchmark. Lists
// ARCHIVES as the installer does (every file but those named config.json)
// and copies the files to the same places below GAME with the installer's
// single SHFileOperationW call and flags, and nothing else: no checks, no
// setting aside, no verification.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

void list(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& files) {
    WIN32_FIND_DATAW entry{};
    HANDLE search =
        ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring place = relative.empty() ? name : relative + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            list(folder + L"\\" + name, place, files);
        } else if (name != L"config.json") {
            files.push_back(place);
        }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const std::wstring archives = argv[1];
    const std::wstring game = argv[2];
    std::vector<std::wstring> files;
    list(archives, L"", files);
    std::wstring from;
    std::wstring to;
    for (const std::wstring& file : files) {
        from += archives + L"\\" + file + L'\0';
        to += game + L"\\" + file + L'\0';
    }
    from += std::wstring(2, L'\0');
    to += std::wstring(2, L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_MULTIDESTFILES | FOF_NOCONFIRMATION;
    const int result = ::SHFileOperationW(&operation);
    return result == 0 && !operation.fAnyOperationsAborted ? 0 : 1;
}
