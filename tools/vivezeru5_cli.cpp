#include <cstdio>
#include "vivezeru5/vivezeru5.h"
int main() { return 0; }
