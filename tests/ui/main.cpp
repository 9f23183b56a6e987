#include <QApplication>
#include <gtest/gtest.h>

// Widgets need a QApplication for the whole run; the platform plugin is "offscreen".
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
