// Every seed of the fuzzer's corpus through both reading modes, so that the
// differential check runs with every test run and not only when fuzzing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/acf/differential_read.hpp"

namespace {

TEST(acf_corpus, every_seed_reads_alike_both_ways) {
    std::size_t seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ACF_CORPUS_DIR)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        EXPECT_TRUE(modes_agree(bytes));
        ++seeds;
    }
    EXPECT_GE(seeds, 6u) << "the corpus at " << ACF_CORPUS_DIR << " is missing";
}

}  // namespace
