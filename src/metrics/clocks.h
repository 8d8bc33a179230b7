#pragma once
// %TL and %TU
void updateClocks();
