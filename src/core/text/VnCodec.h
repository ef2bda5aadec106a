#pragma once
// Vietnamese 8-bit character sets: TCVN3 (VN3), the program's own text encoding, and VNI.
// Both tables are lossless: every byte decodes to a distinct code point and encodes back.
#include <string>
#include <string_view>

namespace qef {

// TCVN3 bytes -> UTF-8 text.
std::string Tcvn3ToUtf8(std::string_view tcvn3);
// UTF-8 text -> TCVN3 bytes. A capital with a tone mark has no TCVN3 byte and is written as its
// lower-case letter; a character with no TCVN3 form at all becomes "?".
std::string Utf8ToTcvn3(std::string_view utf8);

// VNI bytes -> UTF-8 text (one code point per byte) and back.
std::string VniToUtf8(std::string_view vni);
std::string Utf8ToVni(std::string_view utf8);

// Decode one byte / encode one code point (-1 when there is no byte for it).
char32_t Tcvn3Decode(unsigned char byte);
int Tcvn3Encode(char32_t codePoint);
char32_t VniDecode(unsigned char byte);
int VniEncode(char32_t codePoint);

// The program's Vietnamese literals are written in UTF-8 in the source and used as TCVN3.
inline std::string Vn(std::string_view utf8Literal) { return Utf8ToTcvn3(utf8Literal); }

// A vowel followed by combining Vietnamese marks (tone, breve, circumflex, horn) made one
// precomposed letter, as Windows code page 1258 text spells them apart.
std::string ComposeVietnamese(std::string_view utf8);

// The text in capitals: ASCII letters, đ and every Vietnamese vowel with its marks.
std::string UpperVietnamese(std::string_view utf8);

// UTF-8 of one code point appended; the code point at `pos` read and `pos` moved past it (U+FFFD
// and one byte on for a malformed sequence).
void AppendUtf8(std::string& out, char32_t c);
char32_t NextUtf8(std::string_view s, std::size_t& pos);

// True when the bytes are valid UTF-8 and contain at least one multi-byte sequence.
bool LooksLikeUtf8(std::string_view bytes);

}  // namespace qef
