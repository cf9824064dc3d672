// acf_bench FILE [REPEATS]: reads FILE with read_acf REPEATS times and prints
// the best throughput in MB/s and the process's peak resident memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "acf/acf_parser.hpp"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: acf_bench FILE [REPEATS]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    std::ifstream file(argv[1], std::ios::binary);
    std::stringstream contents;
    contents << file.rdbuf();
    const std::string bytes = contents.str();

    double best = 1e30;
    std::size_t libraries = 0;
    acf_parser parser;
    for (int i = 0; i < repeats; ++i) {
        std::istringstream input(bytes);
        auto start = std::chrono::steady_clock::now();
        acf_node tree = parser.read_acf(input);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        libraries = tree.as_object().at("libraryfolders").as_object().size();
        if (seconds < best) best = seconds;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("{\"mb_per_s\": %.2f, \"libraries\": %zu, \"peak_rss_kb\": %ld}\n", bytes.size() / 1e6 / best,
                libraries, usage.ru_maxrss);
    return 0;
}
