#include <gtest/gtest.h>

#include "plugin/info.h"

TEST(PluginInfo, AnswersEveryFieldAndFallsBackToTheFullName) {
    EXPECT_STREQ(pluginInfo(1), "Telvane");
    EXPECT_STREQ(pluginInfo(2), "0.1.1b");
    EXPECT_STREQ(pluginInfo(3), "Telvane developers");
    EXPECT_STREQ(pluginInfo(4), "2006-02-28");
    EXPECT_STREQ(pluginInfo(0), "Telvane 0.1.1b");
    EXPECT_STREQ(pluginInfo(7), "Telvane 0.1.1b");
    EXPECT_STREQ(pluginInfo(-1), "Telvane 0.1.1b");
}
