#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "smart/smart.h"
#include "smart/smart_device.h"

// No disk here answers S.M.A.R.T. requests (wine opens the drive but
// refuses the version request): every query fails cleanly, and a failed
// log command leaves an earlier log as it was.
TEST(SmartOnWindows, QueriesFailWithoutADriveAndKeepAnEarlierLog) {
    const char* path = "C:\\Telvane.HDTemp.log";
    EXPECT_EQ(readDriveTemperature(0, 0, 0, 194).value, kNoTemperature);
    const DriveTemperatureReading reading = readDriveTemperature(2, 0, 0, 194);
    EXPECT_EQ(reading.value, kNoTemperature);
    EXPECT_FALSE(reading.asleep);  // wine cannot tell, so the drive is asked

    FILE* file = std::fopen(path, "w");
    ASSERT_NE(file, nullptr);
    std::fputs("earlier log", file);
    std::fclose(file);
    EXPECT_EQ(writeDriveLog(2, 0, 0, smartLogFiles("")).result, SmartLogResult::NoAnswer);

    char text[32] = {};
    file = std::fopen(path, "r");
    ASSERT_NE(file, nullptr);
    size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    std::remove(path);
    EXPECT_EQ(std::string(text, length), "earlier log");
}

TEST(SmartOnWindows, MissingDriverCannotBeOpenedButTheDriveOpensWithoutRights) {
    SmartHandle device = nullptr;
    EXPECT_FALSE(openSmartDevice("\\\\.\\SMARTVSD", true, &device));  // the 9x driver, absent on NT
    EXPECT_EQ(device, nullptr);
    ASSERT_TRUE(openStorageDevice("\\\\.\\PhysicalDrive0", &device));
    closeSmartDevice(device);
}
