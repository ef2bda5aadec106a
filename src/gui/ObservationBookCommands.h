#pragma once
// Books made from observation files: simulated angle and distance books, the ruled detail book,
// and observations with random errors for testing.
namespace qef {

class MainWindow;
class RandomSource;

void ObservationBooksCommand(MainWindow& window, bool);  // sltosodo
void DetailBookCommand(MainWindow& window, bool);        // sodochitiet
void RandomErrorsCommand(MainWindow& window, bool);      // taotridomoi

// The draws of these commands: one generator, seeded from the clock when first used.
RandomSource& ProgramRandom();

}  // namespace qef
