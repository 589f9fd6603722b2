#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

// Parallel test processes once shared one settings folder, so one test's stored "status"
// could change another's menu. Each process now has its own.
TEST(TestProcess, SettingsLiveInAFolderOfItsOwn)
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_FALSE(config.isEmpty());
    EXPECT_TRUE(QFileInfo(config).dir().dirName().startsWith("lumora-test-")) << qPrintable(config);
    QSettings settings("LumoraTests", "lumora-tests");
    EXPECT_TRUE(settings.fileName().startsWith(config)) << qPrintable(settings.fileName());
}
