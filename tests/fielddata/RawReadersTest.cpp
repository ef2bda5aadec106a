// Small downloads worked out by hand: the cases the synthetic layouts do not reach, the refusals,
// and the settings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/text/VnCodec.h"
#include "fielddata/raw/ConversionSettings.h"
#include "fielddata/raw/RawConversion.h"
#include "fielddata/raw/RawReaders.h"
#include "support/Fakes.h"

namespace qef {
namespace {

struct Conversion {
    test::TempDir dir;
    test::ScriptedInteraction ui;
    RawConversionStatus status;

    RawConversionPaths Paths() const {
        return {dir.File("raw.txt"), dir.File("obs.DTA"), dir.File("mia.DTA"), dir.File("dh.DTA"), dir.File("micao.DTA")};
    }
    void Convert(RawFormat format, const std::string& download, const RawConversionOptions& options) {
        test::WriteFileBytes(dir.File("raw.txt"), download);
        status = ConvertRawFile(format, options, Paths(), ui);
    }
    std::string Out(const char* name) const { return test::ReadFileBytes(dir.File(name)); }
    std::size_t FileCount() const { return dir.EntryCount(); }
};

RawConversionOptions WithHeights() {
    RawConversionOptions o;
    o.WithHeights = true;
    return o;
}

// Line 3 of a download whose conversion is worked in the case folder gsi_by_hand, its angles
// switched to gon.
TEST(RawReaders, LeicaGsiInGonIsRefusedNamingTheLine) {
    std::string gon = test::ReadFileBytes(std::string(QEF_TEST_DATA) + "/fielddata/raw/gsi_by_hand/raw.txt");
    gon.replace(gon.find("21.324+0100"), 6, "21.322");
    Conversion refused;
    test::WriteFileBytes(refused.dir.File("obs.DTA"), "old");
    refused.Convert(RawFormat::LeicaGsi, gon, WithHeights());
    EXPECT_EQ(refused.status.Outcome, RawConversionOutcome::StoppedAtLine);
    EXPECT_EQ(refused.status.StopLine, 3);
    ASSERT_EQ(refused.ui.Messages().size(), 1u);
    EXPECT_TRUE(refused.ui.Messages()[0].starts_with(Vn("Đơn vị đo ở dòng 3 không được hỗ trợ"))) << refused.ui.Messages()[0];
    EXPECT_EQ(refused.Out("obs.DTA"), "old");
    EXPECT_EQ(refused.FileCount(), 2u);  // the download and the old file: no work file, no fresh files

    // A TC405 line: separators and quotes go, the words stay.
    EXPECT_EQ(CleanIdxLine("  1,\t\"B2\" ;  45.1230,,x "), "1 B2 45.1230 x");
}

// Every output differs from the download and from the others as files, not as spellings; a
// download with nothing the chosen reader knows writes nothing and says so.
TEST(RawReaders, RefusedRunsWriteNothing) {
    const std::string geodimeter = "2=A1\n62=B2\n21=0.0000\n0=\n5=C3\n7=10.0000\n8=90.0000\n9=100.000\n0=\n";
    {
        Conversion run;
        std::filesystem::create_directory(run.dir.File("sub"));
        RawConversionPaths paths = run.Paths();
        paths.Detail = run.dir.File("sub/../raw.txt");
        test::WriteFileBytes(paths.Input, geodimeter);
        EXPECT_EQ(ConvertRawFile(RawFormat::Geodimeter, {}, paths, run.ui).Outcome, RawConversionOutcome::NameCollision);
        EXPECT_EQ(run.ui.Messages(), std::vector<std::string>{Vn("File kết quả trùng tên file số liệu : ") + paths.Detail});
        EXPECT_EQ(run.FileCount(), 2u);
    }
    {
        // The height-difference file's "DT" twin is the detail file with heights.
        Conversion run;
        RawConversionPaths paths = run.Paths();
        paths.DetailHeights = run.dir.File("dh.DT");
        test::WriteFileBytes(paths.Input, geodimeter);
        EXPECT_EQ(ConvertRawFile(RawFormat::Geodimeter, WithHeights(), paths, run.ui).Outcome,
                  RawConversionOutcome::NameCollision);
        EXPECT_EQ(run.ui.Messages(), std::vector<std::string>{Vn("Hai file kết quả trùng tên : ") + paths.DetailHeights});
        EXPECT_EQ(run.FileCount(), 1u);
    }
    {
        Conversion run;
        test::WriteFileBytes(run.dir.File("obs.DTA"), "old");
        run.Convert(RawFormat::Nikon, geodimeter, {});
        EXPECT_EQ(run.status.Outcome, RawConversionOutcome::NothingConverted);
        ASSERT_EQ(run.ui.Messages().size(), 1u);
        EXPECT_NE(run.ui.Messages()[0].find(Vn("Có thể đã chọn sai loại máy")), std::string::npos);
        EXPECT_EQ(run.Out("obs.DTA"), "old");
        EXPECT_EQ(run.FileCount(), 2u);
    }
    {
        Conversion run;
        run.Convert(RawFormat::Geodimeter, geodimeter, {});
        EXPECT_EQ(run.status.Outcome, RawConversionOutcome::Converted);
        EXPECT_EQ(run.Out("obs.DTA"), "B2\tA1\tB2\t0.0000\r\nB2\tA1\tC3\t10.0000\r\nA1\tC3\t100.000\r\n");
        EXPECT_EQ(run.ui.Messages(),
                  std::vector<std::string>{Vn("Đã chuyển xong file ") + run.dir.File("raw.txt") +
                                           Vn(": 1 trạm máy, 2 hướng đo, 1 cạnh, 0 điểm chi tiết.")});
    }
}

// Outputs in two folders: each folder gets its own set, nothing staged is left in either, and a
// refused download leaves both as they were.
TEST(RawReaders, OutputsInTwoFoldersAreWrittenTogether) {
    const std::string geodimeter = "2=A1\n62=B2\n21=0.0000\n0=\n5=7\n7=10.0000\n8=90.0000\n9=100.000\n0=\n";
    Conversion run;
    std::filesystem::create_directory(run.dir.File("sub"));
    RawConversionPaths paths = run.Paths();
    paths.Detail = run.dir.File("sub/mia.DTA");
    test::WriteFileBytes(paths.Input, geodimeter);
    test::WriteFileBytes(paths.Detail, "old");
    // A negative distance: refused, both folders as they were.
    test::WriteFileBytes(paths.Input, geodimeter.substr(0, geodimeter.find("9=")) + "9=-1\n0=\n");
    EXPECT_EQ(ConvertRawFile(RawFormat::Geodimeter, {}, paths, run.ui).Outcome, RawConversionOutcome::StoppedAtLine);
    EXPECT_EQ(run.FileCount(), 2u);  // the download and the folder
    EXPECT_EQ(test::ReadFileBytes(paths.Detail), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(run.dir.File("sub")), {}), 1);

    test::WriteFileBytes(paths.Input, geodimeter);
    EXPECT_EQ(ConvertRawFile(RawFormat::Geodimeter, {}, paths, run.ui).Outcome, RawConversionOutcome::Converted);
    EXPECT_EQ(run.Out("obs.DTA"), "B2\tA1\tB2\t0.0000\r\n");
    EXPECT_EQ(test::ReadFileBytes(paths.Detail), "\tA1\tB2\r\n7\t10.0000\t100.000\r\n");
    EXPECT_EQ(run.FileCount(), 3u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(run.dir.File("sub")), {}), 1);
}

// Topcon readings of station S1 oriented on B1 at 10 00 00; each point is read on face left at
// 55 00 00 (45 00 00 from the backsight), 20 m, prism 1.500, then on face right as given.
std::string FacePairs(const std::vector<std::string>& faceRight) {
    std::string text = "STN S1,1.500\nBS B1,1.500\nSD 10.0000,90.0000,100.000\n";
    for (std::size_t i = 0; i < faceRight.size(); ++i) {
        const std::string point = "SS " + std::to_string(i + 1);
        text += point + ",1.500\nSD 55.0000,90.0000,20.000\n" + faceRight[i] + "\n";
    }
    return text;
}

// The limits met exactly still make one pointing; a second, a millimetre past them do not. Point
// 1 (235 01 00 turned: 60" off, 20.020 m: 20 mm off) is one line at the mean, 45 00 30 and
// 20.010 m; points 2 (61"), 3 (21 mm) and 4 (prism 1.501) are two lines each, and named.
TEST(RawReaders, FacesAreOnePointingUpToTheLimitsAndNoFurther) {
    Conversion run;
    run.Convert(RawFormat::Topcon,
                FacePairs({"SS 1,1.500\nSD 235.0100,270.0000,20.020", "SS 2,1.500\nSD 235.0101,270.0000,20.000",
                           "SS 3,1.500\nSD 235.0000,270.0000,20.021", "SS 4,1.501\nSD 235.0000,270.0000,20.000"}),
                {});
    ASSERT_EQ(run.status.Outcome, RawConversionOutcome::Converted);
    EXPECT_EQ(run.Out("mia.DTA"),
              "\tS1\tB1\r\n1\t45.0030\t20.010\r\n2\t45.0000\t20.000\r\n2\t45.0101\t20.000\r\n"
              "3\t45.0000\t20.000\r\n3\t45.0000\t20.021\r\n4\t45.0000\t20.000\r\n4\t45.0000\t20.000\r\n");
    ASSERT_EQ(run.ui.Messages().size(), 1u);
    EXPECT_EQ(run.ui.Messages()[0],
              Vn("Đã chuyển xong file ") + run.dir.File("raw.txt") +
                  Vn(": 1 trạm máy, 1 hướng đo, 1 cạnh, 7 điểm chi tiết."
                     "\nTrạm S1, điểm 2: hai mặt lệch nhau hướng 0 01 01, ghi cả hai lần đo"
                     "\nTrạm S1, điểm 3: hai mặt lệch nhau cạnh 0.021 m, ghi cả hai lần đo"
                     "\nTrạm S1, điểm 4: hai mặt lệch nhau chiều cao gương 1.500 m và 1.501 m, ghi cả hai lần đo"));

    // Faces that agree but with another reading of the name between them are not one pointing:
    // an unranged reading of 1 separates its two faces.
    Conversion separated;
    separated.Convert(RawFormat::Topcon,
                      FacePairs({"SS 1,1.500\nSD 55.0000,90.0000,\nSS 1,1.500\nSD 235.0000,270.0000,20.000"}), {});
    EXPECT_EQ(separated.Out("mia.DTA"), "\tS1\tB1\r\n1\t45.0000\t20.000\r\n1\t45.0000\t20.000\r\n");
}

// Thirty disagreements are named, the others counted: 32 points whose faces are 1 degree apart.
TEST(RawReaders, DisagreeingFacesAreNamedThirtyAtMostThenCounted) {
    Conversion run;
    run.Convert(RawFormat::Topcon, FacePairs(std::vector<std::string>(32, "SD 236.0000,270.0000,20.000")), {});
    ASSERT_EQ(run.status.Outcome, RawConversionOutcome::Converted);
    ASSERT_EQ(run.ui.Messages().size(), 1u);
    const std::string done = run.ui.Messages()[0];
    EXPECT_NE(done.find(Vn("\nTrạm S1, điểm 30: hai mặt lệch nhau hướng 1 00 00, ghi cả hai lần đo\n")),
              std::string::npos);
    EXPECT_EQ(done.find(Vn("điểm 31:")), std::string::npos);
    EXPECT_TRUE(done.ends_with(Vn("\n... và 2 điểm đo lệch nữa, ghi cả các lần đo"))) << Tcvn3ToUtf8(done);
    EXPECT_EQ(std::count(done.begin(), done.end(), '\n'), 31);
}

// The check before the output names reads as the conversion does and writes nothing.
TEST(RawReaders, CheckingADownloadGivesTheConversionsVerdictAndWritesNothing) {
    const std::string folder = std::string(QEF_TEST_DATA) + "/fielddata/raw/";
    test::TempDir dir;
    test::ScriptedInteraction ui;
    const std::string good = folder + "gsi_face_blunder/raw.tc8";
    EXPECT_EQ(CheckRawFile(RawFormat::LeicaGsi, {}, good, ui).Outcome, RawConversionOutcome::Converted);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{});
    EXPECT_EQ(CheckRawFile(RawFormat::Nikon, {}, good, ui).Outcome, RawConversionOutcome::NothingConverted);
    const RawConversionStatus stopped =
        CheckRawFile(RawFormat::Topcon, {}, folder + "topcon_zenith_400/raw.gts", ui);
    EXPECT_EQ(stopped.Outcome, RawConversionOutcome::StoppedAtLine);
    EXPECT_EQ(stopped.StopLine, 5);
    EXPECT_EQ(CheckRawFile(RawFormat::Topcon, {}, dir.File("none.gts"), ui).Outcome, RawConversionOutcome::ReadFailed);
    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_TRUE(ui.Messages()[0].starts_with(Vn("Không tìm thấy số liệu nào trong file ")));
    EXPECT_TRUE(ui.Messages()[1].starts_with(Vn("Dòng 5: góc thiên đỉnh 400.0000")));
    EXPECT_EQ(ui.Messages()[2], Vn("Không mở được file ") + dir.File("none.gts"));
    EXPECT_EQ(dir.EntryCount(), 0u);
}

TEST(ConversionSettingsFile, ReadWriteAndRunValues) {
    test::TempDir dir;
    const std::string path = dir.File("qef.tso");
    ConversionSettings s;
    EXPECT_FALSE(ReadConversionSettings(path, s));
    EXPECT_EQ(s, ConversionSettings());

    // Empty lines take no entry; a word, a negative millimetre, a width below 1 and an instrument
    // outside the list keep their defaults; lines after the thirteenth are ignored.
    test::WriteFileBytes(path, "3\r\nabc\r\n\r\n0\r\n-5\r\n1\r\n1\r\n4000\r\n2\r\n7\r\n4\r\n0\r\n1\r\n1\r\n9\r\n");
    ASSERT_TRUE(ReadConversionSettings(path, s));
    ConversionSettings expected;
    expected.ConvInstrument = 3;
    expected.ConvZenithAngles = false;
    expected.ConvControlByLetter = true;
    expected.ConvControlFromNumberOn = true;
    expected.ConvControlFromNumber = 4000;
    expected.ConvControlDistanceCorrection = 2;
    expected.ConvDetailDistanceCorrection = 7;
    expected.ConvSeparatorMode = SeparatorMode::FixedWidth;
    expected.ConvAngleForm = AngleForm::Packed;
    expected.ConvDistanceForm = DistanceForm::Millimetres;
    EXPECT_EQ(s, expected);
    test::WriteFileBytes(path, "9\n0\n1\n0\n0\n0\n5000\n0\n0\n1\n0\n");
    ConversionSettings fewer;
    ASSERT_TRUE(ReadConversionSettings(path, fewer));
    EXPECT_EQ(fewer, ConversionSettings());

    ASSERT_TRUE(WriteConversionSettings(path, ConversionSettings()));
    EXPECT_EQ(test::ReadFileBytes(path), "0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n5000\r\n0\r\n0\r\n1\r\n10\r\n0\r\n0\r\n");

    // Run values: metres; the control-from number only with its rule; the target-height
    // correction only with heights.
    ConversionSettings run;
    run.ConvTargetHeightCorrection = 5;
    run.ConvControlDistanceCorrection = 2;
    run.ConvDetailDistanceCorrection = 3;
    EXPECT_EQ(RunOptions(run).ControlFromNumber, -1);
    EXPECT_EQ(RunOptions(run).TargetHeightCorrection, 0.0);
    EXPECT_DOUBLE_EQ(RunOptions(run).ControlDistanceCorrection, 0.002);
    EXPECT_DOUBLE_EQ(RunOptions(run).DetailDistanceCorrection, 0.003);
    run.ConvWithHeights = true;
    run.ConvControlFromNumberOn = true;
    EXPECT_EQ(RunOptions(run).ControlFromNumber, 5000);
    EXPECT_DOUBLE_EQ(RunOptions(run).TargetHeightCorrection, 0.005);
}

}  // namespace
}  // namespace qef
