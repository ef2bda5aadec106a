#pragma once
// Where TCVN3 text from the computations meets Qt widgets.
#include <QString>
#include <string>

#include "core/text/VnCodec.h"

namespace qef {

inline QString FromTcvn3(const std::string& tcvn3) {
    return QString::fromStdString(Tcvn3ToUtf8(tcvn3));
}

inline std::string ToTcvn3(const QString& text) { return Utf8ToTcvn3(text.toStdString()); }

}  // namespace qef
