#pragma once
// The file tools and small launchers of the menus "Tính toán" and "Hỗ trợ": each asks its files
// and options and hands them to a tool of the computation, which writes the result.
#include <optional>
#include <string>

class QString;
class QWidget;

namespace qef {

class MainWindow;

void TrigToGeometricCommand(MainWindow& window, bool);      // Chenhcaolg
void AverageLevellingCommand(MainWindow& window, bool);     // Trungbinhdocao
void CalculatorCommand(MainWindow& window, bool);           // Phantoado
void UploadCoordinatesCommand(MainWindow& window, bool);    // TailenAutoCAD
void MergeHeightsCommand(MainWindow& window, bool);         // Capnhatdocao
void CompareSameNamedCommand(MainWindow& window, bool);     // Sosanhtoado
void SortXYCommand(MainWindow& window, bool);               // Sapxeptoado
void SortXYHCommand(MainWindow& window, bool);              // Sapxeptoadodocao
void CompareObservationsCommand(MainWindow& window, bool);  // Sosanhgoccanh
void CommaFormCommand(MainWindow& window, bool);            // ChuyentoadoSDR
void StationListCommand(MainWindow& window, bool);          // Thongketram
void ZeroOrientationCommand(MainWindow& window, bool);      // Gocdinhhuong0

// The file questions of these commands and of the book commands: a name of the file system;
// nullopt on Cancel or an empty name.
std::optional<std::string> AskToolInput(MainWindow& w, const char* title, const QString& filter, const char* ext);
std::optional<std::string> AskToolResult(MainWindow& w, const char* title, const QString& filter, const char* ext);

// The windows of these commands, made once with the main window's other dialogs.
void CreateToolDialogs(MainWindow& window);

}  // namespace qef
