// The inputs that once mattered to the fuzzer, through the whole pipeline on every test run;
// the sanitizer build turns any overflow or stray read into a failure here.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "support/text_files.h"
#include "whole_pipeline.h"

namespace zek {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(ZEK_FUZZ_CORPUS_DIR)) files.push_back(entry);
    std::sort(files.begin(), files.end());
    return files;
}

TEST(FuzzCorpus, EveryInputPassesThroughThePipeline) {
    const std::vector<fs::path> files = CorpusFiles();
    ASSERT_GE(files.size(), 10u);
    auto state = std::make_unique<ProgramState>();
    testing::TemporaryFolder folder;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        fuzzing::RunWholePipeline(testing::Contents(file), *state, folder.path());
        EXPECT_TRUE(fs::is_empty(folder.path()));
    }
}

TEST(FuzzCorpus, RefusedInputsGenerateNothing) {
    auto state = std::make_unique<ProgramState>();
    for (const char* name :
         {"mean_1e307", "design_code_99", "regression_code_with_two_boxes",
          "correlations_not_positive_definite", "n_above_limit", "uniform_min_above_max"}) {
        SCOPED_TRACE(name);
        state->flags.dataGenerated = false;
        fuzzing::RunWholePipeline(testing::Contents(fs::path(ZEK_FUZZ_CORPUS_DIR) / name), *state);
        EXPECT_FALSE(state->flags.dataGenerated);
    }
    fuzzing::RunWholePipeline(testing::Contents(fs::path(ZEK_FUZZ_CORPUS_DIR) / "byte_order_mark"),
                              *state);
    EXPECT_TRUE(state->flags.dataGenerated);
}

}  // namespace
}  // namespace zek
