// The field-book dialogs and their two commands, driven as a user does.
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "GuiTestSupport.h"
#include "core/text/TextFile.h"
#include "gui/dialogs/TFTaosodo.h"
#include "gui/dialogs/TFTsbs.h"
#include "gui/dialogs/Tflapsdgc.h"

namespace qef {
namespace {

using test::Find;

struct FieldBookDialogs : ::testing::Test, test::ScriptedWindow {
    FieldBookDialogs() { window.CreateDialogs(); }
    TFTaosodo& Options() { return *window.FieldBookOptionsDialog(); }
    QSpinBox* Spin(const char* name) { return Find<QSpinBox>(Options(), name); }
    void Choose(const char* group, int item) { Find<RadioGroupBox>(Options(), group)->Item(item)->click(); }
    std::vector<int> Filled() { return {Spin("Esolandogoc")->value(), Spin("Ess2L")->value(), Spin("Ess2C")->value()}; }

    // The text books command asked for the angle book (or the distance book) of `input`, over an
    // old book at `output`: it says `said` after the file's name, once, and the old book stays.
    void ExpectBookRefused(const char* input, const char* output, bool angles, const std::string& said) {
        test::WriteFileBytes(dir.File(output), "so cu\r\n");
        files.names = {dir.File(input), dir.File(output)};
        ask.calls.clear();
        test::OnNextModal([angles](QWidget& modal) {
            Find<QCheckBox>(modal, "cb_lapsdg")->setChecked(angles);
            Find<QCheckBox>(modal, "cb_lapsdc")->setChecked(!angles);
            Find<QPushButton>(modal, "Button1")->click();
        });
        Action("Vesodogoc")->trigger();
        ASSERT_EQ(ask.calls.size(), 1u);
        EXPECT_EQ(ask.calls[0].text, Vn("File ") + dir.File(input) + Vn(said));
        EXPECT_EQ(test::ReadFileBytes(dir.File(output)), "so cu\r\n");
    }
};

TEST_F(FieldBookDialogs, ClassesFillTheTolerancesAndOkStoresEverythingAtOnce) {
    TFTaosodo& dialog = Options();
    std::vector<QString> messages;
    dialog.MessageHook = [&](const QString& text) { messages.push_back(text); };
    dialog.show();
    Choose("RGcaphang", 0);  // ĐC I with 3-5"
    EXPECT_EQ(Filled(), (std::vector<int>{6, 8, 12}));
    Choose("RGssmay", 2);  // over 5": the class goes to KV
    EXPECT_EQ(Find<RadioGroupBox>(dialog, "RGcaphang")->ItemIndex(), 2);
    EXPECT_EQ(Filled(), (std::vector<int>{2, 12, 18}));
    Choose("RGssmay", 0);
    Choose("RGcaphang", 0);
    EXPECT_EQ(Filled(), (std::vector<int>{4, 8, 12}));
    Choose("RGcaphang", 1);
    Choose("RGssmay", 1);
    EXPECT_EQ(Filled(), (std::vector<int>{4, 8, 12}));

    // Ranges hold: no value wraps round.
    Spin("Esolandogoc")->setValue(0);
    EXPECT_EQ(Spin("Esolandogoc")->value(), 1);
    Spin("Esolephangiay")->setValue(300);
    EXPECT_EQ(Spin("Esolephangiay")->value(), 3);

    // An odd count of forward/back distances is refused and nothing is stored.
    Spin("Esolandocanh")->setValue(3);
    Find<QPushButton>(dialog, "Button1")->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("Số lần đo cạnh phải chẵn"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Options().AngleSets, 4);

    // In free mode the up-down steps by one and 3 is taken, with every other value.
    Choose("RG_Cachlaycanh", 1);
    EXPECT_EQ(Spin("Esolandocanh")->singleStep(), 1);
    Find<QLineEdit>(dialog, "Engdo")->setText(QStringLiteral("Trần Văn Nam"));
    Find<QLineEdit>(dialog, "Esodau")->setText(QStringLiteral("12"));
    Find<QCheckBox>(dialog, "cb_xlsl")->setChecked(true);
    EXPECT_FALSE(Find<QCheckBox>(dialog, "cb_sdgoc")->isEnabled());
    Find<QPushButton>(dialog, "Button1")->click();
    EXPECT_FALSE(dialog.isVisible());
    const FieldBookOptions& o = dialog.Options();
    EXPECT_EQ(o.AngleSets, 1);
    EXPECT_EQ(o.SecondsDecimals, 3);
    EXPECT_EQ(o.DistanceCount, 3);
    EXPECT_EQ(o.Distances, DistanceMode::Free);
    EXPECT_TRUE(o.Compute && !o.RtfDistanceBook);
    EXPECT_EQ(o.Observer, Vn("Trần Văn Nam"));
    EXPECT_EQ(o.FirstPage, "12");

    // Cancel, or the close box, after changes leaves the options of the last OK.
    dialog.show();
    Spin("Esolandogoc")->setValue(9);
    dialog.close();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.Options().AngleSets, 1);
}

TEST_F(FieldBookDialogs, CommandReducesARawFileIntoItsBooksAndTheRtfBook) {
    const std::string data = QEF_TEST_DATA "/fielddata/two_sets_k2/";
    test::WriteFileBytes(dir.File("raw.dta"), test::ReadFileBytes(data + "raw.dta"));
    files.names = {dir.File("raw.dta"), dir.File("goc.txt"), dir.File("canh.txt"), dir.File("bs.dta"),
                   dir.File("canh.rtf")};
    test::OnNextModal([](QWidget& modal) {
        Find<QSpinBox>(modal, "Esolandogoc")->setValue(2);
        Find<QCheckBox>(modal, "cb_xlsl")->setChecked(true);
        Find<QCheckBox>(modal, "cb_sdcanh")->setChecked(true);
        Find<QPushButton>(modal, "Button1")->click();
    });
    Action("TBXulysodo")->trigger();

    ASSERT_EQ(files.asked.size(), 5u);
    const char* titles[] = {"Nhập tên file sổ đo thô", "Nhập tên file sổ đo góc", "Nhập tên file sổ đo cạnh",
                            "Nhập tên file số liệu góc cạnh để bình sai", "Nhập tên file trình bày"};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(files.asked[i].second.title, QString::fromUtf8(titles[i]));
    EXPECT_EQ(files.asked[0].first, 'o');
    EXPECT_EQ(test::ReadFileBytes(dir.File("bs.dta")), "A\tS1\tB\t75.2018\r\nS1\tB\t123.458\r\nS1\tA\t250.002\r\n");
    EXPECT_EQ(test::ReadFileBytes(dir.File("canh.rtf")).rfind("{\\rtf1\\ansi", 0), 0u);
    EXPECT_TRUE(ask.calls.empty());
    EXPECT_TRUE(window.menuBar()->isEnabled());

    // Laying out a distance book written before: it is chosen with an open dialog.
    files.asked.clear();
    files.names = {dir.File("canh.txt"), dir.File("canh2.rtf")};
    test::OnNextModal([](QWidget& modal) {
        Find<QCheckBox>(modal, "cb_xlsl")->setChecked(false);
        Find<QPushButton>(modal, "Button1")->click();
    });
    Action("Taosodogoccanh")->trigger();
    ASSERT_EQ(files.asked.size(), 2u);
    EXPECT_EQ(files.asked[0].first, 'o');
    EXPECT_TRUE(FileExists(dir.File("canh2.rtf")));
}

TEST_F(FieldBookDialogs, TextBooksCommandLaysOutBothBooks) {
    const std::string data = QEF_TEST_DATA "/fielddata/two_sets_k2/expected/";
    std::vector<std::string> lines;
    for (const char* book : {"goc.txt", "canh.txt"}) {
        std::string text = Vn(test::ReadFileBytes(data + book));
        test::WriteFileBytes(dir.File(book), text);
    }
    files.names = {dir.File("goc.txt"), dir.File("sogoc"), dir.File("canh.txt"), dir.File("socanh.TXT")};
    test::OnNextModal([](QWidget& modal) {
        EXPECT_EQ(modal.windowTitle(), QStringLiteral("Lập sổ đo góc cạnh"));
        Find<QCheckBox>(modal, "cb_lapsdg")->setChecked(true);
        Find<QCheckBox>(modal, "cb_lapsdc")->setChecked(true);
        Find<QLineEdit>(modal, "Enguoido")->setText(QStringLiteral("Lê Ba"));
        Find<QPushButton>(modal, "Button1")->click();
    });
    Action("Vesodogoc")->trigger();

    ASSERT_EQ(files.asked.size(), 4u);
    EXPECT_EQ(files.asked[1].second.title, QStringLiteral("Ten file trinh bay so do goc"));
    EXPECT_EQ(files.asked[3].second.title, QStringLiteral("Ten file trinh bay so do canh"));
    ASSERT_TRUE(ReadAllLines(dir.File("sogoc.txt"), lines));
    EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(45, ' ') + Vn("Trạm S1")), lines.end());
    ASSERT_TRUE(ReadAllLines(dir.File("socanh.TXT.txt"), lines));
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "         |    1  |         S1 |          B |   123.456 |   123.460 |   -0.004 |   123.458 |"),
              lines.end());
    EXPECT_TRUE(ask.calls.empty());
}

TEST_F(FieldBookDialogs, TextBooksCommandRefusesABookWithoutDataAndKeepsTheLastLayout) {
    test::WriteFileBytes(dir.File("goc.txt"), "\xEF\xBB\xBF\r\n  \r\n");
    ExpectBookRefused("goc.txt", "sogoc.txt", true, " không có số liệu");
}

// A distance book saved with CR-only line ends would lay out its first side only; one holding 1e308
// would print "inf". Both are refused naming the file and the line, and the last layout stays.
TEST_F(FieldBookDialogs, TextBooksCommandRefusesCarriageReturnLineEndsAndValuesNoSurveyGives) {
    for (const auto& [book, said] :
         {std::pair{std::string("S1\tB\t123.456\t123.460\t123.458\rS2\tC\t10.000\t10.002\t10.001\r"),
                    std::string(", dòng 1 : có dấu xuống dòng CR lẻ, không tách được dòng")},
          std::pair{std::string("S1\tB\t123.456\t123.460\t123.458\r\nS2\tC\t1e308\t10.002\t10.001\r\n"),
                    std::string(", dòng 2 : giá trị [1e308] không hợp lệ")}}) {
        SCOPED_TRACE(said);
        test::WriteFileBytes(dir.File("canh.txt"), book);
        ExpectBookRefused("canh.txt", "socanh.txt", false, said);
    }
}

}  // namespace
}  // namespace qef
