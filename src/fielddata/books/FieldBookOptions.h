#pragma once
// What the field-book options dialog hands to the builders, and the built-in tolerance tables
// that fill three of its fields from the class of the network and of the instrument.
#include <string>

namespace qef {

// How the distances of a side were measured: as many forward as back, or in any direction.
enum class DistanceMode { ForwardBack = 0, Free = 1 };

enum class NetworkClass { FirstOrder = 0, SecondOrder = 1, Region = 2 };  // "ĐC I", "ĐC II", "KV"
enum class InstrumentClass { OneToTwo = 0, ThreeToFive = 1, OverFive = 2 };  // angle accuracy in seconds

struct ToleranceFill {
    NetworkClass Class = NetworkClass::Region;  // an instrument over 5" forces the region class
    int AngleSets = 1;
    int HalfSetTolerance = 12;  // seconds
    int TwoCVariation = 12;     // seconds
};

ToleranceFill ToleranceFor(NetworkClass network, InstrumentClass instrument);

struct FieldBookOptions {
    int TwoCVariation = 12;
    int HalfSetTolerance = 8;
    int TwoCAllowed = 20;
    int AngleSets = 4;
    int SecondsDecimals = 0;
    int DistanceCount = 0;  // per side; 0: no distance reduction
    int DistanceTolerance = 0;  // millimetres
    DistanceMode Distances = DistanceMode::ForwardBack;
    bool Compute = false;          // read the raw file and write the books
    bool RtfDistanceBook = false;  // write the distance book as RTF
    // Printed in the RTF book (TCVN3); empty prints the dotted placeholder.
    std::string Observer;
    std::string Recorder;
    std::string InstrumentType;
    std::string InstrumentNumber;
    std::string FirstPage = "6";
    std::string LastPage = "200";
};

}  // namespace qef
