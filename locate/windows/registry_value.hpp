#pragma once
#include <windows.h>

#include <array>
#include <string>

// One string value read from HKEY_CURRENT_USER into a fixed buffer of 260
// units (520 bytes): the longest value that fits is 259 characters.
struct registry_string {
    LSTATUS status = ERROR_SUCCESS;
    DWORD byte_count = 0;  // what the system wrote back as the data size
    std::array<wchar_t, 260> buffer{};

    bool found() const { return status == ERROR_SUCCESS; }
    // The value as stored, up to its first NUL.
    std::wstring text() const;
};

registry_string read_user_string(const std::wstring& sub_key, const wchar_t* value_name);
