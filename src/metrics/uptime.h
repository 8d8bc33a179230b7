#pragma once
// %UW %UD %UH
void updateUptime();
