#include "gui/VietnameseQtTexts.h"

#include <QCoreApplication>
#include <QLocale>
#include <string_view>

namespace qef {

namespace {

struct QtText {
    std::string_view Context;
    std::string_view Source;  // exactly as Qt asks for it
    const char* Vietnamese;
};

// The Qt texts met in this program's windows; "&" marks the Alt key of a button or menu item.
const QtText kQtTexts[] = {
    // Standard buttons of message boxes and dialogs.
    {"QPlatformTheme", "OK", "Đồng ý"},
    {"QPlatformTheme", "Cancel", "Hủy bỏ"},
    {"QPlatformTheme", "&Yes", "&Có"},
    {"QPlatformTheme", "&No", "&Không"},
    {"QPlatformTheme", "Close", "Đóng"},
    {"QPlatformTheme", "Open", "Mở"},
    {"QPlatformTheme", "Save", "Ghi"},
    {"QPlatformTheme", "Discard", "Không ghi"},
    // The file dialog: labels, buttons, tool buttons, its context menu and its questions.
    {"QFileDialog", "Look in:", "Tìm trong:"},
    {"QFileDialog", "File &name:", "Tên &file:"},
    {"QFileDialog", "Files of type:", "Kiểu file:"},
    {"QFileDialog", "Directory:", "Thư mục:"},
    {"QFileDialog", "&Open", "&Mở"},
    {"QFileDialog", "&Save", "&Ghi"},
    {"QFileDialog", "&Choose", "&Chọn"},
    {"QFileDialog", "Open", "Mở file"},
    {"QFileDialog", "Save As", "Ghi file"},
    {"QFileDialog", "Back", "Lùi"},
    {"QFileDialog", "Go back", "Về thư mục trước"},
    {"QFileDialog", "Forward", "Tiến"},
    {"QFileDialog", "Go forward", "Đến thư mục sau"},
    {"QFileDialog", "Parent Directory", "Thư mục cha"},
    {"QFileDialog", "Go to the parent directory", "Lên thư mục cha"},
    {"QFileDialog", "Create New Folder", "Tạo thư mục mới"},
    {"QFileDialog", "Create a New Folder", "Tạo một thư mục mới"},
    {"QFileDialog", "List View", "Dạng danh sách"},
    {"QFileDialog", "Change to list view mode", "Xem dạng danh sách"},
    {"QFileDialog", "Detail View", "Dạng chi tiết"},
    {"QFileDialog", "Change to detail view mode", "Xem dạng chi tiết"},
    {"QFileDialog", "Sidebar", "Các nơi hay dùng"},
    {"QFileDialog", "List of places and bookmarks", "Danh sách các nơi hay dùng"},
    {"QFileDialog", "Files", "Các file"},
    {"QFileDialog", "Directories", "Các thư mục"},
    {"QFileDialog", "All Files (*)", "Tất cả các file (*)"},
    {"QFileDialog", "&Rename", "Đổi &tên"},
    {"QFileDialog", "&Delete", "&Xóa"},
    {"QFileDialog", "Show &hidden files", "Hiện các file ẩ&n"},
    {"QFileDialog", "Show ", "Hiện cột "},  // followed by a column title
    {"QFileDialog", "&New Folder", "Thư mục &mới"},
    {"QFileDialog", "New Folder", "Thư mục mới"},
    {"QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
     "%1\nKhông tìm thấy file này.\nHãy xem lại tên file."},
    {"QFileDialog", "%1\nDirectory not found.\nPlease verify the correct directory name was given.",
     "%1\nKhông tìm thấy thư mục này.\nHãy xem lại tên thư mục."},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?",
     "File %1 đã có.\nBạn có muốn ghi đè lên nó không?"},
    {"QFileDialog", "Are you sure you want to delete '%1'?", "Bạn có chắc muốn xóa '%1' không?"},
    {"QFileDialog", "'%1' is write protected.\nDo you want to delete it anyway?",
     "'%1' đang được chống ghi.\nBạn vẫn muốn xóa nó?"},
    {"QFileDialog", "Could not delete directory.", "Không xóa được thư mục."},
    {"QFileSystemModel", "Name", "Tên"},
    {"QFileSystemModel", "Size", "Cỡ"},
    {"QFileSystemModel", "Type", "Kiểu"},
    {"QFileSystemModel", "Date Modified", "Ngày sửa"},
    {"QFileSystemModel", "Computer", "Máy tính"},
    {"QAbstractFileIconProvider", "Folder", "Thư mục"},
    {"QAbstractFileIconProvider", "Drive", "Ổ đĩa"},
    {"QAbstractFileIconProvider", "File", "File"},
    // Edit menus of the text fields, the editor and the help browser.
    {"QLineEdit", "&Undo", "&Hoàn tác"},
    {"QLineEdit", "&Redo", "&Làm lại"},
    {"QLineEdit", "Cu&t", "&Cắt"},
    {"QLineEdit", "&Copy", "&Sao chép"},
    {"QLineEdit", "&Paste", "&Dán"},
    {"QLineEdit", "Delete", "Xóa"},
    {"QLineEdit", "Select All", "Chọn tất cả"},
    {"QWidgetTextControl", "&Undo", "&Hoàn tác"},
    {"QWidgetTextControl", "&Redo", "&Làm lại"},
    {"QWidgetTextControl", "Cu&t", "&Cắt"},
    {"QWidgetTextControl", "&Copy", "&Sao chép"},
    {"QWidgetTextControl", "Copy &Link Location", "Sao chép địa chỉ &liên kết"},
    {"QWidgetTextControl", "&Paste", "&Dán"},
    {"QWidgetTextControl", "Delete", "Xóa"},
    {"QWidgetTextControl", "Select All", "Chọn tất cả"},
    {"QAbstractSpinBox", "&Step up", "&Tăng"},
    {"QAbstractSpinBox", "Step &down", "&Giảm"},
};

}  // namespace

QString VietnameseQtTexts::translate(const char* context, const char* sourceText, const char*, int) const {
    if (!context || !sourceText) return {};
    const std::string_view c(context);
    const std::string_view s(sourceText);
    for (const QtText& text : kQtTexts) {
        if (text.Context == c && text.Source == s) return QString::fromUtf8(text.Vietnamese);
    }
    return {};
}

VietnameseQtTexts& QtTextsVi() {
    static VietnameseQtTexts texts;
    return texts;
}

void SpeakVietnamese() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QLocale::setDefault(QLocale(QLocale::Vietnamese, QLocale::Vietnam));
    QCoreApplication::installTranslator(&QtTextsVi());
}

}  // namespace qef
