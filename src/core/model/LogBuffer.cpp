#include "core/model/LogBuffer.h"

#include "core/text/TextFile.h"

namespace qef {

bool LogBuffer::SaveTo(const std::string& path) const { return WriteAllLines(path, lines_); }

}  // namespace qef
