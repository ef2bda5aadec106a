#include "fielddata/books/TextBooks.h"

#include <optional>

#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "core/text/VnCodec.h"
#include "fielddata/books/BookNumbers.h"

namespace qef {

namespace {

std::string HeaderValue(const std::string& text, int width) {
    return TrimBlanks(text).empty() ? RepeatChar('_', width) : PadRight(text, width);
}

void TitleBlock(std::vector<std::string>& out, const char* form) {
    out.push_back(Vn("                CỘNG HÒA XÃ HỘI CHỦ NGHĨA VIỆT NAM"));
    out.push_back(Vn("                   Độc lập - Tự do - Hạnh phúc"));
    out.push_back(Vn(form));
    out.emplace_back();
    out.emplace_back();
    out.push_back(Vn("                Khu đất : ________________________________________________________"));
    out.push_back(Vn("                Theo yêu cầu của : _______________________________________________"));
    out.push_back(Vn("                Số hợp đồng : ____________________________________________________"));
    out.emplace_back();
    out.emplace_back();
}

// Fields of a book line, split at TABs; a "//" remark is dropped.
int SplitBookLine(const std::string& line, LongFieldArray& fields) {
    std::string text = line;
    const std::size_t comment = text.find("//");
    if (comment != std::string::npos) text.erase(comment == 0 ? 0 : comment - 1);
    while (!text.empty() && text.back() == '\t') text.pop_back();
    if (TrimBlanks(text).empty()) {
        for (int i = 1; i <= 16; ++i) fields[static_cast<std::size_t>(i)].clear();
        return 0;
    }
    return SplitFieldsTo(text, fields, SeparatorMode::Tab, 0);
}

}  // namespace

std::vector<std::string> AngleTextBook(const std::vector<std::string>& angleBook, const TextBookHeader& h) {
    std::vector<std::string> out;
    if (h.WithTitle) TitleBlock(out, "                          Mẫu sổ đo góc bằng - số 01");
    out.push_back(Vn("\t\t\t\t                 Sổ đo góc bằng"));
    out.emplace_back();
    out.emplace_back();
    const std::string rule(97, '-');
    const std::string middle = "  |                            |   ";
    bool tableOpen = false;
    LongFieldArray f;
    for (const std::string& line : angleBook) {
        SplitBookLine(line, f);
        if (f[5].find(Vn("Trạm")) != std::string::npos) {
            out.push_back(std::string(45, ' ') + f[5]);
            out.push_back(Vn("                                  - Sơ đồ đo -------------------"));
            out.push_back(Vn("Ngày đo : ") + HeaderValue(h.Date, 22) + middle + Vn("Người đo : ") + HeaderValue(h.Observer, 18));
            out.push_back(Vn("Thời tiết : ") + HeaderValue(h.Weather, 20) + middle + Vn("Người ghi : ") +
                          HeaderValue(h.Recorder, 17));
            out.push_back(Vn("Bắt đầu lúc : ") + HeaderValue(h.Start, 18) + middle + Vn("Loại máy : ") +
                          HeaderValue(h.InstrumentType, 18));
            out.push_back(Vn("Kết thúc lúc : ") + HeaderValue(h.End, 17) + middle + Vn("Số hiệu máy : ") +
                          HeaderValue(h.InstrumentNumber, 15));
            out.push_back("                                  ------------------------------");
            out.push_back(rule);
            out.push_back(Vn("|Lần|    Điểm    |Bàn độ trái|Bàn độ phải| 2c | Trị giá nửa | Trị giá một | Trị giá các |Ghi chú|"));
            out.push_back(Vn("|đo |    ngắm    | O   `   ``| O   `   ``| `` |    lần đo   |    lần đo   |    lần đo   |       |"));
            out.push_back(rule);
        } else if (!f[2].empty()) {
            if (!f[1].empty()) tableOpen = true;
            static const int widths[] = {2, 11, 10, 10, 3, 12, 12, 12};
            std::string row = "|";
            for (int i = 0; i < 8; ++i) row += PadLeft(f[static_cast<std::size_t>(i + 1)], widths[i]) + " |";
            out.push_back(row + "       |");
        } else if (tableOpen) {
            out.push_back(rule);
            out.emplace_back();
            out.emplace_back();
            tableOpen = false;
        }
    }
    if (tableOpen) out.push_back(rule);
    return out;
}

std::vector<std::string> DistanceTextBook(const std::vector<std::string>& distanceBook, const TextBookHeader& h) {
    std::vector<std::string> out;
    if (h.WithTitle) TitleBlock(out, "                          Mẫu sổ đo cạnh - số 02");
    out.push_back(Vn("                                           Sổ đo cạnh"));
    out.emplace_back();
    out.push_back(Vn("        Ngày đo : ") + HeaderValue(h.Date, 33) + Vn("    Người đo : ") + HeaderValue(h.Observer, 25));
    out.push_back(Vn("        Thời tiết : ") + HeaderValue(h.Weather, 31) + Vn("    Người ghi : ") +
                  HeaderValue(h.Recorder, 24));
    out.push_back(Vn("        Bắt đầu lúc : ") + HeaderValue(h.Start, 29) + Vn("    Loại máy : ") +
                  HeaderValue(h.InstrumentType, 25));
    out.push_back(Vn("        Kết thúc lúc : ") + HeaderValue(h.End, 28) + Vn("    Số hiệu máy : ") +
                  HeaderValue(h.InstrumentNumber, 22));
    out.emplace_back();
    const std::string rule = std::string(9, ' ') + std::string(82, '-');
    out.push_back(rule);
    out.push_back(Vn("         |  STT  |   Từ điểm  |   Đến điểm |  Đo lần 1 |  Đo lần 2 |Chênh lệch| Trung bình|"));
    out.push_back(rule);

    struct Pending {
        std::string From, To, Value1, Value2;
    };
    std::optional<Pending> pending;
    long long n = 0;
    const auto row = [&](const Pending& p) {
        std::string line = "         |" + PadLeft(std::to_string(++n), 5) + "  |" + PadLeft(p.From, 11) + " |" +
                           PadLeft(p.To, 11) + " |" + PadLeft(p.Value1, 10) + " |" + PadLeft(p.Value2, 10) + " |";
        double v1 = 0;
        double v2 = 0;
        if (TryParseReal(p.Value1, v1) && TryParseReal(p.Value2, v2)) {
            line += FormatFixed(RoundHalfEvenDecimal(3, v1 - v2), 9, 3) + " |" +
                    FormatFixed(RoundHalfEvenDecimal(3, (v1 + v2) / 2), 10, 3) + " |";
        }
        out.push_back(std::move(line));
    };
    std::optional<Pending> lastSide;  // a further continuation line pairs value 1 with its own value
    LongFieldArray f;
    for (const std::string& line : distanceBook) {
        SplitBookLine(line, f);
        if (!f[1].empty()) {
            if (pending) row(*pending);
            pending = Pending{f[1], f[2], f[3], f[4]};
            lastSide.reset();
        } else if (!f[3].empty() && pending) {
            pending->Value2 = f[3];
            row(*pending);
            lastSide = pending;
            pending.reset();
        } else if (!f[3].empty() && lastSide) {
            Pending again = *lastSide;
            again.Value2 = f[3];
            row(again);
        }
    }
    if (pending) row(*pending);
    out.push_back(rule);
    return out;
}

std::string TextBookName(const std::string& chosen) {
    return chosen.find(".txt") == std::string::npos ? chosen + ".txt" : chosen;
}

}  // namespace qef
