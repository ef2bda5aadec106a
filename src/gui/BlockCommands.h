#pragma once
// The menu "Dữ liệu": unit and angle conversions of the grid's data rows, and the operations on
// the selected block. The arithmetic is the grid document's; here the kind, the typed values
// and the messages are asked and shown.

namespace qef {

class CommandHost;

// Lengths and packed angles scaled (doidonvi), angle text forms (doidanggoc), degrees and grads
// (GradVaDo): each asks the data kind first.
void MetresToMillimetresCommand(CommandHost& window, bool);  // Conversion1
void MillimetresToMetresCommand(CommandHost& window, bool);  // Conversion2
void AnglesToPackedCommand(CommandHost& window, bool);       // Conversion3
void AnglesFromPackedCommand(CommandHost& window, bool);     // Conversion4
void AnglesToSpacedCommand(CommandHost& window, bool);       // Conversion5
void AnglesFromSpacedCommand(CommandHost& window, bool);     // Conversion6
void DegreesToGradsCommand(CommandHost& window, bool);       // Conversion7
void GradsToDegreesCommand(CommandHost& window, bool);       // Conversion8

void FillBlockCommand(CommandHost& window, bool);            // BlockOperation1
void FillIncreasingCommand(CommandHost& window, bool);       // BlockOperation2
void AddToBlockCommand(CommandHost& window, bool);           // BlockOperation3
void PrefixBlockCommand(CommandHost& window, bool);          // BlockOperation4
void SuffixBlockCommand(CommandHost& window, bool);          // BlockOperation5
void RenumberBlockCommand(CommandHost& window, bool);        // BlockOperation6

// The data-kind dialog, made once with the main window's other dialogs.
void CreateBlockDialogs(CommandHost& window);

}  // namespace qef
