// libFuzzer entry: arbitrary bytes as a parameters file, through the whole pipeline.
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZEK_BUILD_FUZZERS=ON \
//         -DZEK_BUILD_UI=OFF -DZEK_BUILD_TESTS=OFF && cmake --build build-fuzz
//   build-fuzz/fuzz/zek_fuzz_parameters_file fuzz/corpus -max_len=8192
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "whole_pipeline.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The program keeps one state for its whole life, so does the fuzzer.
    static const std::unique_ptr<zek::ProgramState> state = std::make_unique<zek::ProgramState>();
    // The files go to memory where the machine has a memory file system, so that the disk's
    // flushes do not set the pace.
    static const std::filesystem::path folder = [] {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        const std::filesystem::path made = base / ("zek_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(made);
        return made;
    }();
    zek::fuzzing::RunWholePipeline(std::string_view(reinterpret_cast<const char*>(data), size),
                                   *state, folder);
    return 0;
}
