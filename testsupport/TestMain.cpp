#include "TestLocale.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (!TakeLocaleFromEnvironment())
        return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
