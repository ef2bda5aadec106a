#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <filesystem>

#include "GuiTestSupport.h"
#include "gui/GridModel.h"
#include "gui/dialogs/Fphantoado.h"

namespace qef {
namespace {

const std::string kTools = QEF_TEST_DATA "/tools/";

struct ToolCommands : ::testing::Test, test::ScriptedWindow {
    ToolCommands() {
        window.CreateDialogs();
        window.show();
    }
    // A file of a case folder, copied into the test's folder.
    std::string Input(const std::string& caseFile, const std::string& name) {
        test::WriteFileBytes(dir.File(name), test::ReadFileBytes(kTools + caseFile));
        return dir.File(name);
    }
    // Triggers an enabled menu command.
    void Run(const char* action) {
        QAction* a = Action(action);
        ASSERT_TRUE(a->isEnabled()) << action;
        a->trigger();
    }
    QString Title(std::size_t i) const { return files.asked.at(i).second.title; }
};

// Every file tool of the menus, from its menu item to the file it writes: the questions in
// order, the result's first line (the whole results are checked with the tools' own cases).
TEST_F(ToolCommands, EachFileToolAsksItsFilesAndWritesItsResult) {
    struct Step {
        const char* Action;
        std::vector<std::string> Names;
        std::vector<const char*> Titles;
        std::string Result;
        std::string FirstLine;
        Answer Reply = Answer::Yes;  // to a question of the tool
    };
    const std::vector<Step> steps = {
        {"Chenhcaolg", {Input("trig_heights/trig.txt", "cc.txt"), dir.File("hh.dta")},
         {"File số liệu chênh cao lượng giác", "Kết quả file số liệu chênh cao hình học"}, "hh.dta",
         "A\tB\t100.0\t1.134"},
        {"Trungbinhdocao", {Input("levelling_average/lines.txt", "tc.txt"), dir.File("tb.dta")},
         {"File số liệu chênh cao lượng giác", "Kết quả file số liệu tính trung bình"}, "tb.dta",
         "A\tB\t101.0\t0.510"},
        {"Thongketram", {Input("station_list/detail.txt", "ct.txt"), dir.File("tram.dta")},
         {"Tên file só liệu chi tiết", "Tên file số hiệu trạm máy"}, "tram.dta", "GPS02"},
        {"Sapxeptoado", {Input("sort_xy_ascending/coords.txt", "td.txt"), dir.File("sx.dta")},
         {"File tọa độ cần sắp xếp", "File tọa độ kết quả sắp xếp"}, "sx.dta", "2\t130.000\t230.000"},
        {"Sapxeptoadodocao", {Input("sort_xyh_descending/coords.txt", "tdh.txt"), dir.File("sxh.dta")},
         {"File tọa độ, cao độ cần sắp xếp", "File tọa đô, cao độ kết quả sắp xếp"}, "sxh.dta",
         "B\t1.000\t2.000\t3.000", Answer::No},
        {"Capnhatdocao",
         {Input("merge_heights/docao.txt", "h.txt"), Input("merge_heights/toado.txt", "xy.txt"), dir.File("xyh.dta")},
         {"Nhập tên file cao độ", "Nhập tên file tọa độ", "Nhập tên file kết quả"}, "xyh.dta",
         "P1\t100.000\t200.000\t10.000"},
        {"Sosanhtoado",
         {Input("compare_same_named/toado1.txt", "t1.txt"), Input("compare_same_named/toado2.txt", "t2.txt"),
          dir.File("sst.dta")},
         {"Nhap file toa do 1", "Nhap file toa do 2", "Nhap ten file ket so sanh"}, "sst.dta",
         "P1\t100.000\t200.000\t100.003\t200.004\t-0.003\t-0.004\t0.005"},
        // A result name without ".DTA" gets it.
        {"Sosanhgoccanh",
         {Input("compare_observations/obs1.txt", "o1.txt"), Input("compare_observations/obs2.txt", "o2.txt"),
          dir.File("ssgc")},
         {"Nhap file so lieu 1", "Nhap file so lieu 2", "Nhap file ket qua so sanh"}, "ssgc.DTA", "//Goc"},
        {"ChuyentoadoSDR", {Input("comma_form/coords.txt", "sdr.txt"), dir.File("sdr.dat")},
         {"Tên file só liệu chi tiết dạng khác", "Tên file số liệu đo chi tiết dạng chuẩn"}, "sdr.dat",
         "5,1000.000,2000.000,0.0,P1"},
        {"Khugoccanhcung",
         {Input("clean_observations/known.txt", "k.txt"), Input("clean_observations/obs.txt", "obs.txt"),
          dir.File("sach.dta")},
         {"Nhập tên file tọa độ gốc - Bình sai đơn giản", "Nhập tên file số liệu đo - Bình sai đơn giản",
          "Nhập tên file kết quả"},
         "sach.dta", "K1\tK2\tP1\t120.30155"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Action);
        files.asked.clear();
        files.names.assign(step.Names.begin(), step.Names.end());
        ask.answers = {step.Reply};
        ask.texts = {std::string("5")};
        Run(step.Action);
        ASSERT_EQ(files.asked.size(), step.Titles.size());
        for (std::size_t i = 0; i < step.Titles.size(); ++i) EXPECT_EQ(Title(i), QString::fromUtf8(step.Titles[i]));
        const std::string written = test::ReadFileBytes(dir.File(step.Result));
        EXPECT_EQ(written.substr(0, written.find("\r\n")), step.FirstLine);
    }
    // Cancel at the first question ends the tool.
    files.asked.clear();
    files.names.clear();
    Run("Chenhcaolg");
    EXPECT_EQ(files.asked.size(), 1u);
}

TEST_F(ToolCommands, ZeroOrientationRewritesTheDirectionsInTheGrid) {
    GridModel& grid = window.Grid();
    grid.SetCell(1, 0, "(10.0000)");
    grid.SetCell(1, 1, "GPS03");
    grid.SetCell(1, 2, "GPS04");
    grid.SetCell(2, 0, "1");
    grid.SetCell(2, 1, "5.0000");
    grid.SetDataRowCount(2);
    window.SetDataSaved(true);
    Run("Gocdinhhuong0");
    EXPECT_EQ(grid.Cell(1, 0), "");
    EXPECT_EQ(grid.Cell(2, 1), "355.0000");
    EXPECT_FALSE(window.DataSaved());
}

// The calculator reads D.MMSS whatever the settings say, and leaves them as they were.
TEST_F(ToolCommands, CalculatorComputesWithItsOwnAngleNotation) {
    window.Settings().AngleTextWithPoint = false;
    const std::string table = dir.File("pts.dta");
    test::WriteFileBytes(table, "A 0 0\r\nB 0 100\r\n\r\n");
    files.names = {table};
    QString azimuth, x, y;
    test::OnNextModal([&](QWidget& w) {
        auto* calc = qobject_cast<Fphantoado*>(&w);
        ASSERT_NE(calc, nullptr);
        test::Find<QPushButton>(w, "Bfile")->click();
        auto* sg1 = test::Find<QTableWidget>(w, "SG1");
        EXPECT_EQ(sg1->rowCount(), 3);
        // Point 1 from the table's first row, then point 2 from its second.
        emit sg1->cellClicked(0, 0);
        test::Find<QCheckBox>(w, "CBd2")->setChecked(true);
        EXPECT_FALSE(test::Find<QCheckBox>(w, "CBd1")->isChecked());
        emit sg1->cellClicked(1, 0);
        azimuth = test::Find<QLineEdit>(w, "kq1")->text();
        EXPECT_TRUE(test::Find<QLineEdit>(w, "kq2")->isHidden());

        calc->SetMethod(CalculatorMethod::FromAzimuth);
        EXPECT_FALSE(test::Find<QLineEdit>(w, "EXd2")->isEnabled());
        test::Find<QLineEdit>(w, "EXd1")->setText(QStringLiteral("100"));
        test::Find<QLineEdit>(w, "EYd1")->setText(QStringLiteral("200"));
        test::Find<QLineEdit>(w, "Egoc")->setText(QStringLiteral("90.0000"));
        test::Find<QLineEdit>(w, "Ecanh")->setText(QStringLiteral("10"));
        test::Find<QPushButton>(w, "Btinh")->click();
        x = test::Find<QLineEdit>(w, "kq1")->text();
        y = test::Find<QLineEdit>(w, "kq2")->text();
        test::Find<QPushButton>(w, "Button2")->click();
    });
    Run("Phantoado");
    EXPECT_EQ(azimuth, QStringLiteral("90 00 00.0"));
    EXPECT_EQ(x, QStringLiteral("100.000"));
    EXPECT_EQ(y, QStringLiteral("210.000"));
    EXPECT_FALSE(window.Settings().AngleTextWithPoint);
    // Kept between showings.
    EXPECT_EQ(window.findChildren<Fphantoado*>().size(), 1);
}

// The upload borrows the detail and height modes for the options dialog and gives them back; its
// drawing lies beside the coordinate file.
TEST_F(ToolCommands, UploadDrawsBesideTheCoordinateFileAndRestoresTheFlags) {
    const std::string coords = Input("comma_form/coords.txt", "td.dta");
    files.names = {coords};
    bool modesShown = false;
    test::OnNextModal([&](QWidget& w) {
        modesShown = window.Settings().Modes.ModeDetailPoints && window.Settings().AcadFileUploadMode;
        qobject_cast<QDialog*>(&w)->accept();
    });
    Run("TailenAutoCAD");
    EXPECT_TRUE(modesShown);
    EXPECT_TRUE(std::filesystem::exists(dir.File("td.dxf")));
    EXPECT_FALSE(window.Settings().Modes.ModeDetailPoints);
    EXPECT_FALSE(window.Settings().AcadFileUploadMode);
    EXPECT_FALSE(window.Settings().AcadUploadEnabled);
}

}  // namespace
}  // namespace qef
