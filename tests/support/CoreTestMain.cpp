#include "PrivateFolders.h"

#include <gtest/gtest.h>

// Core suites need no application object, only folders of their own.
int main(int argc, char **argv)
{
    usePrivateFolders();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
