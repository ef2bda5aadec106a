#pragma once
// Books made from observation files: simulated angle and distance books, the ruled detail book,
// and observations with random errors for testing.
namespace qef {

class CommandHost;
class RandomSource;

void ObservationBooksCommand(CommandHost& window, bool);  // sltosodo
void DetailBookCommand(CommandHost& window, bool);        // sodochitiet
void RandomErrorsCommand(CommandHost& window, bool);      // taotridomoi

// The draws of these commands: one generator, seeded from the clock when first used.
RandomSource& ProgramRandom();

}  // namespace qef
