// The real installer under Wine on drives that only root can mount, made by
// the prefix set-up: a disk that fills up (T:), a volume whose file times end
// in 2038 (Y:), and folders nobody may write to (W:). Without them each case
// says it was skipped.
#include <future>

#include "tests/e2e/game_case.hpp"

namespace {

// Skips, saying why, unless `drive` is mapped and no larger than
// `most_bytes` (a drive that is not the one set up would be the real disk).
bool drive_is_set_up(const fs::path& drive, std::uint64_t most_bytes) {
    ULARGE_INTEGER total{};
    return fs::exists(drive) && ::GetDiskFreeSpaceExW(drive.c_str(), nullptr, &total, nullptr) &&
           total.QuadPart <= most_bytes;
}

// On T:, a tmpfs of 16 MiB and 256 entries mapped by the prefix set-up.
class special_drive_full_disk : public game_case {
protected:
    const fs::path drive = L"T:\\";
    const fs::path base = L"T:\\e2e";

    void SetUp() override {
        game_case::SetUp();
        if (!drive_is_set_up(drive, 64ull << 20)) {
            GTEST_SKIP() << "T: is not mapped to a small tmpfs (mounting one needs root): this full-disk case was not "
                            "tried";
        }
        remove_tree(base);
        fs::create_directories(base);
    }
    void TearDown() override {
        if (fs::exists(drive)) remove_tree(base);
    }

    // Takes every free entry of the drive but `left`.
    void leave_free_entries(int left) {
        fs::create_directories(base / L"filler");
        int made = 0;
        for (;; ++made) {
            HANDLE file = ::CreateFileW((base / L"filler" / std::to_wstring(made)).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) break;
            ::CloseHandle(file);
        }
        ASSERT_GT(made, left);
        for (int i = 0; i < left; ++i) fs::remove(base / L"filler" / std::to_wstring(i));
    }

    // Takes every free byte of the drive but about `left`.
    void leave_free_bytes(std::uint64_t left) {
        ULARGE_INTEGER available{};
        ASSERT_TRUE(::GetDiskFreeSpaceExW(drive.c_str(), &available, nullptr, nullptr));
        ASSERT_GT(available.QuadPart, left);
        write_file(base / L"filler.bin", std::string(available.QuadPart - left, '\0'));
    }

    // The game on T:, registered; the installer where the other cases have it.
    scenario& make_on_drive(const std::wstring& name) {
        scenario& s = make(name, (base / L"Game").wstring());
        game = base / L"Game";
        fs::create_directories(game);
        return s;
    }
};

TEST_F(special_drive_full_disk, a_drive_too_full_for_the_patch_stops_the_run_before_anything_is_written) {
    scenario& s = make_on_drive(L"full_bytes");
    write_file(s.archives() / L"big.pak", std::string(256 << 10, 'p'));
    write_file(game / L"big.pak", "old");
    leave_free_bytes(64 << 10);
    const tree_snapshot before = snapshot(game);
    watched_run run = s.run();
    expect_box(
        run, 3,
        // The file, and a cluster for the journal.
        {L"File: T:\\e2e\\Game\n", L"there is not enough free space on the game's drive: the patch needs 260.0 KB, and",
         L"Free up space on that drive"});
    EXPECT_EQ(snapshot(game), before);
}

// Each small file fills a whole cluster (a page on the tmpfs): 60 files of
// one byte need 240 KB, not 60 bytes; the journal takes one more.
TEST_F(special_drive_full_disk, many_small_files_are_counted_in_whole_clusters) {
    scenario& s = make_on_drive(L"full_clusters");
    for (int i = 0; i < 60; ++i) write_file(s.archives() / (L"small" + std::to_wstring(i) + L".txt"), "x");
    leave_free_bytes(120 << 10);
    const tree_snapshot before = snapshot(game);
    watched_run run = s.run();
    expect_box(run, 3,
               {L"there is not enough free space on the game's drive: the patch needs 244.0 KB", L"Nothing was copied"});
    EXPECT_EQ(snapshot(game), before);
}

TEST_F(special_drive_full_disk, a_drive_that_runs_out_of_entries_part_way_is_put_back) {
    scenario& s = make_on_drive(L"full_entries");
    write_file(s.archives() / L"a.txt", "patched a");
    write_file(s.archives() / L"b" / L"new.txt", "patched b");
    write_file(s.archives() / L"c.txt", "patched c");
    write_file(s.archives() / L"z.txt", "patched z");
    write_file(game / L"a.txt", "original a");
    write_file(game / L"c.txt", "original c");
    write_file(game / L"z.txt", "original z");
    // Room for the run's lock and journal, a.txt and the folder b: the copy
    // fails at b\new.txt, after one replacement and before two others.
    leave_free_entries(4);
    const tree_snapshot before = snapshot(game);
    watched_run run = s.run();
    expect_box(run, 4,
               {L"because the copy failed: the game's drive ran out of room for new files and folders, though it may "
                L"have free space (the patch makes 5 of them there)",
                L"The game folder is as it was before"});
    EXPECT_EQ(snapshot(game), before);
}


// Another program fills the drive while the copy runs: the box says the
// drive ran out of room, and how much the patch needs, not the shell's code.
TEST_F(special_drive_full_disk, a_drive_another_program_fills_during_the_copy_is_put_back) {
    run_until_interfered([&] {
        scenario& s = make_on_drive(L"filled_during_copy");
        // Files of four pages each, enough of them for the copy to be caught part way.
        constexpr int count = 50;
        const std::string patch_file(16 * 1024, 'p');
        for (int i = 0; i < count; ++i) {
            write_file(s.archives() / (std::to_wstring(i) + L".pak"), patch_file);
            write_file(game / (std::to_wstring(i) + L".pak"), "original");
        }
        const tree_snapshot before = snapshot(game);
        const fs::path release = L"C:\\e2e_reports\\release_filled_during_copy";
        fs::remove(release);
        // The run goes on in slices once its copy began.
        interference freezer({L"after", (game / L"patch-journal.txt").wstring(), L"set aside", L"arrival",
                              game.wstring(), std::to_wstring(patch_file.size()), std::to_wstring(count), L"freeze-until",
                              release.wstring()});
        std::future<watched_run> running = std::async(std::launch::async, [&] { return s.run(); });
        const bool frozen = freezer.wait_until_frozen();
        if (frozen) leave_free_bytes(0);
        write_file(release, "");
        watched_run run = running.get();
        fs::remove(base / L"filler.bin");
        if (!frozen) return false;
        expect_box(run, 4,
                   {L"because the copy failed: the game's drive ran out of room (the patch needs 804.0 KB there)",
                    L"The game folder is as it was before"});
        EXPECT_EQ(snapshot(game), before);
        return true;
    });
}

// On Y:, an ext2 volume with 128-byte inodes, whose file times end in 2038.
class special_drive_times : public game_case {
protected:
    void SetUp() override {
        game_case::SetUp();
        if (!drive_is_set_up(L"Y:\\", 64ull << 20)) {
            GTEST_SKIP() << "Y: is not mapped to a small ext2 volume (mounting one needs root): this case was not tried";
        }
        remove_tree(L"Y:\\e2e");
    }
};

void set_last_write(const fs::path& path, int year) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = 6;
    time.wDay = 1;
    FILETIME written{};
    ::SystemTimeToFileTime(&time, &written);
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::SetFileTime(file, nullptr, nullptr, &written);
    ::CloseHandle(file);
}

// A patch file dated 2040 arrives with the drive's last time instead; the
// contents show it arrived complete, and the remover knows what was left.
TEST_F(special_drive_times, a_time_the_drive_cannot_hold_does_not_make_the_patch_uninstallable) {
    const fs::path drive_game = L"Y:\\e2e\\Game";
    scenario& s = make(L"times", drive_game.wstring());
    game = drive_game;
    fs::create_directories(game);
    write_file(s.archives() / L"future.pak", "made in 2040");
    set_last_write(s.archives() / L"future.pak", 2040);
    write_file(s.archives() / L"level.pak", "patched level");
    set_last_write(s.archives() / L"level.pak", 2039);
    write_file(game / L"level.pak", "original level");
    const tree_snapshot original = snapshot(game);
    expect_installed(s.run());
    EXPECT_EQ(read_file(game / L"future.pak"), "made in 2040");
    EXPECT_EQ(read_file(game / L"level.pak"), "patched level");
    watched_run removal = s.run_remover();
    EXPECT_EQ(removal.exit_code, 0u);
    EXPECT_EQ(snapshot(game), original);
}

// On W:, a tmpfs with a game folder whose data folder is mounted read-only,
// and a game folder read-only as a whole.
class special_drive_read_only : public game_case {
protected:
    void SetUp() override {
        game_case::SetUp();
        if (!drive_is_set_up(L"W:\\", 64ull << 20) || !fs::exists(L"W:\\Locked")) {
            GTEST_SKIP() << "W: is not mapped to its read-only folders (mounting them needs root): this case was not "
                            "tried";
        }
    }
};

TEST_F(special_drive_read_only, a_folder_nobody_may_write_to_stops_the_run_before_anything_is_written) {
    struct folder_case {
        const char* name;
        std::wstring game_folder;
        std::wstring patch_file;  // below archives
        std::wstring named;       // the folder the box names
    };
    const folder_case cases[] = {
        {"a game folder nobody may write to, a patch that only adds files", L"W:\\Locked", L"new.txt",
         L"W:\\Locked"},
        {"a game folder nobody may write to, a patch that also replaces a file", L"W:\\Locked", L"existing.txt",
         L"W:\\Locked"},
        {"a folder below the game folder nobody may write to", L"W:\\Game", L"data\\new.txt", L"W:\\Game\\data"},
    };
    for (const folder_case& c : cases) {
        SCOPED_TRACE(c.name);
        scenario& s = make(L"read_only", c.game_folder);
        game = c.game_folder;
        write_file(s.archives() / c.patch_file, "patched");
        const tree_snapshot before = snapshot(game);
        watched_run run = s.run();
        expect_box(run, 3,
                   {L"File: " + c.named + L"\n", L"checking the patch against the game folder failed",
                    L"Nothing was copied; the game is unchanged.", L"choose \"Run as administrator\""});
        EXPECT_EQ(snapshot(game), before);
    }
}

}  // namespace
