#pragma once
// Replacing many words in a file, and joining or summing grid columns.
namespace qef {

class CommandHost;

void ReplaceWordsCommand(CommandHost& window, bool);  // Thaythenhieuchuoi
void SumColumnsCommand(CommandHost& window, bool);    // Congcot

// Their dialogs, made once with the main window's other dialogs.
void CreateTextToolDialogs(CommandHost& window);

}  // namespace qef
