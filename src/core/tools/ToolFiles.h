#pragma once
// Moved to core/io/ToolFiles.h; kept only until the field books include it from there.
#include "core/io/ToolFiles.h"
