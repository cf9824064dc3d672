#include "installer/deploy/windows/deploy.hpp"

#include "common/windows/utf16.hpp"
#include "installer/deploy/windows/check_copy.hpp"
#include "installer/deploy/windows/finish_copy.hpp"
#include "installer/deploy/windows/plan_copy.hpp"
#include "installer/deploy/windows/set_aside.hpp"
#include "installer/deploy/windows/shell_copy.hpp"
#include "installer/deploy/windows/verify_copy.hpp"

namespace {

// From the first change to the game folder on, every failure is caught here,
// so that the game folder is put back whatever happened.
copy_attempt attempt_copy(copy_plan& plan) {
    copy_attempt attempt;
    try {
        if (std::optional<set_aside_failure> failure = set_aside(plan)) {
            attempt.error = failure->reason;
            attempt.error_file = failure->file;
            return attempt;
        }
        attempt.shell = shell_copy(plan);
        attempt.unverified = first_unverified(plan);
    } catch (const std::exception& error) {
        attempt.error = utf8_to_utf16(error.what());
    } catch (...) {
        attempt.error = L"an unknown error";
    }
    return attempt;
}

}  // namespace

deploy_result deploy_patch(const std::vector<patch_file>& patch_files, const std::wstring& archives_folder,
                           const std::wstring& installation_folder) {
    copy_plan plan = plan_copy(patch_files, archives_folder, installation_folder);
    check_copy(plan);
    if (plan.files.empty()) return {};

    deploy_result result;
    result.attempt = attempt_copy(plan);
    if (copy_succeeded(result.attempt)) {
        result.left = clean_up(plan);
        return result;
    }
    result.left = put_back(plan, result.attempt.shell.has_value());
    result.status = status_after_put_back(result.left);
    return result;
}
