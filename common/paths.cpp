#include "common/paths.hpp"

#include <vector>

namespace paths {
namespace {

bool is_drive_letter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

std::size_t root_name_length(std::wstring_view path) {
    if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]) &&
        (path.size() == 2 || !is_separator(path[2]))) {
        std::size_t end = 2;
        while (end < path.size() && !is_separator(path[end])) ++end;
        return end;
    }
    if (path.size() >= 2 && path[1] == L':' && is_drive_letter(path[0])) return 2;
    return 0;
}

bool is_bare_drive(std::wstring_view path) { return path.size() == 2 && path[1] == L':' && is_drive_letter(path[0]); }

}  // namespace

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::vector<std::wstring_view> elements(std::wstring_view relative) {
    std::vector<std::wstring_view> out;
    std::size_t i = 0;
    while (i < relative.size()) {
        while (i < relative.size() && is_separator(relative[i])) ++i;
        std::size_t start = i;
        while (i < relative.size() && !is_separator(relative[i])) ++i;
        if (i > start) out.push_back(relative.substr(start, i - start));
    }
    return out;
}

std::wstring lexically_normal(std::wstring_view path) {
    const split_path parts = split(path);
    std::vector<std::wstring_view> kept;
    for (std::wstring_view element : elements(parts.relative)) {
        if (element == L".") continue;
        if (element == L"..") {
            if (!kept.empty() && kept.back() != L"..") {
                kept.pop_back();
            } else if (parts.root_directory.empty() && parts.root_name.empty()) {
                kept.push_back(element);  // a relative path keeps what climbs above its start
            }
            continue;
        }
        kept.push_back(element);
    }
    std::wstring out(parts.root_name);
    for (wchar_t& c : out) {
        if (c == L'/') c = L'\\';
    }
    if (!parts.root_directory.empty()) out += L'\\';
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) out += L'\\';
        out += kept[i];
    }
    return out;
}

split_path split(std::wstring_view path) {
    std::size_t name = root_name_length(path);
    std::size_t dir = name;
    while (dir < path.size() && is_separator(path[dir])) ++dir;
    return {path.substr(0, name), path.substr(name, dir - name), path.substr(dir)};
}

bool is_absolute(std::wstring_view path) {
    split_path parts = split(path);
    return !parts.root_name.empty() && !parts.root_directory.empty();
}

std::wstring join(std::wstring_view left, std::wstring_view right) {
    split_path l = split(left);
    split_path r = split(right);
    if (is_absolute(right) || (!r.root_name.empty() && r.root_name != l.root_name)) {
        return std::wstring(right);
    }
    std::wstring_view right_rest = right.substr(r.root_name.size());
    if (!r.root_directory.empty()) {
        return std::wstring(l.root_name) + std::wstring(right_rest);
    }
    std::wstring out(left);
    if (!left.empty() && !is_bare_drive(left) && !is_separator(left.back())) out += L'\\';
    out += right_rest;
    return out;
}

std::wstring child(std::wstring_view folder, std::wstring_view name) {
    std::wstring out(folder);
    if (!folder.empty() && !is_bare_drive(folder) && !is_separator(folder.back())) out += L'\\';
    out += name;
    return out;
}

std::wstring parent(std::wstring_view path) {
    split_path parts = split(path);
    if (parts.relative.empty()) return std::wstring(path);
    std::size_t root = parts.root_name.size() + parts.root_directory.size();
    std::size_t end = path.size();
    while (end > root && !is_separator(path[end - 1])) --end;
    while (end > root && is_separator(path[end - 1])) --end;
    return std::wstring(path.substr(0, end));
}

std::wstring_view file_name(std::wstring_view path) {
    split_path parts = split(path);
    std::size_t root = parts.root_name.size() + parts.root_directory.size();
    std::size_t start = path.size();
    while (start > root && !is_separator(path[start - 1])) --start;
    return path.substr(start);
}

std::wstring lexically_relative(std::wstring_view target, std::wstring_view base) {
    split_path t = split(target);
    split_path b = split(base);
    if (t.root_name != b.root_name || t.root_directory.empty() != b.root_directory.empty()) return {};
    std::vector<std::wstring_view> te = elements(t.relative);
    std::vector<std::wstring_view> be = elements(b.relative);
    std::size_t shared = 0;
    while (shared < te.size() && shared < be.size() && te[shared] == be[shared]) ++shared;
    std::wstring out;
    auto add = [&out](std::wstring_view element) {
        if (!out.empty()) out += L'\\';
        out += element;
    };
    for (std::size_t i = shared; i < be.size(); ++i) add(L"..");
    for (std::size_t i = shared; i < te.size(); ++i) add(te[i]);
    return out;
}

std::wstring long_path_form(std::wstring_view path) {
    if (path.size() < 260) return std::wstring(path);
    if (path.substr(0, 4) == L"\\\\?\\" || path.substr(0, 4) == L"\\\\.\\") return std::wstring(path);
    const std::wstring normal = lexically_normal(path);
    if (normal.substr(0, 2) == L"\\\\") return L"\\\\?\\UNC\\" + normal.substr(2);
    return L"\\\\?\\" + normal;
}

}  // namespace paths
