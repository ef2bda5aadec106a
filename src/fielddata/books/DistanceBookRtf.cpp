#include "fielddata/books/DistanceBookRtf.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

constexpr int kReadingRows = 6;
constexpr int kEntriesPerTablePage = 100;

const char* const kRowDefinition =
    "\\trowd\\trgaph108\\trbrdrt\\brdrs\\brdrw10 \\trbrdrl\\brdrs\\brdrw10 \\trbrdrb\\brdrs\\brdrw10 "
    "\\trbrdrr\\brdrs\\brdrw10";
// A break followed at once by a table is dropped by some readers (LibreOffice); a paragraph mark
// after it keeps the break everywhere.
const char* const kPageBreak = "\\page\\par";
const char* const kSeparator = "\\tab\\tab                                           - - -oOo- - -\\par";

std::string CellDefinition(int right) {
    return "\\clbrdrt\\brdrw15\\brdrs\\clbrdrl\\brdrw15\\brdrs\\clbrdrb\\brdrw15\\brdrs\\clbrdrr\\brdrw15\\brdrs "
           "\\cellx" + std::to_string(right);
}

struct PendingSide {
    std::string From;
    std::string To;
    std::vector<std::string> Forward;  // readings; the only list in free mode
    std::vector<std::string> Back;
    std::string Mean;
    bool Overflow = false;
};

struct Entry {
    std::string From;
    std::string To;
    std::string Mean;
    std::string Page;
};

int PageNumber(const std::string& text, int fallback) {
    const std::string trimmed = TrimBlanks(text);
    int value = 0;
    const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    return error == std::errc() && end == trimmed.data() + trimmed.size() ? value : fallback;
}

class RtfBook {
public:
    RtfBook(const FieldBookOptions& options, Interaction& ui)
        : options_(options), ui_(ui), free_(options.Distances == DistanceMode::Free), fs_(free_ ? "20" : "22") {}

    std::vector<std::string> Write(const std::vector<std::string>& book);

private:
    // A literal of the program (UTF-8 source text).
    void L(std::string_view utf8) { out_.push_back(HighBytesEscaped(Vn(utf8))); }
    // A literal in which "%" stands for the font size of the mode.
    void F(std::string_view utf8) {
        std::string text(utf8);
        for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2))
            text.replace(at, 1, fs_);
        L(text);
    }
    static std::string Value(std::string_view tcvn3) { return RtfEscaped(tcvn3); }
    void Raw(std::string text) { out_.push_back(std::move(text)); }

    void Header(const std::string& station, const std::string& target, bool opening);
    void ReadingsTable(const std::vector<std::string>& readings);
    void HeightTable(bool precededForward);
    void Formula();
    void MeanLine(const std::string& mean);
    void PageEnd();
    void WriteSidePage(const PendingSide& side);
    void WriteSideBlock(const PendingSide& side, bool firstHalf, bool lastSide);
    void WriteSideValueTable(bool last);
    void Output(const PendingSide& side, bool lastSide);
    void Collect(const LongFieldArray& fields, int count, bool first);
    std::string Name(const std::string& written);
    void ReportCutNames();

    const FieldBookOptions& options_;
    Interaction& ui_;
    bool free_;
    std::string fs_;
    std::vector<std::string> out_;
    std::vector<Entry> entries_;
    std::optional<PendingSide> pending_;
    int page_ = 6;
    int firstPage_ = 6;
    int lastPage_ = 200;
    bool firstHalf_ = true;
    std::vector<std::pair<std::string, std::string>> cut_;  // as written, as printed
};

// Names are printed to 15 characters as everywhere in the program; the cut ones are told once.
std::string RtfBook::Name(const std::string& written) {
    if (written.size() <= kPointNameMax) return written;
    std::string kept = written.substr(0, kPointNameMax);
    if (std::find_if(cut_.begin(), cut_.end(), [&](const auto& c) { return c.first == written; }) == cut_.end())
        cut_.emplace_back(written, kept);
    return kept;
}

void RtfBook::ReportCutNames() {
    if (cut_.empty()) return;
    constexpr std::size_t kShown = 10;
    std::string names;
    for (std::size_t i = 0; i < cut_.size() && i < kShown; ++i)
        names += (i > 0 ? ", " : "") + cut_[i].first + " -> " + cut_[i].second;
    if (cut_.size() > kShown) names += ", ...";
    ui_.Message(Vn("Sổ đo cạnh : ") + std::to_string(cut_.size()) + Vn(" tên điểm dài quá 15 ký tự bị cắt : ") + names);
}

void RtfBook::Header(const std::string& station, const std::string& target, bool opening) {
    Raw(opening ? "\\viewkind4\\uc1\\trowd\\trgaph108\\trleft-108\\cellx3500\\cellx5812\\cellx8300\\pard\\par"
                : "\\viewkind4\\uc1\\trowd\\trgaph108\\trleft-108\\cellx3500\\cellx5812\\cellx8300\\pard");
    F("\\intbl\\f0\\fs% Ngày ......... tháng .......... năm ............");
    F("\\fs28 .\\fs%\\cell Bắt đầu :........h........\\fs28 .\\fs% ....");
    F("\\cell Kết thúc :........h\\fs28 .\\fs% ...........\\cell\\row");
    const auto field = [&](const char* label, const std::string& text, const char* dots) {
        Raw(HighBytesEscaped(Vn(label)) + (text.empty() ? std::string(dots) : Value(text)));
    };
    field("\\intbl Người đo : ", options_.Observer, "...........................................");
    field(("\\fs28 .\\fs" + fs_ + "\\cell Loại máy : ").c_str(), options_.InstrumentType, "...................");
    F("\\fs28 .\\fs%\\cell Hằng số máy : ................\\fs28 .\\fs%\\cell\\row");
    field("\\intbl Người ghi : ", options_.Recorder, ".........................................");
    field(("\\fs28 .\\fs" + fs_ + "\\cell Số máy : ").c_str(), options_.InstrumentNumber, "....................");
    F("\\fs28 .\\fs%\\cell Hằng số gương : ............\\fs28 .\\fs%\\cell\\row");
    Raw(HighBytesEscaped(Vn("\\intbl Trạm máy : \\b ")) + Value(station) + "\\b0\\fs28 .\\fs" + fs_ + "\\cell\\f1\\fs" + fs_ +
        " i \\f0");
    F("\\fs% = ............\\fs28 .\\fs%\\cell\\f2 t \\'ba\\f0  = ............");
    F("\\fs28 .\\fs%\\cell\\row");
    Raw(HighBytesEscaped(Vn("\\intbl Trạn gương : \\b ")) + Value(target) + "\\b0\\fs28 .\\fs" + fs_ + "\\cell\\f1\\fs" +
        fs_ + " l \\f0");
    F("\\fs% = ............");
    F("\\cell p = ............\\fs28 .\\fs%\\cell\\row");
    L("\\pard\\nowidctlpar\\ri-1080\\f2\\par");
    L("\\b\\f3\\tab\\tab\\tab\\tab 1 - GIá TRị KHOảNG CáCH BằNG\\par");
}

void RtfBook::ReadingsTable(const std::vector<std::string>& readings) {
    L("\\pard\\nowidctlpar\\ri-1080\\qc\\par");
    Raw(kRowDefinition);
    for (int right : {990, 3870, 4860, 8280}) Raw(CellDefinition(right));
    L("\\pard\\intbl\\b0\\f0  Lần đo\\cell                   Số đọc\\cell  Lần đo\\cell                     Số đọc\\cell\\row");
    const auto reading = [&](int i) {
        return Value(PadLeft(i <= static_cast<int>(readings.size()) ? readings[static_cast<std::size_t>(i - 1)] : "", 12));
    };
    Raw("\\intbl\\f4   1\\cell " + reading(1) + "\\cell   4\\cell " + reading(4) + "\\cell\\row");
    Raw("\\intbl   2\\cell " + reading(2) + "\\cell   5\\cell " + reading(5) + "\\cell\\row");
    Raw("\\intbl   3\\cell " + reading(3) + "\\cell   6\\cell " + reading(6) + "\\cell\\row");
}

void RtfBook::HeightTable(bool precededForward) {
    if (precededForward) Raw("\\pard\\nowidctlpar\\ri-1080\\fs28");
    F("\\pard\\nowidctlpar\\ri-1080\\fs%\\par");
    L("\\b\\f3\\tab\\tab\\tab\\tab     2 - GIá TRị CHÊNH CAO\\par");
    L("\\pard\\nowidctlpar\\ri-1080\\qc\\par");
    Raw(kRowDefinition);
    for (int right : {990, 3870, 4860, 8280}) Raw(CellDefinition(right));
    L("\\pard\\intbl\\b0\\f0  Lần đo\\cell                   Số đọc\\cell  Lần đo\\cell                     Số đọc\\cell\\row");
    Raw("\\intbl\\f4   1\\cell      \\cell   3\\cell             \\cell\\row");
    Raw("\\intbl   2\\cell      \\cell   4\\cell             \\cell\\row");
}

void RtfBook::Formula() {
    Raw("\\pard\\nowidctlpar\\ri-1080\\f0");
    Raw("\\pard\\nowidctlpar\\fi720\\li1440\\ri-1080\\f5\\fs28 d\\sub\\f0\\fs26 tb\\nosupersub");
    Raw("\\fs28  = ..............,\\tab\\f5 D\\f0 h = (\\f5 d\\sub\\f0\\fs26 tb\\nosupersub\\fs28   + \\f1 i\\f0  - "
        "\\f1 l\\f0  ) = .......\\par");
    F("\\pard\\nowidctlpar\\ri-1080\\fs%\\par");
}

void RtfBook::MeanLine(const std::string& mean) {
    Raw("\\pard\\nowidctlpar\\ri-1080\\fs28\\par");
    Raw("\\pard\\nowidctlpar\\ri-1080\\qj\\tab\\tab\\tab\\tab\\tab\\f0\\b\\fs26 Stb = \\ul " + Value(mean) +
        "\\ulnone\\b0\\fs28  \\par");
}

void RtfBook::PageEnd() {
    F("\\tab\\tab\\b\\fs% Ghi chú :\\b0  Trước khi đo cạnh phải nhập nhiệt độ, áp suất,\\par");
    L("\\tab\\tab               hệ số gương, hệ số đo khoảng cách vào máy\\par");
    Raw("\\par");
    Raw("\\tab\\tab\\fs20                                                      - " + std::to_string(page_) +
        " -\\fs28\\par");
    Raw(kPageBreak);
}

void RtfBook::WriteSidePage(const PendingSide& side) {
    Header(side.From, side.To, true);
    ReadingsTable(side.Forward);
    HeightTable(true);
    Formula();
    Raw(kSeparator);
    Raw("\\par");
    Header(side.To, side.From, false);
    ReadingsTable(side.Back);
    MeanLine(side.Mean);
    HeightTable(false);
    Formula();
    PageEnd();
}

void RtfBook::WriteSideBlock(const PendingSide& side, bool firstHalf, bool lastSide) {
    Header(side.From, side.To, true);
    ReadingsTable(side.Forward);
    MeanLine(side.Mean);
    HeightTable(false);
    Formula();
    if (firstHalf && !lastSide) {
        Raw(kSeparator);
        Raw("\\par");
    } else {
        PageEnd();
    }
}

void RtfBook::WriteSideValueTable(bool last) {
    const int count = static_cast<int>(entries_.size());
    const int tablePages = count <= kEntriesPerTablePage ? 1 : (count + kEntriesPerTablePage - 1) / kEntriesPerTablePage;
    const auto four = [&](int i) {
        const Entry& e = entries_[static_cast<std::size_t>(i - 1)];
        return Value(e.From) + "->" + Value(e.To) + "\\cell " + Value(PadLeft(e.Mean, 9)) + "\\cell " +
               Value(PadLeft(e.Page, 5));
    };
    for (int q = 1; q <= tablePages; ++q) {
        Raw(std::string("\\viewkind4\\uc1\\pard\\nowidctlpar\\ri-1080\\f0\\fs") + (free_ ? "20" : "24") + "\\par");
        L("\\b\\f3\\tab\\tab\\tab\\tab\\tab BảNG TRị GIá CạNH\\par");
        Raw("\\par");
        Raw(kRowDefinition);
        for (int right : {2880, 3920, 4680, 7560, 8600, 9360}) Raw(CellDefinition(right));
        F("\\pard\\intbl\\b0\\f2\\fs%                  Tên cạnh\\cell   Giá trị\\cell Trang\\cell                  "
          "Tên cạnh\\cell   Giá trị\\cell Trang\\cell\\row");
        Raw(std::string("\\f3") + kRowDefinition);
        for (int right : {2880, 3920, 4680, 7560, 8600, 9360}) Raw(CellDefinition(right));
        Raw("\\fs18");
        for (int r = 1; r <= 50; ++r) {
            const int a = kEntriesPerTablePage * (q - 1) + r;
            const int b = a + 50;
            if (b <= count) Raw("\\intbl " + four(a) + "\\cell " + four(b) + "\\cell\\row");
            else if (a <= count) Raw("\\intbl " + four(a) + "\\cell\\cell\\cell\\cell\\row");
            else Raw("\\intbl \\cell\\cell\\cell\\cell\\cell\\cell\\row");
        }
        Raw("\\pard\\nowidctlpar\\ri-1080\\b\\fs18");
        Raw("\\tab\\tab                                                         -     -");
        // The book's very last break has nothing after it to keep apart.
        Raw(last && q == tablePages ? "\\page" : kPageBreak);
    }
}

void RtfBook::Output(const PendingSide& side, bool lastSide) {
    if (side.Overflow)
        ui_.Message(Vn("Cạnh ") + side.From + " --> " + side.To + Vn(" có hơn 6 lần đo; sổ chỉ in 6 lần đầu"));
    if (!free_) {
        WriteSidePage(side);
        ++page_;
        return;
    }
    WriteSideBlock(side, firstHalf_, lastSide);
    if (!firstHalf_) ++page_;
    firstHalf_ = !firstHalf_;
}

void RtfBook::Collect(const LongFieldArray& fields, int count, bool first) {
    PendingSide& side = *pending_;
    const auto add = [&](std::vector<std::string>& list, const std::string& text) {
        if (static_cast<int>(list.size()) < kReadingRows) list.push_back(text.substr(0, kPointNameMax));
        else side.Overflow = true;
    };
    if (first) {
        add(side.Forward, fields[3]);
        if (!free_) add(side.Back, fields[4]);
        return;
    }
    if (free_) {
        if (count >= 3 && !fields[3].empty()) add(side.Forward, fields[3]);
    } else if (count >= 4 && !fields[3].empty() && !fields[4].empty()) {
        add(side.Forward, fields[3]);
        add(side.Back, fields[4]);
    }
}

std::vector<std::string> RtfBook::Write(const std::vector<std::string>& book) {
    firstPage_ = PageNumber(options_.FirstPage, 6);
    lastPage_ = PageNumber(options_.LastPage, 200);
    page_ = firstPage_;
    Raw("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033\\deflangfe1033{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 "
        ".VnArial Narrow;}{\\f1\\fswiss\\fprq2\\fcharset0 .VnMystical;}{\\f2\\fswiss\\fprq2\\fcharset0 .VnTime;}");
    Raw("{\\f3\\fswiss\\fprq2\\fcharset0 .VnArial NarrowH;}{\\f4\\froman\\fprq2\\fcharset0 .VnCourier NewH;}");
    Raw("{\\f5\\froman\\fprq2\\fcharset2 Symbol;}{\\f6\\froman\\fprq2\\fcharset0 Times New Roman;}}");

    LongFieldArray fields;
    for (const std::string& line : book) {
        const int count = SplitFieldsTo(line, fields, SeparatorMode::Tab, 0);
        if (count == 0) continue;
        if (!fields[1].empty() && !fields[2].empty()) {
            if (pending_) {
                Output(*pending_, false);
                if (page_ > lastPage_) {
                    WriteSideValueTable(false);
                    page_ = firstPage_;
                    entries_.clear();
                    firstHalf_ = true;
                }
            }
            pending_ = PendingSide{Name(fields[1]), Name(fields[2]), {}, {},
                                   free_ ? fields[4] : fields[5], false};
            Collect(fields, count, true);
            entries_.push_back({pending_->From, pending_->To, pending_->Mean, std::to_string(page_)});
        } else if (pending_) {
            Collect(fields, count, false);
        }
    }
    if (pending_) Output(*pending_, true);
    WriteSideValueTable(true);
    Raw("}");
    ReportCutNames();
    return std::move(out_);
}

}  // namespace

std::string HighBytesEscaped(std::string_view tcvn3) {
    std::string out;
    out.reserve(tcvn3.size());
    for (char c : tcvn3) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::string RtfEscaped(std::string_view tcvn3) {
    std::string out;
    out.reserve(tcvn3.size());
    for (char c : tcvn3) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (byte >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

bool HasSideLines(const std::vector<std::string>& distanceBook) {
    LongFieldArray fields;
    for (const std::string& line : distanceBook)
        if (SplitFieldsTo(line, fields, SeparatorMode::Tab, 0) > 0 && !fields[1].empty() && !fields[2].empty())
            return true;
    return false;
}

std::optional<std::vector<std::string>> DistanceBookRtf(const std::vector<std::string>& distanceBook,
                                                        const FieldBookOptions& options, Interaction& ui) {
    if (!HasSideLines(distanceBook)) {
        ui.Message(Vn("Dữ liệu của bạn không có cạnh"));
        return std::nullopt;
    }
    return RtfBook(options, ui).Write(distanceBook);
}

}  // namespace qef
