#include "gui/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <string>

#include "core/text/AtomicFile.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

QString FolderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

}  // namespace

QString WriteFailureText(const QString& path, qint64 bytes) {
    const QString folder = FolderOf(path);
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir()) return QStringLiteral("không tìm thấy thư mục ") + QDir::toNativeSeparators(folder);
    const QFileInfo file(path);
    if (file.isDir()) return QStringLiteral("đã có một thư mục cùng tên");
    // An old file must itself be writable, and that is what the user has to change; a new one
    // (and the save's temporary file) needs a folder the user may write in.
    // By its mode bits, as the saves and the computations refuse it.
    if (IsReadOnlyFile(QFile::encodeName(path).toStdString())) return QStringLiteral("file chỉ đọc");
    if (!folderInfo.isWritable())
        return QStringLiteral("không có quyền ghi vào thư mục ") + QDir::toNativeSeparators(folder);
    const QStorageInfo disk(folder);
    if (disk.isValid() && disk.bytesAvailable() <= bytes) return QStringLiteral("ổ đĩa đầy");
    if (disk.isValid() && disk.isReadOnly()) return QStringLiteral("ổ đĩa chỉ cho đọc");
    return QStringLiteral("hệ thống không cho ghi file này");
}

QString ReadFailureText(const QString& path) {
    const QFileInfo file(path);
    if (!QFileInfo(FolderOf(path)).isDir())
        return QStringLiteral("không tìm thấy thư mục ") + QDir::toNativeSeparators(FolderOf(path));
    if (!file.exists()) return QStringLiteral("không tìm thấy file");
    if (file.isDir()) return QStringLiteral("đây là một thư mục");
    if (!file.isReadable()) return QStringLiteral("không có quyền đọc");
    return QStringLiteral("hệ thống không cho đọc file này");
}

void TellLongCells(Interaction& ask, const LongCells& cells) {
    if (cells.Count == 0) return;
    ask.Message(Vn("Có ") + std::to_string(cells.Count) +
                Vn(" ô dài quá 255 ký tự, được ghi nguyên, không bị cắt (ô đầu ở dòng ") +
                std::to_string(cells.First.Row) + Vn(", cột ") + std::to_string(cells.First.Column + 1) + Vn(": ") +
                std::to_string(cells.Length) + Vn(" ký tự)."));
}

}  // namespace qef
