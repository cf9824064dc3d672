#pragma once
#include <string>

// One modal box with an OK button, no icon and no owner window. A null
// caption lets the system show its default title.
void show_message(const std::wstring& text, const std::wstring* caption);
