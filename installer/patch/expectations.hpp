#pragma once
// What a patch expects of the game it patches: for each file it replaces,
// the SHA-256 of the original it was made from, as config.json's "expects"
// holds them ({"data\\a.pak": "<64 lowercase hex digits>", ...}). A patch
// made for another version of the game is refused before anything is
// written.
#include <string>
#include <string_view>
#include <vector>

struct expected_file {
    std::string place;   // below the game folder, '\'-separated, UTF-8 as config.json holds it
    std::string sha256;  // 64 lowercase hex digits

    friend bool operator==(const expected_file&, const expected_file&) = default;
};

// Whether `place` is a plain relative path as the checker prints places:
// elements joined by '\', none empty, "." or "..", no drive, no '/', and
// no name Windows forbids.
bool is_plain_place(std::wstring_view place);

// Whether `hash` is 64 lowercase hex digits.
bool is_sha256_hex(std::string_view hash);
