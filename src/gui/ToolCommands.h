#pragma once
// The file tools and small launchers of the menus "Tính toán" and "Hỗ trợ": each asks its files
// and options and hands them to a tool of the computation, which writes the result.
#include <optional>
#include <string>

class QString;
class QWidget;

namespace qef {

class CommandHost;

void TrigToGeometricCommand(CommandHost& window, bool);      // Chenhcaolg
void AverageLevellingCommand(CommandHost& window, bool);     // Trungbinhdocao
void CalculatorCommand(CommandHost& window, bool);           // Phantoado
void UploadCoordinatesCommand(CommandHost& window, bool);    // TailenAutoCAD
void MergeHeightsCommand(CommandHost& window, bool);         // Capnhatdocao
void CompareSameNamedCommand(CommandHost& window, bool);     // Sosanhtoado
void SortXYCommand(CommandHost& window, bool);               // Sapxeptoado
void SortXYHCommand(CommandHost& window, bool);              // Sapxeptoadodocao
void CompareObservationsCommand(CommandHost& window, bool);  // Sosanhgoccanh
void CommaFormCommand(CommandHost& window, bool);            // ChuyentoadoSDR
void StationListCommand(CommandHost& window, bool);          // Thongketram
void ZeroOrientationCommand(CommandHost& window, bool);      // Gocdinhhuong0

// The file questions of these commands and of the book commands: a name of the file system;
// nullopt on Cancel or an empty name.
std::optional<std::string> AskToolInput(CommandHost& w, const char* title, const QString& filter, const char* ext);
std::optional<std::string> AskToolResult(CommandHost& w, const char* title, const QString& filter, const char* ext);

// The windows of these commands, made once with the main window's other dialogs.
void CreateToolDialogs(CommandHost& window);

}  // namespace qef
