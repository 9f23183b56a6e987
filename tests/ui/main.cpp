#include "app/KoroApplication.h"
#include "webengine/PageEngineFlags.h"

#include <gtest/gtest.h>

// Widgets need an application object for the whole run; it is the program's own, so errors in
// handlers are contained as in the product. The platform plugin is "offscreen".
int main(int argc, char** argv) {
    // ctest lists the tests without the test environment, and drops all but the first of its
    // variables: give each its test default unless the caller chose otherwise.
    const char* defaults[][2] = {{"QT_QPA_PLATFORM", "offscreen"},
                                 {"QTWEBENGINE_DISABLE_SANDBOX", "1"},
                                 {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu"}};
    for (const auto& [name, value] : defaults) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, value);
    }
    // The engine as the program starts it (Chinese pages), on the GPU setting the caller chose.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            koro::pageEngineFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), true));
    ::testing::InitGoogleTest(&argc, argv);
    koro::KoroApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
