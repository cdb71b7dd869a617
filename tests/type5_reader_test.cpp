#include "test_support.h"
#include "vivezeru5/vivezeru5.h"
