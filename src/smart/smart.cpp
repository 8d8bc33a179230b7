#include "smart/smart.h"
#include "format/text.h"

#include <cstdio>
#include <cstring>

#include "smart/smart_log.h"
#include "smart/smart_query.h"
#include "smart/storage_query.h"

namespace {

constexpr uint8_t kEnableSmart = 0xD8;
constexpr uint8_t kReadAttributes = 0xD0;
constexpr uint8_t kSmartCommandCode = 0xB0;
constexpr int kEntriesOffset = 2;  // after the two revision bytes

int clampedCount(int count) {
    if (count < 0) return 0;
    return count > kMaxSmartEntries ? kMaxSmartEntries : count;
}

const uint8_t* entryAt(const uint8_t* sector, int index) {
    return sector + kEntriesOffset + index * kSmartEntrySize;
}

// A device opened either for the ATA commands (read and write, which
// takes an administrator on NT) or, failing that, with no access rights
// for the storage stack's queries, which any user may send.
struct OpenDrive {
    SmartHandle handle;
    bool ata;
};

bool openDrive(int osClass, const char* path, OpenDrive* drive) {
    drive->handle = nullptr;
    drive->ata = openSmartDevice(path, osClass == 0, &drive->handle);
    if (drive->ata) return true;
    return osClass != 0 && openStorageDevice(path, &drive->handle);
}

// Version, device map, enable, read.
bool readAttributes(SmartHandle device, int driveNumber, SmartAttributeBuffer* attributes) {
    SmartVersionParams version;
    std::memset(&version, 0, sizeof version);
    if (!smartDeviceControl(device, kSmartGetVersion, nullptr, 0, &version, sizeof version)) return false;
    if (!smartDriveUsable(version.bIDEDeviceMap, driveNumber)) return false;

    SmartCommandParams enable = smartCommand(driveNumber, kEnableSmart, 0);
    SmartCommandResult enabled;
    std::memset(&enabled, 0, sizeof enabled);
    if (!smartDeviceControl(device, kSmartSendDriveCommand, &enable, kSmartCommandSize, &enabled,
                            kSmartResultHeaderSize))
        return false;

    SmartCommandParams read = smartCommand(driveNumber, kReadAttributes, kSmartSectorSize);
    std::memset(attributes, 0, sizeof *attributes);
    return smartDeviceControl(device, kSmartReceiveDriveData, &read, kSmartCommandSize, attributes,
                              sizeof *attributes);
}

int ataTemperature(SmartHandle device, int driveNumber, int attributeId) {
    SmartAttributeBuffer attributes;
    if (!readAttributes(device, driveNumber, &attributes)) return kNoTemperature;
    return findSmartAttribute(attributes.sector, smartEntryCount(attributes.cBufferSize), attributeId);
}

// A log that could not be written out must not be reported as saved.
bool closeLog(FILE* log) {
    bool failed = std::ferror(log) != 0;
    if (std::fclose(log) != 0) failed = true;
    return !failed;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Windows finds file names without regard to case.
bool sameLetters(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (asciiLower(*a) != asciiLower(*b)) return false;
    }
    return *a == *b;
}

}  // namespace

int smartDevicePath(int osClass, int physicalDrive, char* path, int size) {
    if (osClass == 0) {
        copyText(path, size, "\\\\.\\SMARTVSD");
        return physicalDrive;
    }
    // The device name takes a single digit.
    int used = (physicalDrive < 0 || physicalDrive > 9) ? 0 : physicalDrive;
    formatText(path, size, "\\\\.\\PhysicalDrive%d", used);
    return used;
}

bool smartDriveUsable(uint8_t deviceMap, int driveNumber) {
    // The map describes four IDE devices: bits 0-3 the ATA ones, bits 4-7
    // their ATAPI twins. A drive number beyond 3 is not in it; its bits
    // would be another device's.
    if (driveNumber < 0 || driveNumber > 3) return false;
    const unsigned map = deviceMap;
    return ((map >> driveNumber) & 0x01) != 0 && ((map >> (driveNumber + 4)) & 0x01) == 0;
}

SmartCommandParams smartCommand(int driveNumber, uint8_t feature, uint32_t bufferSize) {
    SmartCommandParams command;
    std::memset(&command, 0, sizeof command);
    command.cBufferSize = bufferSize;
    command.irDriveRegs.bFeaturesReg = feature;
    command.irDriveRegs.bSectorCountReg = 1;
    command.irDriveRegs.bSectorNumberReg = 1;
    command.irDriveRegs.bCylLowReg = 0x4F;
    command.irDriveRegs.bCylHighReg = 0xC2;
    command.irDriveRegs.bDriveHeadReg = (driveNumber & 1) ? 0xB0 : 0xA0;  // slave : master
    command.irDriveRegs.bCommandReg = kSmartCommandCode;
    command.bDriveNumber = static_cast<uint8_t>(driveNumber);
    return command;
}

int smartEntryCount(uint32_t reportedBufferSize) {
    // Drivers report sizes below 2 too; the unsigned wrap then gives a
    // large count, which the cap keeps inside the sector.
    uint8_t count = static_cast<uint8_t>((reportedBufferSize - 2u) / kSmartEntrySize);
    return clampedCount(count);
}

int findSmartAttribute(const uint8_t* sector, int count, int attributeId) {
    // Id 0 marks an empty entry, whose raw bytes are no reading.
    if (attributeId < 1 || attributeId > 255) return kNoTemperature;
    count = clampedCount(count);
    for (int i = 0; i < count; ++i) {
        const uint8_t* entry = entryAt(sector, i);
        if (entry[0] == attributeId) return entry[5];
    }
    return kNoTemperature;
}

void writeAttributeLog(FILE* log, int physicalDriveUsed, int driveNumber, const uint8_t* sector, int count) {
    count = clampedCount(count);
    std::fputs("This is the S.M.A.R.T. Attribute Log File from Telvane.\n\n", log);
    writeLogLine(log, "\nAttribute Data for PhysicalDriveNumber=%d and DriveNumber=%d\n",
                 physicalDriveUsed, driveNumber);
    writeLogLine(log, "\nAttribute Count = %d (including NULL attributes)\n", count);
    writeLogLine(log, "Attribute Structure Revision = %d\n", sector[0]);
    std::fputs("-ID- -Value- -Raw Data-\n", log);
    for (int i = 0; i < count; ++i) {
        const uint8_t* entry = entryAt(sector, i);
        if (entry[0] == 0) continue;
        writeLogLine(log, "%4u  %-6d [%3d] %3d %3d %3d %3d %3d\n", static_cast<unsigned>(entry[0]),
                     entry[3], entry[5], entry[6], entry[7], entry[8], entry[9], entry[10]);
    }
    std::fputs("\nThe HD Temperature maybe at one of the first Raw data with [ ]\n"
               "\nIf you find it, please note down the attribute ID and set it to"
               "\nTelvane rcfile \"HDTempAttrID\" setting."
               "\nAfter that, you can reload Telvane to test it.\n"
               "\nIf you have no idea about the above values, try to"
               "\ntake a look at https://www.smartmontools.org/wiki/Drivedb"
               "\nIt provide data: https://www.smartmontools.org/browser/trunk/smartmontools/drivedb.h"
               "\nIn this web page, it shows which brand of HD supports temperature"
               "\nsensor and its S.M.A.R.T. attribute ID with its temperature unit.\n",
               log);
}

DriveTemperatureReading readDriveTemperature(int osClass, int physicalDrive, int driveNumber,
                                             int attributeId) {
    DriveTemperatureReading reading = {kNoTemperature, false};
    char path[kSmartDevicePathSize];
    smartDevicePath(osClass, physicalDrive, path, sizeof path);
    OpenDrive drive;
    if (!openDrive(osClass, path, &drive)) return reading;
    if (smartDevicePower(drive.handle) == DevicePower::Off) {
        reading.asleep = true;  // any request could spin it up
    } else {
        if (drive.ata) reading.value = ataTemperature(drive.handle, driveNumber, attributeId);
        if (reading.value == kNoTemperature && osClass != 0) reading.value = storageTemperature(drive.handle);
    }
    closeSmartDevice(drive.handle);
    return reading;
}

SmartLogFiles smartLogFiles(const char* settingsFile) {
    SmartLogFiles files;
    std::memset(&files, 0, sizeof files);
    copyText(files.paths[0], kSmartLogPathSize, kSmartLogPath);
    files.count = 1;
    if (!settingsFile) return files;
    const char* name = nullptr;  // just past the last separator
    for (const char* c = settingsFile; *c; ++c) {
        if (*c == '\\' || *c == '/') name = c + 1;
    }
    if (!name) return files;
    const size_t folder = static_cast<size_t>(name - settingsFile);
    if (folder + std::strlen(kSmartLogName) >= kSmartLogPathSize) return files;  // a cut path names another file
    char* beside = files.paths[1];
    std::memcpy(beside, settingsFile, folder);
    copyText(beside + folder, kSmartLogPathSize - folder, kSmartLogName);
    if (!sameLetters(beside, files.paths[0])) files.count = 2;
    return files;
}

SmartLogAnswer writeDriveLog(int osClass, int physicalDrive, int driveNumber, const SmartLogFiles& files) {
    SmartLogAnswer answer = {SmartLogResult::NoAnswer, 0};
    char path[kSmartDevicePathSize];
    int physicalDriveUsed = smartDevicePath(osClass, physicalDrive, path, sizeof path);
    OpenDrive drive;
    if (!openDrive(osClass, path, &drive)) return answer;

    SmartAttributeBuffer attributes;
    StorageProtocolBuffer health;
    const uint8_t* healthLog = nullptr;
    const bool ata = drive.ata && readAttributes(drive.handle, driveNumber, &attributes);
    if (!ata && osClass != 0) healthLog = readNvmeHealthLog(drive.handle, &health);
    closeSmartDevice(drive.handle);
    if (!ata && !healthLog) return answer;

    // A file is opened only once there is something to write, so a drive
    // that does not answer leaves an earlier log as it was.
    answer.result = SmartLogResult::NotWritten;
    const int count = files.count < kSmartLogFileCount ? files.count : kSmartLogFileCount;
    for (int i = 0; i < count; ++i) {
        FILE* log = std::fopen(files.paths[i], "w+");
        if (!log) continue;
        if (ata)
            writeAttributeLog(log, physicalDriveUsed, driveNumber, attributes.sector,
                              smartEntryCount(attributes.cBufferSize));
        else
            writeNvmeHealthLog(log, physicalDriveUsed, healthLog);
        if (closeLog(log)) return {SmartLogResult::Written, i};
    }
    return answer;
}
