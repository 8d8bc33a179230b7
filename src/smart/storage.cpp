#include "smart/storage_query.h"

#include <cstring>

#include "format/text.h"
#include "smart/smart_log.h"

namespace {

unsigned littleEndian16(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

int kelvinToCelsius(unsigned kelvin) {
    return static_cast<int>(kelvin) - 273;
}

}  // namespace

int plausibleTemperature(int celsius) {
    return celsius < kColdestTemperature || celsius > kHottestTemperature ? kNoTemperature : celsius;
}

StoragePropertyQuery storageTemperatureQuery() {
    StoragePropertyQuery query;
    std::memset(&query, 0, sizeof query);
    query.PropertyId = kStorageDeviceTemperatureProperty;
    query.QueryType = kStorageStandardQuery;
    return query;
}

int descriptorTemperature(const uint8_t* answer, unsigned returned) {
    StorageTemperatureHeader header;
    if (returned < sizeof header) return kNoTemperature;
    std::memcpy(&header, answer, sizeof header);
    // Only what the driver wrote counts, whatever size it claims.
    unsigned size = header.Size < returned ? header.Size : returned;
    if (size < sizeof header) return kNoTemperature;
    unsigned entries = (size - sizeof header) / sizeof(StorageTemperatureInfo);
    if (header.InfoCount < entries) entries = header.InfoCount;
    for (unsigned i = 0; i < entries; ++i) {
        StorageTemperatureInfo info;
        std::memcpy(&info, answer + sizeof header + i * sizeof info, sizeof info);
        if (info.Index == 0) return plausibleTemperature(info.Temperature);  // the device's own sensor
    }
    return kNoTemperature;
}

void prepareNvmeHealthQuery(StorageProtocolBuffer* buffer) {
    std::memset(buffer, 0, sizeof *buffer);
    buffer->first = kStorageDeviceProtocolSpecificProperty;
    buffer->second = kStorageStandardQuery;
    StorageProtocolSpecificData& request = buffer->protocolData;
    request.ProtocolType = kProtocolTypeNvme;
    request.DataType = kNvmeDataTypeLogPage;
    request.ProtocolDataRequestValue = kNvmeHealthLogPage;
    request.ProtocolDataRequestSubValue = 0;
    request.ProtocolDataOffset = sizeof(StorageProtocolSpecificData);
    request.ProtocolDataLength = kNvmeLogSize;
}

const uint8_t* nvmeHealthLogIn(const StorageProtocolBuffer& answer, unsigned returned) {
    // The answer's header is STORAGE_PROTOCOL_DATA_DESCRIPTOR, whose
    // version gives its own size. Its size is that too, or, as some
    // drivers fill it in, the whole answer's; only the bytes returned
    // bound the log.
    constexpr unsigned kDescriptorSize = offsetof(StorageProtocolBuffer, log);
    if (returned > sizeof answer || returned < kDescriptorSize) return nullptr;
    if (answer.first != kDescriptorSize || answer.second < kDescriptorSize) return nullptr;
    const StorageProtocolSpecificData& data = answer.protocolData;
    if (data.ProtocolDataLength < kNvmeLogSize || data.ProtocolDataOffset < sizeof data) return nullptr;
    const unsigned start = offsetof(StorageProtocolBuffer, protocolData);
    if (data.ProtocolDataOffset > returned - start ||
        returned - start - data.ProtocolDataOffset < kNvmeLogSize)
        return nullptr;
    return reinterpret_cast<const uint8_t*>(&answer.protocolData) + data.ProtocolDataOffset;
}

int nvmeCompositeTemperature(const uint8_t* healthLog) {
    unsigned kelvin = littleEndian16(healthLog + kNvmeCompositeTemperature);
    if (kelvin == 0) return kNoTemperature;  // not reported
    return plausibleTemperature(kelvinToCelsius(kelvin));
}

const uint8_t* readNvmeHealthLog(SmartHandle device, StorageProtocolBuffer* buffer) {
    prepareNvmeHealthQuery(buffer);
    unsigned returned = 0;
    if (!smartDeviceControl(device, kStorageQueryProperty, buffer, sizeof *buffer, buffer, sizeof *buffer,
                            &returned))
        return nullptr;
    return nvmeHealthLogIn(*buffer, returned);
}

// The temperature property covers NVMe, SATA and USB drives alike where
// the driver fills it in.
int storageTemperature(SmartHandle device) {
    StoragePropertyQuery query = storageTemperatureQuery();
    uint8_t answer[kTemperatureAnswerSize];
    std::memset(answer, 0, sizeof answer);
    unsigned returned = 0;
    if (smartDeviceControl(device, kStorageQueryProperty, &query, sizeof query, answer, sizeof answer,
                           &returned)) {
        int temperature = descriptorTemperature(answer, returned);
        if (temperature != kNoTemperature) return temperature;
    }
    StorageProtocolBuffer buffer;
    const uint8_t* healthLog = readNvmeHealthLog(device, &buffer);
    return healthLog ? nvmeCompositeTemperature(healthLog) : kNoTemperature;
}

void formatCounter(const uint8_t* counter, char (&text)[kCounterTextSize]) {
    uint8_t value[16];
    std::memcpy(value, counter, sizeof value);
    char digits[kCounterTextSize];
    int count = 0;
    bool more;
    do {  // divide the 128-bit number by 10, most significant byte first
        unsigned remainder = 0;
        more = false;
        for (int i = 15; i >= 0; --i) {
            unsigned current = remainder * 256 + value[i];
            value[i] = static_cast<uint8_t>(current / 10);
            remainder = current % 10;
            more = more || value[i] != 0;
        }
        digits[count++] = static_cast<char>('0' + remainder);
    } while (more);
    for (int i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
    text[count] = '\0';
}

namespace {

void writeKelvin(FILE* log, const char* name, unsigned kelvin) {
    writeLogLine(log, "%s = %d C (%u K)\n", name, kelvinToCelsius(kelvin), kelvin);
}

void writeCounter(FILE* log, const char* name, const uint8_t* counter, const char* unit) {
    char number[kCounterTextSize];
    formatCounter(counter, number);
    writeLogLine(log, "%s = %s%s\n", name, number, unit);
}

void writeCriticalWarning(FILE* log, unsigned bits) {
    static const char* const kWarnings[] = {
        "available spare below its threshold", "temperature beyond a threshold",
        "reliability degraded",                "read only",
        "volatile memory backup failed",       "persistent memory region read only",
    };
    writeLogLine(log, "Critical Warning = 0x%02X (", bits);
    if (bits == 0) std::fputs("none", log);
    const char* separator = "";
    for (unsigned bit = 0; bit < 8; ++bit) {
        if (!(bits & (1u << bit))) continue;
        std::fputs(separator, log);
        if (bit < sizeof kWarnings / sizeof kWarnings[0])
            std::fputs(kWarnings[bit], log);
        else
            writeLogLine(log, "reserved bit %u", bit);
        separator = ", ";
    }
    std::fputs(")\n", log);
}

}  // namespace

void writeNvmeHealthLog(FILE* log, int physicalDriveUsed, const uint8_t* healthLog) {
    std::fputs("This is the NVMe Health Log File from Telvane.\n\n"
               "The drive answers no ATA S.M.A.R.T. commands; these are the fields\n"
               "of its NVMe SMART / Health Information log.\n",
               log);
    writeLogLine(log, "\nHealth Data for PhysicalDriveNumber=%d\n\n", physicalDriveUsed);
    writeCriticalWarning(log, healthLog[kNvmeCriticalWarning]);
    unsigned composite = littleEndian16(healthLog + kNvmeCompositeTemperature);
    if (composite == 0)
        std::fputs("Composite Temperature = not reported\n", log);
    else
        writeKelvin(log, "Composite Temperature", composite);
    writeLogLine(log, "Available Spare = %u%%\n", healthLog[kNvmeAvailableSpare]);
    writeLogLine(log, "Available Spare Threshold = %u%%\n", healthLog[kNvmeAvailableSpareThreshold]);
    writeLogLine(log, "Percentage Used = %u%%\n", healthLog[kNvmePercentageUsed]);
    writeCounter(log, "Data Units Read", healthLog + kNvmeDataUnitsRead, " (units of 512,000 bytes)");
    writeCounter(log, "Data Units Written", healthLog + kNvmeDataUnitsWritten, " (units of 512,000 bytes)");
    writeCounter(log, "Power On Hours", healthLog + kNvmePowerOnHours, "");
    writeCounter(log, "Unsafe Shutdowns", healthLog + kNvmeUnsafeShutdowns, "");
    writeCounter(log, "Media and Data Integrity Errors", healthLog + kNvmeMediaErrors, "");
    bool anySensor = false;
    for (int sensor = 0; sensor < kNvmeSensorCount; ++sensor) {
        unsigned kelvin = littleEndian16(healthLog + kNvmeTemperatureSensors + 2 * sensor);
        if (kelvin == 0) continue;  // no such sensor
        char name[32];
        formatText(name, sizeof name, "Temperature Sensor %d", sensor + 1);
        writeKelvin(log, name, kelvin);
        anySensor = true;
    }
    if (!anySensor) std::fputs("Temperature Sensors = none reported\n", log);
    std::fputs("\n%H shows this drive's temperature without further settings;\n"
               "the HDTempAttrID setting is for ATA drives.\n",
               log);
}
