#include "installer/deploy/shell_copy_request.hpp"

#include "installer/patch/patch_destinations.hpp"

shell_copy_request make_shell_copy_request(const std::vector<std::wstring>& sources,
                                           const std::vector<std::wstring>& destinations) {
    shell_copy_request request;
    request.from = multi_string(sources);
    request.to = multi_string(destinations);
    return request;
}
