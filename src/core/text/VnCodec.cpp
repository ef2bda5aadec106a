#include "core/text/VnCodec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace qef {

namespace {

constexpr char32_t kBadSequence = 0xFFFD;
// Bytes a table leaves undefined get a private-use code point of their own, so they round-trip.
constexpr char32_t kPrivateBase = 0xF700;

// ---------------------------------------------------------------------------------------------
// Vietnamese vowels: twelve rows, each the letter without tone, then grave, hook, tilde, acute
// and dot below.

enum Row : int { RowA, RowABreve, RowACirc, RowE, RowECirc, RowI, RowO, RowOCirc, RowOHorn, RowU, RowUHorn, RowY };
constexpr int kRows = 12;
constexpr int kTones = 6;

constexpr std::array<std::u32string_view, kRows> kLowerRows = {
    U"aàảãáạ", U"ăằẳẵắặ", U"âầẩẫấậ", U"eèẻẽéẹ", U"êềểễếệ", U"iìỉĩíị",
    U"oòỏõóọ", U"ôồổỗốộ", U"ơờởỡớợ", U"uùủũúụ", U"ưừửữứự", U"yỳỷỹýỵ"};
constexpr std::array<std::u32string_view, kRows> kUpperRows = {
    U"AÀẢÃÁẠ", U"ĂẰẲẴẮẶ", U"ÂẦẨẪẤẬ", U"EÈẺẼÉẸ", U"ÊỀỂỄẾỆ", U"IÌỈĨÍỊ",
    U"OÒỎÕÓỌ", U"ÔỒỔỖỐỘ", U"ƠỜỞỠỚỢ", U"UÙỦŨÚỤ", U"ƯỪỬỮỨỰ", U"YỲỶỸÝỴ"};

struct Letter {
    int row = -1;
    int tone = 0;
    bool upper = false;
};

char32_t LetterOf(int row, int tone, bool upper) { return (upper ? kUpperRows : kLowerRows)[row][tone]; }

int ToneOfMark(char32_t mark) {
    switch (mark) {
        case 0x0300: return 1;  // grave
        case 0x0309: return 2;  // hook above
        case 0x0303: return 3;  // tilde
        case 0x0301: return 4;  // acute
        case 0x0323: return 5;  // dot below
        default: return 0;
    }
}

// Row reached by adding a breve, circumflex or horn to a plain vowel; -1 when none.
int RowWithMark(int row, char32_t mark) {
    if (mark == 0x0306 && row == RowA) return RowABreve;
    if (mark == 0x0302) {
        if (row == RowA) return RowACirc;
        if (row == RowE) return RowECirc;
        if (row == RowO) return RowOCirc;
    }
    if (mark == 0x031B) {
        if (row == RowO) return RowOHorn;
        if (row == RowU) return RowUHorn;
    }
    return -1;
}

bool IsVietnameseMark(char32_t c) { return ToneOfMark(c) != 0 || c == 0x0302 || c == 0x0306 || c == 0x031B; }

// A sorted code-point map with binary search; built once, small.
template <typename Value>
class CodeMap {
public:
    void Add(char32_t key, Value value) { items_.emplace_back(key, value); }
    void Finish() { std::sort(items_.begin(), items_.end(), [](const auto& a, const auto& b) { return a.first < b.first; }); }
    const Value* Find(char32_t key) const {
        auto it = std::lower_bound(items_.begin(), items_.end(), key,
                                   [](const auto& item, char32_t k) { return item.first < k; });
        return (it != items_.end() && it->first == key) ? &it->second : nullptr;
    }

private:
    std::vector<std::pair<char32_t, Value>> items_;
};

const CodeMap<Letter>& Letters() {
    static const CodeMap<Letter> map = [] {
        CodeMap<Letter> m;
        for (int row = 0; row < kRows; ++row)
            for (int tone = 0; tone < kTones; ++tone) {
                m.Add(LetterOf(row, tone, false), Letter{row, tone, false});
                m.Add(LetterOf(row, tone, true), Letter{row, tone, true});
            }
        m.Finish();
        return m;
    }();
    return map;
}

const Letter* FindLetter(char32_t c) { return Letters().Find(c); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// UTF-8

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Reads one code point at `pos` and advances; a malformed sequence gives kBadSequence and
// advances by one byte. Overlong forms, surrogates and values above U+10FFFF are malformed.
char32_t NextUtf8(std::string_view s, std::size_t& pos) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b0 = byte(pos);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int extra = 0;
    if ((b0 & 0xE0) == 0xC0)
        extra = 1;
    else if ((b0 & 0xF0) == 0xE0)
        extra = 2;
    else if ((b0 & 0xF8) == 0xF0)
        extra = 3;
    if (extra == 0) {
        ++pos;
        return kBadSequence;
    }
    constexpr std::array<char32_t, 4> kMinimum = {0, 0x80, 0x800, 0x10000};
    const char32_t minimum = kMinimum[extra];
    char32_t c = b0 & (0xFFu >> (extra + 2));  // payload bits of the lead byte
    if (pos + static_cast<std::size_t>(extra) >= s.size()) {
        ++pos;
        return kBadSequence;
    }
    for (int i = 1; i <= extra; ++i) {
        unsigned char b = byte(pos + static_cast<std::size_t>(i));
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kBadSequence;
        }
        c = (c << 6) | (b & 0x3Fu);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return kBadSequence;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return c;
}

namespace {

// Decodes UTF-8 and composes a vowel followed by combining Vietnamese marks into one letter.
std::vector<char32_t> DecodeComposed(std::string_view utf8) {
    std::vector<char32_t> out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = NextUtf8(utf8, pos);
        const Letter* letter = IsVietnameseMark(c) && !out.empty() ? FindLetter(out.back()) : nullptr;
        if (letter == nullptr) {
            out.push_back(c);
            continue;
        }
        int row = letter->row;
        int tone = letter->tone;
        if (int t = ToneOfMark(c); t != 0) {
            if (tone != 0) {
                out.push_back(c);
                continue;
            }
            tone = t;
        } else {
            row = RowWithMark(row, c);
            if (row < 0) {
                out.push_back(c);
                continue;
            }
        }
        out.back() = LetterOf(row, tone, letter->upper);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// TCVN3 (VN3)

// Bytes 0xA0..0xFF; 0 marks a byte that VN3 leaves undefined (the capitals with tone marks and
// the combining accents of the larger VN1 set).
constexpr std::array<char32_t, 96> kTcvn3High = {
    U'\u00A0', U'Ă', U'Â', U'Ê', U'Ô', U'Ơ', U'Ư', U'Đ', U'ă', U'â', U'ê', U'ô', U'ơ', U'ư', U'đ', 0,
    0, 0, 0, 0, 0, U'à', U'ả', U'ã', U'á', U'ạ', 0, U'ằ', U'ẳ', U'ẵ', U'ắ', 0,
    0, 0, 0, 0, 0, 0, U'ặ', U'ầ', U'ẩ', U'ẫ', U'ấ', U'ậ', U'è', 0, U'ẻ', U'ẽ',
    U'é', U'ẹ', U'ề', U'ể', U'ễ', U'ế', U'ệ', U'ì', U'ỉ', 0, 0, 0, U'ĩ', U'í', U'ị', U'ò',
    0, U'ỏ', U'õ', U'ó', U'ọ', U'ồ', U'ổ', U'ỗ', U'ố', U'ộ', U'ờ', U'ở', U'ỡ', U'ớ', U'ợ', U'ù',
    0, U'ủ', U'ũ', U'ú', U'ụ', U'ừ', U'ử', U'ữ', U'ứ', U'ự', U'ỳ', U'ỷ', U'ỹ', U'ý', U'ỵ', 0};

struct ByteTable {
    std::array<char32_t, 256> decode{};
    CodeMap<unsigned char> encode;
};

const ByteTable& Tcvn3Table() {
    static const ByteTable table = [] {
        ByteTable t;
        for (int b = 0; b < 256; ++b) {
            // ASCII, and C1 controls for the undefined 0x80..0x9F.
            auto c = static_cast<char32_t>(b);
            if (b >= 0xA0) {
                c = kTcvn3High[b - 0xA0];
                if (c == 0) c = kPrivateBase + static_cast<char32_t>(b);
            }
            t.decode[b] = c;
            t.encode.Add(c, static_cast<unsigned char>(b));
        }
        t.encode.Finish();
        return t;
    }();
    return table;
}

// ---------------------------------------------------------------------------------------------
// VNI: a letter is an ASCII base (or the one-byte ơ, ư) followed by a mark byte; i, ỵ and đ have
// one-byte forms. Capitals use the capital forms of the same bytes (byte - 0x20).

constexpr std::array<unsigned char, kTones> kVniPlainMarks = {0, 0xF8, 0xFB, 0xF5, 0xF9, 0xEF};
constexpr std::array<unsigned char, kTones> kVniCircMarks = {0xE2, 0xE0, 0xE5, 0xE3, 0xE1, 0xE4};
constexpr std::array<unsigned char, kTones> kVniBreveMarks = {0xEA, 0xE8, 0xFA, 0xFC, 0xE9, 0xEB};
constexpr std::array<unsigned char, kTones> kVniI = {'i', 0xEC, 0xE6, 0xF3, 0xED, 0xF2};
constexpr std::array<unsigned char, kRows> kVniBase = {'a', 'a', 'a', 'e', 'e', 'i',
                                                       'o', 'o', 0xF4, 'u', 0xF6, 'y'};
constexpr unsigned char kVniYDot = 0xEE;
constexpr unsigned char kVniDStroke = 0xF1;

struct VniBytes {
    unsigned char first = 0;
    unsigned char second = 0;  // 0: one byte
};

VniBytes VniLetterBytes(int row, int tone, bool upper) {
    auto up = [upper](unsigned char b) {
        return upper && b >= 'a' ? static_cast<unsigned char>(b - 0x20) : b;
    };
    if (row == RowI) return {up(kVniI[tone]), 0};
    if (row == RowY && tone == 5) return {up(kVniYDot), 0};
    const auto& marks = row == RowABreve                                        ? kVniBreveMarks
                        : (row == RowACirc || row == RowECirc || row == RowOCirc) ? kVniCircMarks
                                                                                : kVniPlainMarks;
    unsigned char mark = marks[tone];
    return {up(kVniBase[row]), up(mark)};
}

struct VniTables {
    ByteTable bytes;
    CodeMap<VniBytes> letters;     // every Vietnamese letter -> its VNI bytes
    CodeMap<char32_t> pairs;       // (first << 8 | second) -> letter
};

const VniTables& Vni() {
    static const VniTables tables = [] {
        VniTables t;
        std::array<char32_t, 256> single{};
        for (int row = 0; row < kRows; ++row)
            for (int tone = 0; tone < kTones; ++tone)
                for (bool upper : {false, true}) {
                    char32_t letter = LetterOf(row, tone, upper);
                    VniBytes v = VniLetterBytes(row, tone, upper);
                    t.letters.Add(letter, v);
                    if (v.second != 0)
                        t.pairs.Add(static_cast<char32_t>(v.first << 8 | v.second), letter);
                    else if (v.first >= 0x80)
                        single[v.first] = letter;
                }
        single[kVniDStroke] = U'đ';
        single[kVniDStroke - 0x20] = U'Đ';
        t.letters.Add(U'đ', VniBytes{kVniDStroke, 0});
        t.letters.Add(U'Đ', VniBytes{static_cast<unsigned char>(kVniDStroke - 0x20), 0});
        t.letters.Finish();
        t.pairs.Finish();
        for (int b = 0; b < 256; ++b) {
            auto c = static_cast<char32_t>(b);
            if (single[b] != 0)
                c = single[b];
            else if (b >= 0x80 && FindLetter(c) != nullptr)
                c = kPrivateBase + c;  // a mark byte whose Latin-1 reading is a Vietnamese letter
            t.bytes.decode[b] = c;
            t.bytes.encode.Add(c, static_cast<unsigned char>(b));
        }
        t.bytes.encode.Finish();
        return t;
    }();
    return tables;
}

}  // namespace

char32_t Tcvn3Decode(unsigned char byte) { return Tcvn3Table().decode[byte]; }

int Tcvn3Encode(char32_t codePoint) {
    const unsigned char* b = Tcvn3Table().encode.Find(codePoint);
    return b != nullptr ? *b : -1;
}

char32_t VniDecode(unsigned char byte) { return Vni().bytes.decode[byte]; }

int VniEncode(char32_t codePoint) {
    const unsigned char* b = Vni().bytes.encode.Find(codePoint);
    return b != nullptr ? *b : -1;
}

std::string Tcvn3ToUtf8(std::string_view tcvn3) {
    const auto& decode = Tcvn3Table().decode;
    std::string out;
    out.reserve(tcvn3.size() * 2);
    for (char ch : tcvn3) AppendUtf8(out, decode[static_cast<unsigned char>(ch)]);
    return out;
}

std::string Utf8ToTcvn3(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char32_t c : DecodeComposed(utf8)) {
        int b = c < 0x80 ? static_cast<int>(c) : Tcvn3Encode(c);
        if (b < 0) {
            // VN3 has no capitals with tone marks: those are written as their lower-case letter.
            const Letter* letter = FindLetter(c);
            if (letter != nullptr && letter->upper) b = Tcvn3Encode(LetterOf(letter->row, letter->tone, false));
        }
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

std::string VniToUtf8(std::string_view vni) {
    const VniTables& t = Vni();
    std::string out;
    out.reserve(vni.size() * 2);
    for (std::size_t i = 0; i < vni.size(); ++i) {
        auto b = static_cast<unsigned char>(vni[i]);
        if (i + 1 < vni.size()) {
            auto key = static_cast<char32_t>(b << 8 | static_cast<unsigned char>(vni[i + 1]));
            if (const char32_t* letter = t.pairs.Find(key)) {
                AppendUtf8(out, *letter);
                ++i;
                continue;
            }
        }
        AppendUtf8(out, t.bytes.decode[b]);
    }
    return out;
}

std::string Utf8ToVni(std::string_view utf8) {
    const VniTables& t = Vni();
    std::string out;
    out.reserve(utf8.size());
    for (char32_t c : DecodeComposed(utf8)) {
        if (const unsigned char* b = t.bytes.encode.Find(c)) {
            out += static_cast<char>(*b);
        } else if (const VniBytes* v = t.letters.Find(c)) {
            out += static_cast<char>(v->first);
            if (v->second != 0) out += static_cast<char>(v->second);
        } else {
            out += '?';
        }
    }
    return out;
}

std::string ComposeVietnamese(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char32_t c : DecodeComposed(utf8)) AppendUtf8(out, c);
    return out;
}

std::string UpperVietnamese(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = NextUtf8(utf8, pos);
        if (c >= U'a' && c <= U'z') {
            c = c - U'a' + U'A';
        } else if (c == U'đ') {
            c = U'Đ';
        } else if (const Letter* letter = FindLetter(c)) {
            c = LetterOf(letter->row, letter->tone, true);
        }
        AppendUtf8(out, c);
    }
    return out;
}

bool LooksLikeUtf8(std::string_view bytes) {
    bool multiByte = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t start = pos;
        char32_t c = NextUtf8(bytes, pos);
        if (c == kBadSequence && pos == start + 1) return false;
        if (pos - start > 1) multiByte = true;
    }
    return multiByte;
}

}  // namespace qef
