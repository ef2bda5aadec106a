#include "gui/FileErrors.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

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
    // A new file needs a folder the user may write in; an old one must itself be writable.
    if (!folderInfo.isWritable() || (file.exists() && !file.isWritable()))
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

}  // namespace qef
