// Record times are local time; these tests run in UTC so exact times can be asserted.
// Set before any test (and any thread) starts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

class PinUtc : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
};

[[maybe_unused]] ::testing::Environment* const kPinUtc =
    ::testing::AddGlobalTestEnvironment(new PinUtc);

}  // namespace
