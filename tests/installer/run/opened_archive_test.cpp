#include "installer/run/opened_archive.hpp"

#include <gtest/gtest.h>

namespace {

TEST(is_opened_archive_folder, knows_the_temporary_folders_of_opened_archives_and_nothing_else) {
    struct folder_case {
        const wchar_t* folder;
        bool opened;
    };
    const folder_case cases[] = {
        {L"C:\\Users\\ann\\AppData\\Local\\Temp\\Temp1_Starfall Patch 1.2.zip", true},
        {L"C:\\Users\\ann\\AppData\\Local\\Temp\\Temp12_patch.ZIP\\Starfall Patch", true},  // a folder in the zip
        {L"C:\\Users\\ann\\AppData\\Local\\Temp\\7zO4A3B2C1D", true},
        {L"C:\\Users\\ann\\AppData\\Local\\Temp\\Rar$EXa1234.5678", true},
        {L"C:\\Users\\ann\\AppData\\Local\\Temp\\Rar$DIb9876.54321\\patch", true},
        {L"C:/Users/ann/AppData/Local/Temp/Temp1_patch.zip", true},
        {L"C:\\Users\\ann\\Downloads\\Starfall Patch 1.2", false},
        {L"C:\\Users\\ann\\Downloads\\patch.zip extracted", false},
        {L"C:\\Temp\\patch", false},
        {L"C:\\Temp1_\\patch", false},            // no zip's name
        {L"C:\\Temp_patch.zip", false},           // no number
        {L"C:\\Tempo1_patch.zip", false},
        {L"C:\\Users\\ann\\7zO4A3B2C1\\patch", false},   // too short for 7-Zip's
        {L"C:\\Users\\ann\\7zO4A3B2C1DZ\\patch", false},  // too long
        {L"C:\\Games\\Rar$\\patch", false},
        {L"", false},
    };
    for (const folder_case& c : cases) {
        EXPECT_EQ(is_opened_archive_folder(c.folder), c.opened) << c.folder;
    }
}

}  // namespace
