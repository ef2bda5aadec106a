#pragma once
// Ruled fixed-width books laid out from the angle book and the distance book of the reduction,
// with the header of the day's work.
#include <string>
#include <vector>

namespace qef {

// The header texts (TCVN3); an empty one prints a line of underscores.
struct TextBookHeader {
    std::string Date;
    std::string Weather;
    std::string Start;
    std::string End;
    std::string Observer;
    std::string Recorder;
    std::string InstrumentType;
    std::string InstrumentNumber;
    bool WithTitle = false;  // the issuing body, form number, site and contract lines
};

std::vector<std::string> AngleTextBook(const std::vector<std::string>& angleBook, const TextBookHeader& header);
std::vector<std::string> DistanceTextBook(const std::vector<std::string>& distanceBook, const TextBookHeader& header);

// The name of a text book: ".txt" is appended unless the name holds it.
std::string TextBookName(const std::string& chosen);

}  // namespace qef
