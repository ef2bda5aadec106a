// Files whose lines end in a lone CR (old Mac editors) read as one line: every reader refuses them
// naming the file, the line and the reason, where they used to say the file held no data.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/io/Readers.h"
#include "core/model/NetworkModel.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

TEST(BareCarriageReturn, EveryReaderRefusesALineHoldingOneNamingFileAndLine) {
    using Reader = std::function<bool(const std::string& file, ReadErrorRecord& error, Interaction& ui)>;
    const ComputationSettings settings;
    const struct {
        const char* what;
        Reader read;
        std::string strayCr;  // CR LF lines, a CR inside the third
    } readers[] = {
        {"known points",
         [&](const std::string& file, ReadErrorRecord& error, Interaction& ui) {
             NetworkModel model;
             PointList points;
             return ReadKnownPoints(file, settings, model, points, error, ui);
         },
         "A 100 200\r\nB 300 400\r\nC 5\r00 600\r\n"},
        {"observations",
         [&](const std::string& file, ReadErrorRecord& error, Interaction& ui) {
             PointNameTable names;
             Observations obs;
             return ReadObservations(file, settings, names, obs, error, ui);
         },
         "A B 100.000\r\nB C 120.000\r\nC D\r 130.000\r\n"},
        {"heights",
         [&](const std::string& file, ReadErrorRecord& error, Interaction& ui) {
             PointNameTable names;
             OneBased<int> ids;
             OneBased<double> heights;
             return ReadHeightFile(file, settings, names, ids, heights, error, ui);
         },
         "A 10.5\r\nB 11.5\r\nC\r 12.5\r\n"},
        {"levelling",
         [&](const std::string& file, ReadErrorRecord& error, Interaction& ui) {
             PointNameTable names;
             LevellingLines lines;
             return ReadLevellingLines(file, settings, names, lines, error, ui);
         },
         "A B 120 0.5\r\nB C 130 0.2\r\nC D 1\r40 0.1\r\n"},
    };
    for (const auto& r : readers) {
        SCOPED_TRACE(r.what);
        test::TempDir dir;
        // The same data lines as the stray-CR file gives, 26 of them, each ended by CR alone.
        std::string crOnly;
        const std::string first = r.strayCr.substr(0, r.strayCr.find("\r\n"));
        for (int i = 0; i < 26; ++i) crOnly += first + "\r";
        for (const auto& [content, line] : {std::pair{crOnly, 1}, std::pair{r.strayCr, 3}}) {
            const std::string file = dir.File("in.txt");
            test::WriteFileBytes(file, content);
            test::ScriptedInteraction ui;
            ReadErrorRecord error;
            EXPECT_FALSE(r.read(file, error, ui));
            EXPECT_EQ(ui.Messages(), std::vector<std::string>{Vn("File ") + file + Vn(", dòng ") +
                                                              std::to_string(line) +
                                                              Vn(" : có dấu xuống dòng CR lẻ, không tách được dòng")});
            EXPECT_EQ(error.ReadErrorLine, line);
            EXPECT_EQ(error.FailedFileName, file);
        }
    }
}

// The observations read before a refused line keep their point names, as after any other refused
// line: the steps after a read index the names of every side and angle it holds.
TEST(BareCarriageReturn, ObservationsReadBeforeTheRefusedLineKeepTheirNames) {
    test::TempDir dir;
    const std::string file = dir.File("obs.txt");
    test::WriteFileBytes(file, "A B C 10.3000 100.000\r\nB C 120.000\r\nC D\r 130.000\r\n");
    PointNameTable names;
    Observations obs;
    ReadErrorRecord error;
    test::ScriptedInteraction ui;
    EXPECT_FALSE(ReadObservations(file, ComputationSettings{}, names, obs, error, ui));
    // The angle A-B-C with its side B-C, then the side B-C.
    ASSERT_EQ(obs.Angles.Count(), 1);
    EXPECT_EQ(obs.Angles.BackIds.Size(), 1);
    EXPECT_EQ(obs.Angles.StationIds.Size(), 1);
    EXPECT_EQ(obs.Angles.ForeIds.Size(), 1);
    ASSERT_EQ(obs.Sides.Count(), 2);
    ASSERT_EQ(obs.Sides.FromIds.Size(), 2);
    ASSERT_EQ(obs.Sides.ToIds.Size(), 2);
    EXPECT_EQ(names.Name(obs.Angles.BackIds[1]), "A");
    EXPECT_EQ(names.Name(obs.Angles.ForeIds[1]), "C");
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(names.Name(obs.Sides.FromIds[i]), "B");
        EXPECT_EQ(names.Name(obs.Sides.ToIds[i]), "C");
    }
}

}  // namespace
}  // namespace qef
