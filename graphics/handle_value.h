// Handle values are a base service now; this name stays for the files that still use it.
#pragma once
#include "base/handle_value.h"
