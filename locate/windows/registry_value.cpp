#include "locate/windows/registry_value.hpp"

std::wstring registry_string::text() const {
    const std::wstring_view whole(buffer.data(), buffer.size());
    return std::wstring(whole.substr(0, whole.find(L'\0')));
}

registry_string read_user_string(const std::wstring& sub_key, const wchar_t* value_name) {
    registry_string read;
    read.byte_count = static_cast<DWORD>(read.buffer.size() * sizeof(wchar_t));
    read.status = ::RegGetValueW(HKEY_CURRENT_USER, sub_key.c_str(), value_name, RRF_RT_REG_SZ, nullptr,
                                 read.buffer.data(), &read.byte_count);
    return read;
}
