#pragma once

// The shell asks for these texts by number: 1 name, 2 version, 3 author,
// 4 release date, 5 web link, 6 e-mail; anything else the full name.
extern "C" const char* pluginInfo(int field);
