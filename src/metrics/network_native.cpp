// Placeholder stand-ins so the native build links before the network
// module lands; the network module replaces this file.
#include "metrics/network.h"

void lookupIpAddress() {}
