#include "metrics/network_native.h"

#include "format/text.h"

NetworkStandIn networkStandIn;

bool readInterfaceRow(int interfaceSetting, InterfaceSample* sample) {
    NetworkStandIn& n = networkStandIn;
    ++n.tableReads;
    uint32_t row = 0;
    const uint32_t rows = sizeof n.rows / sizeof n.rows[0];
    if (!chooseInterfaceRow(interfaceSetting, n.rowCount < rows ? n.rowCount : rows, &row)) {
        return false;
    }
    *sample = n.rows[row];
    sample->row = row;
    return true;
}

namespace {

bool answer(const char* value, char* text, size_t size) {
    if (value == nullptr) {
        return false;
    }
    copyText(text, size, value);
    return true;
}

}  // namespace

bool readComputerName(char* text, size_t size) {
    return answer(networkStandIn.computerName, text, size);
}

bool readUserName(char* text, size_t size) {
    return answer(networkStandIn.userName, text, size);
}

bool readHostAddress(char* text, size_t size) {
    return answer(networkStandIn.hostAddress, text, size);
}
