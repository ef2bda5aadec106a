#pragma once
// Reads a DXF drawing back with an independent reader (ezdxf, through check_dxf.py). The test
// program that includes it defines QEF_DXF_PYTHON and QEF_DXF_CHECK (tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef::test {

// What ezdxf finds in the drawing, one item a line (see check_dxf.py).
inline Lines ReadBack(const TempDir& dir, const std::string& drawing) {
    const std::string out = dir.File("check.out");
    const std::string command = std::string("\"") + QEF_DXF_PYTHON + "\" \"" + QEF_DXF_CHECK + "\" \"" +
                                drawing + "\" > \"" + out + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << "check_dxf.py failed on " << drawing << " (status 2: python3-ezdxf missing)";
    return ReadLines(out);
}

}  // namespace qef::test
