#include <cstdio>

#include "FuzzInput.h"
#include "fielddata/books/ObservationBooks.h"
#include "fielddata/books/RandomSource.h"

// The books made from an observation or a detail file: the angle and distance books with their
// listing, the detail book, and the file with random errors added, the input as each one's file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qef;
    const ComputationSettings settings = fuzz::Prepare(data, size);
    const std::uint8_t mode = size > 0 ? data[0] : 0;
    const std::string& in = fuzz::ScratchFile();
    static const std::string angles = in + ".goc", distances = in + ".canh", listing = in + ".ds", out = in + ".out";
    SilentInteraction ui;
    FieldBookOptions options;
    options.AngleSets = 1 + mode % 6;
    options.HalfSetTolerance = 1 + mode % 12;
    options.TwoCVariation = 1 + mode % 20;
    SeededRandom random(mode);
    WriteObservationBooks({in, angles, distances, listing}, options, settings, random, ui);
    WriteDetailBook(in, out, settings, ui);
    AddRandomErrors(in, out, settings, random, ui);
    for (const std::string* file : {&angles, &distances, &listing, &out}) std::remove(file->c_str());
    return 0;
}
