#pragma once
#include <string>

#include "installer/checker/patch_report.hpp"

// Looks at the unpacked distribution folder `folder` with the installer's own
// code: its configuration, the files it would copy and whether each can be
// read, and whether the remover is there to ship. Writes nothing.
patch_report_input gather_report_input(const std::wstring& folder);
