#pragma once
// The workers of the field-book commands: each shows its dialog, asks its own files and writes
// its books.
#include "gui/Workers.h"

namespace qef {

// Reduces a raw file into the angle book, the distance book and the adjustment file, and lays
// out the distance book as RTF, as the options dialog says.
WorkerResult FieldBooksWorker(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);
// Lays out the ruled text angle and distance books.
WorkerResult TextBooksWorker(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);

}  // namespace qef
