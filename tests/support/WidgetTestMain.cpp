#include "PrivateFolders.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests run on real widgets, offscreen, with settings and runtime folders of their own.
int main(int argc, char **argv)
{
    usePrivateFolders();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("LumoraTests");
    QApplication::setApplicationName("lumora-tests");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
