#pragma once
// The Steam search's diagnostic log, "install_log.log" in the working folder,
// rewritten by every search. On disk each UTF-16 unit below 256 is one byte
// (ISO 8859-1), any other unit a '?', and every line ends in CR LF. A log
// that cannot be written drops its text silently: it never changes the
// search's result.
#include <fstream>
#include <string>
#include <string_view>

#include "common/format.hpp"

// The bytes that `text` becomes in the log file.
std::string install_log_bytes(std::wstring_view text);

class install_log {
public:
    // Creates or truncates the file.
    explicit install_log(const std::wstring& path = L"install_log.log");

    // One line from a template: "{}" for text and truth values, "{:#010x}" for
    // a status.
    template <class... Values>
    void write(wide_template<Values...> pattern, const Values&... values) {
        write_text(format_template<Values...>(pattern, values...));
    }

private:
    void write_text(std::wstring_view text);
    std::ofstream file_;
};
