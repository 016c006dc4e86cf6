#include "PaneTestSupport.h"
