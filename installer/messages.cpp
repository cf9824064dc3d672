#include "installer/messages.hpp"

#include "common/format.hpp"

std::string fill_game_name(std::string_view pattern, std::string_view game_name) {
    return format_template(pattern, game_name);
}

std::wstring run_failure_text(std::wstring_view step, std::wstring_view file, std::wstring_view error) {
    std::wstring text = format_template(std::wstring_view(L"The patch could not be installed: {} failed."), step);
    if (!file.empty()) text += format_template(std::wstring_view(L"\n\nFile: {}"), file);
    text += format_template(std::wstring_view(L"\n\nError: {}"), error);
    text += L"\n\nNothing was copied; the game is unchanged.";
    return text;
}

std::wstring copy_failure_text(std::wstring_view error) {
    return format_template(std::wstring_view(L"The patch could not be installed completely: {}.\n\n"
                                             L"The game folder may now be partly patched. Run the installer "
                                             L"again once the cause is removed."),
                           error);
}
