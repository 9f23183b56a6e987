#include <gtest/gtest.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)

struct Small {
    int a = 0;
};
struct Large : Small {
    int more[16] = {};
};

// The sanitize build passes the page engine's sized deletes on without their size. Ours must
// still be checked: a delete through a base pointer of the wrong size is a fault.
TEST(SanitizeBuild, OurDeleteOfTheWrongSizeIsStillReported) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Small* volatile object = new Large;
            delete object;
        },
        "new-delete-type-mismatch");
}

#endif

} // namespace
