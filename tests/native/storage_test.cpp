#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>

#include "format/format.h"
#include "format/text.h"
#include "metrics/stand_ins.h"
#include "metrics/system.h"
#include "metrics/temperature_native.h"
#include "settings/settings.h"
#include "smart/smart.h"
#include "smart/smart_fake.h"
#include "smart/smart_query.h"
#include "smart/storage_query.h"

namespace {

void put16(uint8_t* at, unsigned value) {
    at[0] = value & 0xFF;
    at[1] = (value >> 8) & 0xFF;
}

void put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = (value >> (8 * i)) & 0xFF;
}

// A temperature descriptor as a driver writes it: version and size at 0
// and 4, the entry count at 12, then 16-byte entries with the index at 0
// and the signed temperature at 2. Returns the bytes written.
unsigned recordTemperatures(uint8_t* answer, std::initializer_list<std::pair<int, int>> sensors,
                            uint32_t sizeField = 0) {
    std::memset(answer, 0, 512);
    const unsigned size = 24 + 16 * static_cast<unsigned>(sensors.size());
    put32(answer, 40);
    put32(answer + 4, sizeField ? sizeField : size);
    put16(answer + 8, 70);   // critical
    put16(answer + 10, 60);  // warning
    put16(answer + 12, static_cast<unsigned>(sensors.size()));
    uint8_t* entry = answer + 24;
    for (const auto& sensor : sensors) {
        put16(entry, sensor.first);
        put16(entry + 2, static_cast<uint16_t>(sensor.second));
        entry += 16;
    }
    return size;
}

// An NVMe health log answer: the protocol data descriptor (version and
// size 48, the data 40 bytes past the protocol data, 512 long), the log.
uint8_t* recordHealthLog(unsigned compositeKelvin) {
    StorageProtocolBuffer& answer = fakeSmartDrive.nvmeAnswer;
    std::memset(&answer, 0, sizeof answer);
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&answer);
    put32(bytes, 48);
    put32(bytes + 4, 48);
    put32(bytes + 8, 3);
    put32(bytes + 12, 2);
    put32(bytes + 16, 2);
    put32(bytes + 24, 40);
    put32(bytes + 28, 512);
    fakeSmartDrive.nvmeAnswerSize = sizeof answer;
    uint8_t* log = bytes + 48;
    put16(log + 1, compositeKelvin);
    return log;
}

std::string readFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class StorageTest : public ::testing::Test {
protected:
    // An NVMe drive: opens, but answers no ATA command.
    void SetUp() override {
        resetStandIns();
        resetFakeSmartDrive();
        fakeSmartDrive.versionFails = true;
    }
    void TearDown() override { std::remove(logPath.c_str()); }
    int temperature() { return readDriveTemperature(2, 0, 0, 194).value; }
    SmartLogResult log() {
        SmartLogFiles files = {1, {}};
        copyText(files.paths[0], kSmartLogPathSize, logPath.c_str());
        return writeDriveLog(2, 0, 0, files).result;
    }
    void answerTemperatures(std::initializer_list<std::pair<int, int>> sensors) {
        fakeSmartDrive.temperatureAnswerSize = recordTemperatures(fakeSmartDrive.temperatureAnswer, sensors);
    }

    std::string logPath = ::testing::TempDir() + "telvane_nvme.log";
};

TEST(StorageTemperature, ReadsSensorZeroOfTheDescriptorWithinWhatWasWritten) {
    uint8_t answer[512];
    EXPECT_EQ(descriptorTemperature(answer, recordTemperatures(answer, {{0, 41}})), 41);
    EXPECT_EQ(descriptorTemperature(answer, recordTemperatures(answer, {{1, 55}, {0, -5}, {2, 60}})), -5);
    EXPECT_EQ(descriptorTemperature(answer, recordTemperatures(answer, {})), kNoTemperature);
    EXPECT_EQ(descriptorTemperature(answer, recordTemperatures(answer, {{1, 55}})), kNoTemperature);
    for (int celsius : {-41, 151, 300, -273}) {
        EXPECT_EQ(descriptorTemperature(answer, recordTemperatures(answer, {{0, celsius}})), kNoTemperature);
    }
    EXPECT_EQ(descriptorTemperature(answer, recordTemperatures(answer, {{0, -40}})), -40);
    EXPECT_EQ(descriptorTemperature(answer, recordTemperatures(answer, {{0, 150}})), 150);

    // A size, or a count, beyond what the driver wrote: sensor 0 in the
    // second entry lies outside the 40 bytes written.
    recordTemperatures(answer, {{1, 55}, {0, 33}}, 4096);
    EXPECT_EQ(descriptorTemperature(answer, 40), kNoTemperature);
    EXPECT_EQ(descriptorTemperature(answer, 56), 33);
    put16(answer + 12, 0xFFFF);
    EXPECT_EQ(descriptorTemperature(answer, 56), 33);
    put16(answer + 12, 1);  // the count and the size given bound it too
    EXPECT_EQ(descriptorTemperature(answer, 56), kNoTemperature);
    put16(answer + 12, 2);
    put32(answer + 4, 40);
    EXPECT_EQ(descriptorTemperature(answer, 56), kNoTemperature);
    EXPECT_EQ(descriptorTemperature(answer, 23), kNoTemperature);
}

TEST_F(StorageTest, HealthLogGivesTheCompositeTemperatureAndOnlyAWholeLogCounts) {
    const std::pair<unsigned, int> kelvins[] = {{0, kNoTemperature}, {300, 27},  {273, 0},
                                                {233, -40},          {423, 150}, {424, kNoTemperature},
                                                {65535, kNoTemperature}};
    for (const auto& k : kelvins) {
        recordHealthLog(k.first);
        EXPECT_EQ(temperature(), k.second) << k.first;
    }
    const StorageProtocolBuffer& sent = fakeSmartDrive.nvmeQuery;
    EXPECT_EQ(sent.first, 50u);
    EXPECT_EQ(sent.second, 0u);
    EXPECT_EQ(sent.protocolData.ProtocolType, 3u);
    EXPECT_EQ(sent.protocolData.DataType, 2u);
    EXPECT_EQ(sent.protocolData.ProtocolDataRequestValue, 2u);
    EXPECT_EQ(sent.protocolData.ProtocolDataRequestSubValue, 0u);
    EXPECT_EQ(sent.protocolData.ProtocolDataOffset, 40u);
    EXPECT_EQ(sent.protocolData.ProtocolDataLength, 512u);

    recordHealthLog(300);
    StorageProtocolBuffer& answer = fakeSmartDrive.nvmeAnswer;
    answer.protocolData.ProtocolDataOffset = 41;  // the log would end past the buffer
    EXPECT_EQ(temperature(), kNoTemperature);
    answer.protocolData.ProtocolDataOffset = 0xFFFFFFF0u;
    EXPECT_EQ(temperature(), kNoTemperature);
    answer.protocolData.ProtocolDataOffset = 40;
    answer.protocolData.ProtocolDataLength = 511;
    EXPECT_EQ(temperature(), kNoTemperature);
    answer.protocolData.ProtocolDataLength = 512;
    answer.first = 40;  // not the descriptor documented
    EXPECT_EQ(temperature(), kNoTemperature);
    answer.first = 48;
    // The size may count the protocol data too; the bytes returned bound the log.
    for (uint32_t size : {48u + 512u, 0xFFFFFFFFu}) {
        answer.second = size;
        fakeSmartDrive.nvmeAnswerSize = sizeof answer - 1;
        EXPECT_EQ(temperature(), kNoTemperature) << size;
        fakeSmartDrive.nvmeAnswerSize = sizeof answer;
        EXPECT_EQ(temperature(), 27) << size;
    }
    answer.second = 47;
    EXPECT_EQ(temperature(), kNoTemperature);
}

TEST_F(StorageTest, AtaAnswerIsKeptAndTheStorageStackAskedOnlyWhereItGivesNone) {
    uint8_t* entry = fakeSmartDrive.sector + 2;
    entry[0] = 194;
    entry[5] = 38;
    answerTemperatures({{0, 45}});
    recordHealthLog(330);

    fakeSmartDrive.versionFails = false;
    EXPECT_EQ(temperature(), 38);
    EXPECT_EQ(fakeSmartDrive.temperatureQuery.PropertyId, 0u);  // not asked
    EXPECT_EQ(readDriveTemperature(2, 0, 0, 190).value, 45);  // the attribute is missing
    EXPECT_EQ(fakeSmartDrive.temperatureQuery.PropertyId, 52u);
    EXPECT_EQ(fakeSmartDrive.temperatureQuery.QueryType, 0u);
    // Drive numbers 4-7 lie outside the IDE map: the storage stack alone.
    fakeSmartDrive.deviceMap = 0xFF;
    fakeSmartDrive.requests = 0;
    EXPECT_EQ(readDriveTemperature(2, 0, 4, 194).value, 45);
    EXPECT_EQ(fakeSmartDrive.requests, 2);  // the version, then the temperature

    fakeSmartDrive.versionFails = true;
    EXPECT_EQ(temperature(), 45);
    answerTemperatures({{0, 200}});
    EXPECT_EQ(temperature(), 57);  // the health log
    fakeSmartDrive.temperatureAnswerSize = 0;
    EXPECT_EQ(temperature(), 57);
    fakeSmartDrive.nvmeAnswerSize = 0;
    EXPECT_EQ(temperature(), kNoTemperature);

    // A normal user: the drive opens only without access rights, which
    // the storage stack needs; the ATA commands are not sent.
    fakeSmartDrive.versionFails = false;
    fakeSmartDrive.readWriteDenied = true;
    answerTemperatures({{0, 36}});
    fakeSmartDrive.requests = 0;
    EXPECT_EQ(readDriveTemperature(2, 12, 0, 194).value, 36);
    EXPECT_TRUE(fakeSmartDrive.openedWithoutAccess);
    EXPECT_STREQ(fakeSmartDrive.openedPath, "\\\\.\\PhysicalDrive0");
    EXPECT_EQ(fakeSmartDrive.requests, 1);
    // The 9x driver knows no storage stack.
    fakeSmartDrive.versionFails = true;
    EXPECT_EQ(readDriveTemperature(0, 0, 0, 194).value, kNoTemperature);
    EXPECT_FALSE(fakeSmartDrive.openedWithoutAccess);
    fakeSmartDrive.attached = false;
    EXPECT_EQ(temperature(), kNoTemperature);
    EXPECT_EQ(fakeSmartDrive.opens, fakeSmartDrive.closes);
}

TEST_F(StorageTest, ASleepingDriveIsNotAskedAndKeepsItsFigure) {
    answerTemperatures({{0, 41}});
    fakeSmartDrive.power = DevicePower::Off;
    const DriveTemperatureReading asleep = readDriveTemperature(2, 0, 0, 194);
    EXPECT_TRUE(asleep.asleep);
    EXPECT_EQ(fakeSmartDrive.requests, 0);
    EXPECT_EQ(fakeSmartDrive.opens, fakeSmartDrive.closes);
    fakeSmartDrive.power = DevicePower::Unknown;  // no way to tell: ask
    EXPECT_EQ(temperature(), 41);

    const int savedOsClass = osClass;
    const uint8_t savedDrive = settings.physicalDriveNumber;
    osClass = 2;
    settings.physicalDriveNumber = 0;
    freeSegments();
    compileFormat("%H", {"", "", ""});
    auto shown = [] {
        updateDriveTemperature();
        return std::string(formatEngine.segments[0]);
    };
    fakeSmartDrive.power = DevicePower::On;
    EXPECT_EQ(shown(), "41");
    fakeSmartDrive.power = DevicePower::Off;
    answerTemperatures({{0, 50}});
    EXPECT_EQ(shown(), "41");
    settings.physicalDriveNumber = 1;  // another drive's figure would mislead
    EXPECT_EQ(shown(), "255");
    fakeSmartDrive.power = DevicePower::On;
    EXPECT_EQ(shown(), "50");
    freeSegments();
    osClass = savedOsClass;
    settings.physicalDriveNumber = savedDrive;
}

TEST_F(StorageTest, NvmeLogInPlainWordsWhereTheAtaLogFails) {
    uint8_t* health = recordHealthLog(310);
    health[0] = 0x04;
    health[3] = 100;
    health[4] = 10;
    health[5] = 3;
    put32(health + 32, 1234567);
    put32(health + 48, 7654321);
    put16(health + 128, 4321);
    health[144] = 17;
    put16(health + 200, 315);
    put16(health + 204, 320);  // sensor 2 absent
    ASSERT_EQ(log(), SmartLogResult::Written);
    EXPECT_EQ(readFile(logPath),
              "This is the NVMe Health Log File from Telvane.\n\n"
              "The drive answers no ATA S.M.A.R.T. commands; these are the fields\n"
              "of its NVMe SMART / Health Information log.\n"
              "\nHealth Data for PhysicalDriveNumber=0\n\n"
              "Critical Warning = 0x04 (reliability degraded)\n"
              "Composite Temperature = 37 C (310 K)\n"
              "Available Spare = 100%\n"
              "Available Spare Threshold = 10%\n"
              "Percentage Used = 3%\n"
              "Data Units Read = 1234567 (units of 512,000 bytes)\n"
              "Data Units Written = 7654321 (units of 512,000 bytes)\n"
              "Power On Hours = 4321\n"
              "Unsafe Shutdowns = 17\n"
              "Media and Data Integrity Errors = 0\n"
              "Temperature Sensor 1 = 42 C (315 K)\n"
              "Temperature Sensor 3 = 47 C (320 K)\n"
              "\n%H shows this drive's temperature without further settings;\n"
              "the HDTempAttrID setting is for ATA drives.\n");

    // Every field at its largest: counters keep all 128 bits.
    std::memset(health, 0xFF, kNvmeLogSize);
    ASSERT_EQ(log(), SmartLogResult::Written);
    const std::string text = readFile(logPath);
    EXPECT_NE(text.find("Critical Warning = 0xFF (available spare below its threshold, temperature beyond a "
                        "threshold, reliability degraded, read only, volatile memory backup failed, "
                        "persistent memory region read only, reserved bit 6, reserved bit 7)\n"),
              std::string::npos);
    EXPECT_NE(text.find("Composite Temperature = 65262 C (65535 K)\nAvailable Spare = 255%\n"
                        "Available Spare Threshold = 255%\nPercentage Used = 255%\n"
                        "Data Units Read = 340282366920938463463374607431768211455 (units"),
              std::string::npos);
    EXPECT_NE(text.find("Media and Data Integrity Errors = 340282366920938463463374607431768211455\n"
                        "Temperature Sensor 1 = 65262 C (65535 K)\n"),
              std::string::npos);
    EXPECT_NE(text.find("Temperature Sensor 8 ="), std::string::npos);
    uint8_t counter[16] = {};
    char number[kCounterTextSize];
    counter[8] = 1;
    formatCounter(counter, number);
    EXPECT_STREQ(number, "18446744073709551616");  // 2^64: one past what 64 bits hold

    std::memset(health, 0, kNvmeLogSize);
    ASSERT_EQ(log(), SmartLogResult::Written);
    const std::string empty = readFile(logPath);
    EXPECT_NE(empty.find("Critical Warning = 0x00 (none)\nComposite Temperature = not reported\n"),
              std::string::npos);
    EXPECT_NE(empty.find("Temperature Sensors = none reported\n"), std::string::npos);

    // Neither log readable: an earlier log stays.
    fakeSmartDrive.nvmeAnswerSize = 0;
    std::ofstream(logPath) << "earlier log";
    EXPECT_EQ(log(), SmartLogResult::NoAnswer);
    EXPECT_EQ(readFile(logPath), "earlier log");
    // The log command's answer tells the user so.
    requestSmartLog();
    EXPECT_EQ(temperatureStandIn.smartLogReports, 1);
    EXPECT_STREQ(temperatureStandIn.lastTitle, "S.M.A.R.T. Log Not Saved");
    EXPECT_EQ(std::string(temperatureStandIn.lastText).rfind("Access S.M.A.R.T. Error!", 0), 0u);
}

}  // namespace
