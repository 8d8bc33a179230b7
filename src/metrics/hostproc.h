#pragma once
// %PM %PN %PS %PT %PG: memory and GDI use of the shell process.
void updateHostProcessStats();
