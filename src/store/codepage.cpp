#include "store/codepage.h"
