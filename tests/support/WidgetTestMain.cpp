#include <QApplication>

#include <gtest/gtest.h>

// Widget tests run on real widgets, offscreen, with their own settings folder.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("LumoraTests");
    QApplication::setApplicationName("lumora-tests");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
