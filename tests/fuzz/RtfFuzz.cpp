#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/text/Rtf.h"

// Whatever the reader makes of the input, the writer's output of it reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qef::RichDocument doc = qef::ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    const qef::RichDocument again = qef::ReadRtf(qef::WriteRtf(doc));
    if (!(again == doc)) std::abort();
    (void)qef::PlainTextOf(again);
    return 0;
}
