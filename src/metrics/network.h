// %ID %IU throughput, and the identity texts behind %NP %NU %NW.
#pragma once

#include "format/format.h"

void updateNetwork();
void lookupIpAddress();
// Computer name, user name, then lookupIpAddress.
void refreshIdentity();
// The current identity texts, for compileFormat.
IdentityTexts identityTexts();
