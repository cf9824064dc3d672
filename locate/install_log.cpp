#include "locate/install_log.hpp"

#include <filesystem>

std::string install_log_bytes(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size() + 8);
    for (wchar_t unit : text) {
        if (unit == L'\n') {
            bytes += "\r\n";
        } else if (static_cast<unsigned long>(unit) < 256) {
            bytes += static_cast<char>(static_cast<unsigned char>(unit));
        } else {
            bytes += '?';  // no byte for it; the rest of the line still follows
        }
    }
    return bytes;
}

install_log::install_log(const std::wstring& path)
    : file_(std::filesystem::path(path), std::ios::binary | std::ios::out | std::ios::trunc) {}

void install_log::write_text(std::wstring_view text) {
    const std::string bytes = install_log_bytes(text);
    file_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
