#pragma once
// A config.json that did not load, said plainly: which member is wrong and
// what it must be, or what is wrong with the file as a whole. The library's
// own text follows as the detail, so that nothing it said is lost.
#include <exception>
#include <string>
#include <string_view>

#include "installer/patch/config.hpp"

// The whole error line, UTF-8: the plain words, then the library's in
// brackets. `bytes` is the file as it is on disk (empty when it could not be
// read).
std::string config_failure_words(std::string_view bytes, const std::exception& error);

// load_installer_config, raising config_error in those words.
installer_config load_config_or_explain(const std::wstring& archives_folder);
