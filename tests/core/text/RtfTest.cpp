#include <gtest/gtest.h>

#include <string>

#include "core/text/Rtf.h"
#include "support/Fakes.h"

namespace qef {
namespace {

RunFormat Format(std::string font, int halfPoints, bool bold = false, bool italic = false, bool underline = false) {
    return RunFormat{std::move(font), halfPoints, bold, italic, underline};
}

RichParagraph Paragraph(std::vector<TextRun> runs, ParagraphAlignment alignment = ParagraphAlignment::Left) {
    RichParagraph p;
    p.Runs = std::move(runs);
    p.Alignment = alignment;
    return p;
}

// A document of tests/data/rtf, written by hand.
std::string RtfFile(const std::string& name) {
    return test::ReadFileBytes(std::string(QEF_TEST_DATA) + "/rtf/" + name);
}

// The first block of the hand-written documents: a centred title.
const RichParagraph& CentredTitle(const RichDocument& doc) {
    const auto& title = std::get<RichParagraph>(doc.Blocks.at(0));
    EXPECT_EQ(title.Alignment, ParagraphAlignment::Centre);
    return title;
}

TEST(Rtf, FontEncodingsByName) {
    EXPECT_EQ(EncodingOfFont(".VnTime"), FontEncoding::Tcvn3);
    EXPECT_EQ(EncodingOfFont(".VnCourier New"), FontEncoding::Tcvn3);
    EXPECT_EQ(EncodingOfFont(".VnArialH"), FontEncoding::Tcvn3Capitals);
    EXPECT_EQ(EncodingOfFont("VNI-Times"), FontEncoding::Vni);
    EXPECT_EQ(EncodingOfFont("Times New Roman"), FontEncoding::Ansi);
    EXPECT_EQ(EncodingOfFont("VnTime"), FontEncoding::Ansi);
}

// What the program writes it reads back as it was: every kind of block, format and character.
TEST(Rtf, OwnOutputReadsBackIdentically) {
    RichDocument doc;
    doc.Blocks.push_back(Paragraph({{"KẾT QUẢ BÌNH SAI", Format("DejaVu Sans Mono", 28, true)}},
                                   ParagraphAlignment::Centre));
    RichParagraph mixed = Paragraph({{"Điểm\t{GPS01}\\ ", Format(".VnTime", 24)},
                                     {"nghiêng", Format(".VnTime", 24, false, true)},
                                     {"gạch dưới\u2028dòng mới", Format("VNI-Times", 21, true, false, true)},
                                     {"€ 𝄞 ~", Format("Times New Roman", 20)}},
                                    ParagraphAlignment::Justify);
    mixed.TabStopsTwips = {720, 2880};
    doc.Blocks.push_back(mixed);
    doc.Blocks.push_back(Paragraph({}, ParagraphAlignment::Right));  // an empty line
    RichRow row;
    row.CellRightsTwips = {1500, 4000, 6000};
    RichCell two;
    two.Paragraphs = {Paragraph({{"X (m)", Format("Arial", 20, true)}}), Paragraph({{"2345.678", Format("Arial", 20)}})};
    row.Cells = {RichCell{{Paragraph({{"I1", Format("Arial", 20)}})}}, two, RichCell{{Paragraph({})}}};
    doc.Blocks.push_back(row);
    doc.Blocks.push_back(row);
    RichParagraph next = Paragraph({{"Trang 2", Format("DejaVu Sans Mono", 20)}}, ParagraphAlignment::Right);
    next.PageBreakBefore = true;
    doc.Blocks.push_back(next);

    const std::string rtf = WriteRtf(doc);
    EXPECT_TRUE(IsRtf(rtf));
    for (char c : rtf) ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80) << rtf;
    EXPECT_EQ(ReadRtf(rtf), doc) << rtf;
    EXPECT_EQ(WriteRtf(ReadRtf(rtf)), rtf);
}

// A document another program wrote: old Vietnamese fonts of both encodings, \uN, a table, a
// page break and destinations to pass over (tests/data/rtf/ordinary.rtf, written by hand).
TEST(Rtf, OrdinaryDocumentKeepsItsVietnameseText) {
    const std::string bytes = RtfFile("ordinary.rtf");
    ASSERT_TRUE(IsRtf(bytes));
    const RichDocument doc = ReadRtf(bytes);
    EXPECT_EQ(PlainTextOf(doc),
              "BÁO CÁO KẾT QUẢ\n"
              "Đường chuyền: Việt Nam\n"
              "Việt Nam\tĐường\n"
              "Độ cao “café”\n"
              "Điểm\tX (m)\n"
              "GPS01\t2345.678\n"
              "Trang 2\n");
    ASSERT_EQ(doc.Blocks.size(), 7u);
    EXPECT_EQ(CentredTitle(doc).Runs.at(0).Format, Format(".VnTimeH", 32, true));
    const auto& second = std::get<RichParagraph>(doc.Blocks[1]);
    ASSERT_EQ(second.Runs.size(), 2u);
    EXPECT_EQ(second.Runs[1], (TextRun{"Việt Nam", Format(".VnTime", 24, true)}));
    const auto& third = std::get<RichParagraph>(doc.Blocks[2]);
    EXPECT_EQ(third.TabStopsTwips, std::vector<int>{720});
    EXPECT_EQ(third.Runs.back(), (TextRun{"Đường", Format("VNI-Times", 24, false, true)}));
    const auto& row = std::get<RichRow>(doc.Blocks[4]);
    EXPECT_EQ(row.CellRightsTwips, (std::vector<int>{2000, 4000}));
    EXPECT_EQ(row.Cells.at(0).Paragraphs.at(0).Runs.at(0).Format.Font, ".VnTime");
    EXPECT_TRUE(std::holds_alternative<RichRow>(doc.Blocks[5]));
    const auto& last = std::get<RichParagraph>(doc.Blocks[6]);
    EXPECT_TRUE(last.PageBreakBefore);
    EXPECT_EQ(last.Alignment, ParagraphAlignment::Right);
    EXPECT_EQ(last.Runs.at(0).Format, Format("Arial", 20, false, false, true));
}

// Word and WordPad in Vietnamese write \ansicpg1258 and fonts of \fcharset163, whose \'xx bytes
// spell a letter and its tone mark apart (tests/data/rtf/word_cp1258.rtf, written by hand; the
// texts below read from code page 1258's published table).
TEST(Rtf, EscapesFollowTheCodePageAndTheFontCharset) {
    const std::string bytes = RtfFile("word_cp1258.rtf");
    const RichDocument doc = ReadRtf(bytes);
    // Charset 163 and a font without one read 1258; charset 0 stays Western (Ð, not Đ); charset
    // 1 takes the document's page; .Vn and VNI fonts keep their own sets whatever they declare.
    EXPECT_EQ(PlainTextOf(doc),
              "Đường chuyền\n"
              "Việt Nam, Hà Nội: Đo đạc mắt, Ưu tiên ₫\n"
              "Café Ð Đường phẩy ngã\n"
              "Đường Đường ờờ!\n");
    ASSERT_EQ(doc.Blocks.size(), 4u);
    const RichParagraph& title = CentredTitle(doc);
    ASSERT_EQ(title.Runs.size(), 1u);
    EXPECT_EQ(title.Runs[0], (TextRun{"Đường chuyền", Format("Times New Roman", 28, true)}));

    // The same escapes in other surroundings.
    const auto read = [](const std::string& rtf) { return PlainTextOf(ReadRtf(rtf)); };
    // A Vietnamese font in a Western document; a font whose own code page is 1258.
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset163 Arial;}{\\f1\\cpg1258 Arial;}}"
                   "\\f0 \\'d0\\'ec\\f1 a\\'ecc\\f2 \\'d0}"),
              "Đ\u0301ác\u00D0\n");
    // No \ansicpg at all is Western; a mark with nothing to sit on stays a mark.
    EXPECT_EQ(read("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 \\'d0\\'f5}"), "Ðõ\n");
    EXPECT_EQ(read("{\\rtf1\\ansi\\ansicpg1258 \\'cc1 \\'e1\\'ec}"), "\u03001 \u00E1\u0301\n");
    EXPECT_EQ(EncodingOfFont("Arial", 163, 0, 1252), FontEncoding::Windows1258);
    EXPECT_EQ(EncodingOfFont("Arial", 0, 0, 1258), FontEncoding::Ansi);
    EXPECT_EQ(EncodingOfFont(".VnTime", 163, 0, 1258), FontEncoding::Tcvn3);
}

TEST(Rtf, DamagedAndUnusualInput) {
    // Nothing but text before the group, an unclosed document, a cut \'x escape, a binary run.
    EXPECT_EQ(PlainTextOf(ReadRtf("junk")), "");
    EXPECT_EQ(PlainTextOf(ReadRtf("{\\rtf1 abc")), "abc\n");
    EXPECT_EQ(PlainTextOf(ReadRtf("{\\rtf1 a\\'4")), "a\n");
    EXPECT_EQ(PlainTextOf(ReadRtf("{\\rtf1 x{\\*\\unknown {nested} text}{\\pict\\bin3 }}}}y\\par}")), "xy\n");
    // \uc2 skips two fallback characters; an unpaired surrogate is dropped.
    EXPECT_EQ(PlainTextOf(ReadRtf("{\\rtf1\\uc2 \\u7897\\'6f\\'2e!\\uc1\\u-10179?z}")), "ộ!z\n");
}

}  // namespace
}  // namespace qef
