#pragma once
// The menu "Dữ liệu": unit and angle conversions of the grid's data rows, and the operations on
// the selected block. The arithmetic is the grid document's; here the kind, the typed values
// and the messages are asked and shown.

namespace qef {

class MainWindow;

// Lengths and packed angles scaled (doidonvi), angle text forms (doidanggoc), degrees and grads
// (GradVaDo): each asks the data kind first.
void MetresToMillimetresCommand(MainWindow& window, bool);  // Conversion1
void MillimetresToMetresCommand(MainWindow& window, bool);  // Conversion2
void AnglesToPackedCommand(MainWindow& window, bool);       // Conversion3
void AnglesFromPackedCommand(MainWindow& window, bool);     // Conversion4
void AnglesToSpacedCommand(MainWindow& window, bool);       // Conversion5
void AnglesFromSpacedCommand(MainWindow& window, bool);     // Conversion6
void DegreesToGradsCommand(MainWindow& window, bool);       // Conversion7
void GradsToDegreesCommand(MainWindow& window, bool);       // Conversion8

void FillBlockCommand(MainWindow& window, bool);            // BlockOperation1
void FillIncreasingCommand(MainWindow& window, bool);       // BlockOperation2
void AddToBlockCommand(MainWindow& window, bool);           // BlockOperation3
void PrefixBlockCommand(MainWindow& window, bool);          // BlockOperation4
void SuffixBlockCommand(MainWindow& window, bool);          // BlockOperation5
void RenumberBlockCommand(MainWindow& window, bool);        // BlockOperation6

// The data-kind dialog, made once with the main window's other dialogs.
void CreateBlockDialogs(MainWindow& window);

}  // namespace qef
