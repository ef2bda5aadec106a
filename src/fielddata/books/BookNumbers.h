#pragma once
// Rounding and checking the numbers the books print. A book rounds the decimal value it shows, not
// the binary double nearest to it: 1627.3045 must go to the even 1627.304 in every book, although
// the double nearest to it may lie a hair either side of the half.
#include <optional>
#include <string>
#include <vector>

namespace qef {

// x rounded to `decimals` decimals (0..6), exact halves of its decimal value to the even neighbour.
// The decimal value is x taken to four more decimals, far finer than any book value is typed and far
// coarser than the binary error of a sum of such values.
double RoundHalfEvenDecimal(int decimals, double x);
// Rounded to 4 decimals and then to 3, both on decimal values, halves to even: the distance means.
double RoundFourThenThree(double x);

// The first line of a book (TCVN3 lines as read) that the layouts refuse, as the message that names
// the file and the line: a carriage return left inside a line (CR-only line ends would read as one
// line and lose every side after the first), or a value from field 3 on that no survey gives (not
// finite, or past kLongestBookDistanceMetres). nullopt when the book can be laid out.
std::optional<std::string> RefusedBookLine(const std::string& fileName, const std::vector<std::string>& lines);

}  // namespace qef
