#pragma once
// Texts that several of the main window's source files share.
#include <QString>

namespace qef {

inline const QString kProgramTitle = QStringLiteral("QEF 2010");
// The caption of the reports of the older single-pass adjustment.
inline const QString kClassicProgramTitle = QStringLiteral("QEF 2003");

// Grid data files, both cases of each pattern.
inline const QString kDataFileFilter =
    QStringLiteral("File du lieu (*.DTA *.dta);;File du lieu (*.DAT *.dat);;Tat ca cac loai file (*)");

}  // namespace qef
