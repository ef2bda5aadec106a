#pragma once
// Replacing many words in a file, and joining or summing grid columns.
namespace qef {

class MainWindow;

void ReplaceWordsCommand(MainWindow& window, bool);  // Thaythenhieuchuoi
void SumColumnsCommand(MainWindow& window, bool);    // Congcot

// Their dialogs, made once with the main window's other dialogs.
void CreateTextToolDialogs(MainWindow& window);

}  // namespace qef
