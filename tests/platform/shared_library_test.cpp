#include "platform/shared_library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>

namespace zek::platform {
namespace {

#if defined(__linux__)

TEST(SharedLibraryTest, ALibraryGivesItsFunctionsAndNoneItLacks) {
    std::string reason;
    std::optional<SharedLibrary> library = SharedLibrary::Load("libm.so.6", reason);
    ASSERT_TRUE(library) << reason;
    using Cosine = double (*)(double);
    auto cosine = reinterpret_cast<Cosine>(library->Find("cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(library->Find("zek_no_such_function"), nullptr);
    // A moved library is closed once, by its new owner.
    SharedLibrary moved(std::move(*library));
    EXPECT_NE(moved.Find("cos"), nullptr);
}

TEST(SharedLibraryTest, ALibraryThatCannotBeLoadedSaysWhy) {
    std::string reason;
    EXPECT_FALSE(SharedLibrary::Load("libzek_not_installed.so.9", reason));
    EXPECT_NE(reason.find("libzek_not_installed.so.9"), std::string::npos) << reason;
}

#endif

}  // namespace
}  // namespace zek::platform
