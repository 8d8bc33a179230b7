#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "format/text.h"
#include "metrics/temperature.h"
#include "smart/smart.h"
#include "smart/smart_fake.h"
#include "smart/smart_query.h"

namespace {

struct Entry {
    uint8_t id, value, worst, raw[6];
};

// Attribute table of a desktop drive: 12 attributes and one empty entry
// in between; 194 holds the temperature (38, lifetime maximum 18 unused).
const Entry kRecordedDrive[] = {
    {1, 117, 99, {88, 27, 158, 7}}, {3, 97, 97, {}},       {4, 100, 100, {178, 4}},
    {5, 100, 100, {}},              {7, 78, 60, {76, 111, 43, 3}},
    {0, 0, 0, {7}},                 {9, 92, 92, {43, 28}}, {10, 100, 100, {}},
    {12, 100, 100, {232, 3}},       {194, 38, 45, {38, 0, 0, 0, 18}},
    {195, 48, 22, {88, 27, 158, 7}}, {197, 100, 100, {}},  {198, 100, 100, {}},
};

void putEntry(int index, const Entry& entry) {
    uint8_t* at = fakeSmartDrive.sector + 2 + index * 12;
    at[0] = entry.id;
    at[1] = 0x32;  // flags, never read
    at[3] = entry.value;
    at[4] = entry.worst;
    std::memcpy(at + 5, entry.raw, 6);
}

std::string readFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class SmartTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakeSmartDrive();
        fakeSmartDrive.sector[0] = 16;  // revision
        int index = 0;
        for (const Entry& entry : kRecordedDrive) putEntry(index++, entry);
    }
    void TearDown() override { std::remove(logPath.c_str()); }
    int query(int attributeId, int drive = 0) { return readDriveTemperature(2, 0, drive, attributeId).value; }
    SmartLogResult log(int physicalDrive = 0, int drive = 0) {
        return writeDriveLog(2, physicalDrive, drive, files({logPath})).result;
    }
    static SmartLogFiles files(const std::vector<std::string>& paths) {
        SmartLogFiles f = {};
        for (const std::string& path : paths) copyText(f.paths[f.count++], kSmartLogPathSize, path.c_str());
        return f;
    }

    std::string logPath = ::testing::TempDir() + "telvane_smart.log";
};

TEST_F(SmartTest, ReturnsRawByteZeroOfTheFirstMatchingEntry) {
    EXPECT_EQ(query(194), 38);
    EXPECT_EQ(query(4), 178);
    EXPECT_EQ(query(0), kNoTemperature);  // not the empty entry inside the count
    putEntry(20, {194, 50, 50, {99}});
    EXPECT_EQ(query(194), 38);
    EXPECT_EQ(query(231), kNoTemperature);
    fakeSmartDrive.reportedBufferSize = 2 + 11;  // no whole entry
    EXPECT_EQ(query(1), kNoTemperature);
}

TEST_F(SmartTest, NeverWalksPastTheSectorWhateverSizeTheDriverReports) {
    EXPECT_EQ(smartEntryCount(2 + 12 * 12), 12);
    EXPECT_EQ(smartEntryCount(2 + 12 * 256), 0);  // the count is 8 bits wide
    putEntry(29, {231, 1, 1, {41}});
    putEntry(31, {232, 1, 1, {42}});  // beyond the cap of 30
    for (uint32_t reported : {512u, 0u, 1u, 0xFFFFFFFFu}) {  // 42 entries, then wraps
        fakeSmartDrive.reportedBufferSize = reported;
        EXPECT_EQ(smartEntryCount(reported), 30);
        EXPECT_EQ(query(231), 41) << reported;
        EXPECT_EQ(query(232), kNoTemperature) << reported;
        EXPECT_EQ(log(), SmartLogResult::Written) << reported;
    }
}

TEST_F(SmartTest, AddressesOnlyIdeDrivesTheMapShowsWithTheirHeadRegister) {
    // The map's bits 4-7 are the ATAPI twins of drives 0-3, never drives 4-7.
    for (uint8_t map : {0xFF, 0xF0, 0x10}) {
        fakeSmartDrive.deviceMap = map;
        for (int drive : {4, 5, 6, 7, 8, 31, 32, 255, -1})
            EXPECT_EQ(query(194, drive), kNoTemperature) << int{map} << ' ' << drive;
    }
    EXPECT_EQ(fakeSmartDrive.enableCommand.irDriveRegs.bCommandReg, 0);  // nothing sent
    fakeSmartDrive.deviceMap = 0x11;  // drive 0 present but ATAPI
    EXPECT_EQ(query(194, 0), kNoTemperature);

    fakeSmartDrive.deviceMap = 0x06;
    EXPECT_EQ(query(194, 0), kNoTemperature);
    const uint8_t heads[] = {0, 0xB0, 0xA0};
    for (int drive = 1; drive < 3; ++drive) {
        ASSERT_EQ(query(194, drive), 38);
        EXPECT_EQ(fakeSmartDrive.enableCommand.irDriveRegs.bDriveHeadReg, heads[drive]);
        EXPECT_EQ(fakeSmartDrive.readCommand.irDriveRegs.bDriveHeadReg, heads[drive]);
        EXPECT_EQ(fakeSmartDrive.readCommand.bDriveNumber, drive);
    }
    EXPECT_EQ(fakeSmartDrive.enableCommand.irDriveRegs.bFeaturesReg, 0xD8);
    EXPECT_EQ(fakeSmartDrive.readCommand.irDriveRegs.bFeaturesReg, 0xD0);
    EXPECT_EQ(uint32_t{fakeSmartDrive.readCommand.cBufferSize}, 512u);  // copied: the field is packed
    EXPECT_EQ(fakeSmartDrive.commandInputSize, 32u);
    EXPECT_EQ(fakeSmartDrive.enableOutputSize, 16u);
    EXPECT_EQ(fakeSmartDrive.readOutputSize, 528u);
}

TEST_F(SmartTest, OpensTheDeviceOfTheOsFamilyAndAlwaysClosesIt) {
    readDriveTemperature(2, 12, 0, 194);
    EXPECT_STREQ(fakeSmartDrive.openedPath, "\\\\.\\PhysicalDrive0");
    readDriveTemperature(0, 3, 0, 194);
    EXPECT_STREQ(fakeSmartDrive.openedPath, "\\\\.\\SMARTVSD");
    EXPECT_TRUE(fakeSmartDrive.openedLegacy);

    bool* failures[] = {&fakeSmartDrive.versionFails, &fakeSmartDrive.enableFails, &fakeSmartDrive.readFails};
    for (bool* failure : failures) {
        *failure = true;
        EXPECT_EQ(query(194), kNoTemperature);
        *failure = false;
    }
    EXPECT_EQ(writeDriveLog(2, 0, 0, files({"/nonexistent/dir/log"})).result, SmartLogResult::NotWritten);
    EXPECT_EQ(fakeSmartDrive.opens, 6);
    EXPECT_EQ(fakeSmartDrive.closes, 6);
    fakeSmartDrive.attached = false;
    EXPECT_EQ(query(194), kNoTemperature);
    EXPECT_EQ(fakeSmartDrive.closes, 6);
}

TEST_F(SmartTest, LogListsEveryUsedAttributeWithRawByteZeroInBrackets) {
    fakeSmartDrive.deviceMap = 0x02;
    ASSERT_EQ(log(12, 1), SmartLogResult::Written);
    EXPECT_EQ(readFile(logPath),
              "This is the S.M.A.R.T. Attribute Log File from Telvane.\n\n"
              "\nAttribute Data for PhysicalDriveNumber=0 and DriveNumber=1\n"
              "\nAttribute Count = 30 (including NULL attributes)\n"
              "Attribute Structure Revision = 16\n"
              "-ID- -Value- -Raw Data-\n"
              "   1  117    [ 88]  27 158   7   0   0\n"
              "   3  97     [  0]   0   0   0   0   0\n"
              "   4  100    [178]   4   0   0   0   0\n"
              "   5  100    [  0]   0   0   0   0   0\n"
              "   7  78     [ 76] 111  43   3   0   0\n"
              "   9  92     [ 43]  28   0   0   0   0\n"
              "  10  100    [  0]   0   0   0   0   0\n"
              "  12  100    [232]   3   0   0   0   0\n"
              " 194  38     [ 38]   0   0   0  18   0\n"
              " 195  48     [ 88]  27 158   7   0   0\n"
              " 197  100    [  0]   0   0   0   0   0\n"
              " 198  100    [  0]   0   0   0   0   0\n"
              "\nThe HD Temperature maybe at one of the first Raw data with [ ]\n"
              "\nIf you find it, please note down the attribute ID and set it to"
              "\nTelvane rcfile \"HDTempAttrID\" setting."
              "\nAfter that, you can reload Telvane to test it.\n"
              "\nIf you have no idea about the above values, try to"
              "\ntake a look at https://www.smartmontools.org/wiki/Drivedb"
              "\nIt provide data: https://www.smartmontools.org/browser/trunk/smartmontools/drivedb.h"
              "\nIn this web page, it shows which brand of HD supports temperature"
              "\nsensor and its S.M.A.R.T. attribute ID with its temperature unit.\n");
}

// The log goes to C:\ first and, where that cannot be written, beside the
// settings file; the result box names the file written, or tells a drive
// that did not answer from files that could not be written.
TEST_F(SmartTest, LogGoesToTheFirstFileThatCanBeWrittenAndKeepsAnEarlierOneWhenTheDriveFails) {
    std::ofstream(logPath) << "earlier log";
    fakeSmartDrive.readFails = true;
    EXPECT_EQ(log(), SmartLogResult::NoAnswer);
    EXPECT_EQ(readFile(logPath), "earlier log");
    fakeSmartDrive.readFails = false;

    const std::string second = logPath + ".beside";
    const std::string denied = "/nonexistent/dir/log";
    const std::string full = "/dev/full";  // opens, but every write fails
    struct Row {
        std::vector<std::string> paths;
        SmartLogResult result;
        int file;
    };
    const Row rows[] = {
        {{logPath, second}, SmartLogResult::Written, 0},
        {{denied, second}, SmartLogResult::Written, 1},
        {{full, second}, SmartLogResult::Written, 1},
        {{denied, full}, SmartLogResult::NotWritten, 0},
        {{full}, SmartLogResult::NotWritten, 0},
    };
    for (const Row& row : rows) {
        std::remove(second.c_str());
        const SmartLogAnswer answer = writeDriveLog(2, 0, 0, files(row.paths));
        EXPECT_EQ(answer.result, row.result) << row.paths[0];
        EXPECT_EQ(answer.file, row.file) << row.paths[0];
        if (row.file == 1) {
            EXPECT_EQ(readFile(second).rfind("This is the S.M.A.R.T.", 0), 0u);
        }
    }
    std::remove(second.c_str());
    EXPECT_EQ(fakeSmartDrive.opens, fakeSmartDrive.closes);
}

TEST(SmartLogFile, BesideTheSettingsFileWhereThatIsAnotherFileThatFits) {
    const std::string longFolder = "C:\\" + std::string(240, 'f') + "\\";
    const struct {
        std::string settings;
        const char* beside;  // null: C:\ alone
    } rows[] = {
        {"C:\\Blackbox\\plugins\\Telvane\\Telvane.rc", "C:\\Blackbox\\plugins\\Telvane\\Telvane.HDTemp.log"},
        {"D:/bb/Telvanerc", "D:/bb/Telvane.HDTemp.log"},
        {"\\\\server\\share\\Telvane.rc", "\\\\server\\share\\Telvane.HDTemp.log"},
        {longFolder + "Telvane.rc", nullptr},  // 260 characters: would be cut
        {"c:\\telvane.rc", nullptr},          // the same file as the first
        {"Telvane.rc", nullptr},
        {"", nullptr},
    };
    for (const auto& row : rows) {
        const SmartLogFiles files = smartLogFiles(row.settings.c_str());
        EXPECT_STREQ(files.paths[0], "C:\\Telvane.HDTemp.log");
        ASSERT_EQ(files.count, row.beside ? 2 : 1) << row.settings;
        if (row.beside) {
            EXPECT_STREQ(files.paths[1], row.beside);
        }
    }
    EXPECT_EQ(smartLogFiles(nullptr).count, 1);
    const std::string fits = "C:\\" + std::string(237, 'f') + "\\Telvane.rc";
    EXPECT_EQ(std::strlen(smartLogFiles(fits.c_str()).paths[1]), 259u);
}

TEST(SmartLogFile, ResultBoxNamesTheFileWrittenOrWhatFailed) {
    const SmartLogFiles both = smartLogFiles("D:\\bb\\Telvane.rc");
    const SmartLogFiles first = smartLogFiles("");
    const struct {
        SmartLogAnswer answer;
        const SmartLogFiles& files;
        const char* title;
        const char* text;
    } rows[] = {
        {{SmartLogResult::Written, 0}, both, "S.M.A.R.T. Log Saved",
         "S.M.A.R.T. Log file is saved to\n\nC:\\Telvane.HDTemp.log\n"},
        {{SmartLogResult::Written, 1}, both, "S.M.A.R.T. Log Saved",
         "S.M.A.R.T. Log file is saved to\n\nD:\\bb\\Telvane.HDTemp.log\n\n"
         "(C:\\Telvane.HDTemp.log could not be written.)\n"},
        {{SmartLogResult::NotWritten, 0}, both, "S.M.A.R.T. Log Not Saved",
         "The drive answered, but the log file could not be written to\n\nC:\\Telvane.HDTemp.log\n"
         "D:\\bb\\Telvane.HDTemp.log\n\nNo Log file is saved.\n"},
        {{SmartLogResult::NotWritten, 0}, first, "S.M.A.R.T. Log Not Saved",
         "The drive answered, but the log file could not be written to\n\nC:\\Telvane.HDTemp.log\n\n"
         "No Log file is saved.\n"},
        {{SmartLogResult::NoAnswer, 0}, both, "S.M.A.R.T. Log Not Saved",
         "Access S.M.A.R.T. Error!\n\nThe drive gave neither its S.M.A.R.T. attributes nor an NVMe "
         "health log.\nNo Log file is saved.\n"},
    };
    for (const auto& row : rows) {
        char text[kSmartLogReportSize];
        EXPECT_STREQ(smartLogReport(row.answer, row.files, text, sizeof text), row.title);
        EXPECT_STREQ(text, row.text);
    }
}

}  // namespace
