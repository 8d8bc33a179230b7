// Native stand-ins: no interface table, no names, no resolver, so the
// throughput and identity texts keep what they have.
#include "metrics/network.h"

void updateNetwork() {}

void lookupIpAddress() {}

void refreshIdentity() {
    lookupIpAddress();
}
