// What a class set leaves in its folder, judged against the two sets it may hold: the earlier
// one it replaced and the new one. Every dataset's files must be wholly of one of them (or
// all gone), the class key, where there is one, must list exactly the datasets on disk, and
// nothing else may be there.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/text_files.h"

namespace zek::testing {

using FolderContents = std::map<std::string, std::string>;

inline FolderContents ContentsOf(const std::filesystem::path& folder) {
    FolderContents contents;
    for (const std::string& name : NamesIn(folder)) contents[name] = Contents(folder / name);
    return contents;
}

inline void PutContents(const std::filesystem::path& folder, const FolderContents& contents) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const auto& [name, text] : contents) {
        std::ofstream(folder / name, std::ios::binary) << text;
    }
}

/// `datasets` holds each dataset's file names, data file first, in the order of the key.
inline void ExpectDatasetsOfOneSetAndATrueKey(FolderContents onDisk, const FolderContents& earlier,
                                              const FolderContents& replacing,
                                              const std::vector<std::vector<std::string>>& datasets,
                                              const std::string& classKey) {
    std::vector<std::string> keyRowsExpected;
    for (std::size_t dataset = 0; dataset < datasets.size(); ++dataset) {
        const std::vector<std::string>& names = datasets[dataset];
        const FolderContents* from = nullptr;
        for (const FolderContents* set : {&earlier, &replacing}) {
            if (onDisk.count(names[0]) && onDisk[names[0]] == set->at(names[0])) from = set;
        }
        for (const std::string& name : names) {
            if (from == nullptr) {
                EXPECT_EQ(onDisk.count(name), 0u) << name << " is of neither set";
            } else {
                EXPECT_TRUE(onDisk.count(name) && onDisk[name] == from->at(name))
                    << name << " is not of the set of " << names[0];
            }
            onDisk.erase(name);
        }
        if (from != nullptr) keyRowsExpected.push_back(SplitCrLf(from->at(classKey))[dataset + 1]);
    }
    if (onDisk.count(classKey)) {
        const std::vector<std::string> rows = SplitCrLf(onDisk[classKey]);
        EXPECT_EQ(std::vector<std::string>(rows.begin() + 1, rows.end()), keyRowsExpected);
        onDisk.erase(classKey);
    }
    for (const auto& [name, text] : onDisk) ADD_FAILURE() << name << " was left behind";
}

}  // namespace zek::testing
