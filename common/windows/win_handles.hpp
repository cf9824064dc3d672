#pragma once
#include <windows.h>

#include "common/unique_handle.hpp"

// Handles from OpenProcess and CreateProcess: null when invalid.
struct kernel_handle_traits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};
using kernel_handle = unique_handle<kernel_handle_traits>;

// Handles from CreateFileW: INVALID_HANDLE_VALUE when invalid.
struct file_handle_traits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};
using file_handle = unique_handle<file_handle_traits>;

// Searches from FindFirstFileW and FindFirstFileExW.
struct find_handle_traits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::FindClose(h); }
};
using find_handle = unique_handle<find_handle_traits>;
