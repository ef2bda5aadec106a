#pragma once
// Why a file could not be written or read, in the user's words: the system's own texts are
// English, and the user needs to know what to change (the folder, the rights, the disk).
#include <QString>

namespace qef {

// `bytes` is how much was to be written; 0 when it is not known.
QString WriteFailureText(const QString& path, qint64 bytes);
QString ReadFailureText(const QString& path);

}  // namespace qef
