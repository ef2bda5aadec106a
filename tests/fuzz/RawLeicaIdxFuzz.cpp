#include "RawFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return qef::fuzz::RunRawConversion(qef::RawFormat::LeicaIdx, data, size);
}
