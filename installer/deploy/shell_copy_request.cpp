#include "installer/deploy/shell_copy_request.hpp"


std::wstring multi_string(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) {
        list += path;
        list += L'\0';
    }
    list += L'\0';
    list += L'\0';
    return list;
}

shell_copy_request make_shell_copy_request(const std::vector<std::wstring>& sources,
                                           const std::vector<std::wstring>& destinations) {
    shell_copy_request request;
    request.from = multi_string(sources);
    request.to = multi_string(destinations);
    return request;
}
