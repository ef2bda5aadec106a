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
    {"QTabBar", "Scroll Left", "Cuộn sang trái"},
    {"QTabBar", "Scroll Right", "Cuộn sang phải"},
    // The print dialog, its options and the printer's properties.
    {"QPrintDialog", "Print", "In"},
    {"QPrintDialog", "&Print", "&In"},
    {"QPrintDialog", "&Options >>", "&Tùy chọn >>"},
    {"QPrintDialog", "&Options <<", "&Tùy chọn <<"},
    {"QPrintDialog", "Print to File (PDF)", "In ra file (PDF)"},
    {"QPrintDialog", "Local file", "File trên máy"},
    {"QPrintDialog", "Write PDF file", "Ghi file PDF"},
    {"QPrintDialog", "Print To File ...", "In ra file ..."},
    {"QPrintDialog", "All Pages", "Tất cả các trang"},
    {"QPrintDialog", "Odd Pages", "Các trang lẻ"},
    {"QPrintDialog", "Even Pages", "Các trang chẵn"},
    {"QPrintDialog", "%1 is a directory.\nPlease choose a different file name.",
     "%1 là một thư mục.\nHãy chọn tên file khác."},
    {"QPrintDialog", "File %1 is not writable.\nPlease choose a different file name.",
     "Không có quyền ghi file %1.\nHãy chọn tên file khác."},
    {"QPrintDialog", "%1 already exists.\nDo you want to overwrite it?", "File %1 đã có.\nBạn có muốn ghi đè lên nó không?"},
    {"QPrintDialog", "Invalid Pages Definition", "Các trang in không hợp lệ"},
    {"QPrintDialog",
     "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to define ranges and "
     "make sure ranges do not intersect with each other.",
     "%1 viết chưa đúng. Hãy dùng dấu ',' giữa các trang và khoảng trang, dấu '-' cho một khoảng, và các khoảng "
     "không được chồng lên nhau."},
    {"QPrintDialog", "Left to Right, Top to Bottom", "Trái sang phải, trên xuống dưới"},
    {"QPrintDialog", "Left to Right, Bottom to Top", "Trái sang phải, dưới lên trên"},
    {"QPrintDialog", "Right to Left, Bottom to Top", "Phải sang trái, dưới lên trên"},
    {"QPrintDialog", "Right to Left, Top to Bottom", "Phải sang trái, trên xuống dưới"},
    {"QPrintDialog", "Bottom to Top, Left to Right", "Dưới lên trên, trái sang phải"},
    {"QPrintDialog", "Bottom to Top, Right to Left", "Dưới lên trên, phải sang trái"},
    {"QPrintDialog", "Top to Bottom, Left to Right", "Trên xuống dưới, trái sang phải"},
    {"QPrintDialog", "Top to Bottom, Right to Left", "Trên xuống dưới, phải sang trái"},
    {"QPrintDialog", "Page Setup Conflicts", "Thiết lập trang mâu thuẫn"},
    {"QPrintDialog", "There are conflicts in page setup options. Do you want to fix them?",
     "Thiết lập trang có chỗ mâu thuẫn. Bạn có muốn sửa không?"},
    {"QPrintDialog", "There are conflicts in some advanced options. Do you want to fix them?",
     "Một số tùy chọn nâng cao mâu thuẫn nhau. Bạn có muốn sửa không?"},
    {"QPrintDialog", "There are conflicts in duplex settings. Do you want to fix them?",
     "Thiết lập in hai mặt có chỗ mâu thuẫn. Bạn có muốn sửa không?"},
    {"QPrintWidget", "Form", "In"},
    {"QPrintWidget", "Printer", "Máy in"},
    {"QPrintWidget", "&Name:", "&Tên:"},
    {"QPrintWidget", "P&roperties", "Th&uộc tính"},
    {"QPrintWidget", "Location:", "Vị trí:"},
    {"QPrintWidget", "Preview", "Xem trước"},
    {"QPrintWidget", "Type:", "Loại:"},
    {"QPrintWidget", "Output &file:", "&File in ra:"},
    {"QPrintSettingsOutput", "Form", "Tùy chọn in"},
    {"QPrintSettingsOutput", "Print range", "Phạm vi in"},
    {"QPrintSettingsOutput", "Print all", "In tất cả"},
    {"QPrintSettingsOutput", "Pages from", "Các trang từ"},
    {"QPrintSettingsOutput", "to", "đến"},
    {"QPrintSettingsOutput", "Pages", "Các trang"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. "
     "E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "Các trang hay khoảng trang cách nhau bằng dấu phẩy; một khoảng là hai số nối bằng gạch ngang. "
     "Ví dụ: 3,5-7,9 in các trang 3, 5, 6, 7 và 9."},
    {"QPrintSettingsOutput", "Current Page", "Trang hiện tại"},
    {"QPrintSettingsOutput", "Selection", "Phần đã chọn"},
    {"QPrintSettingsOutput", "Page Set:", "Nhóm trang:"},
    {"QPrintSettingsOutput", "Output Settings", "Bản in"},
    {"QPrintSettingsOutput", "Copies:", "Số bản:"},
    {"QPrintSettingsOutput", "Collate", "Xếp theo bộ"},
    {"QPrintSettingsOutput", "Reverse", "Ngược thứ tự"},
    {"QPrintSettingsOutput", "Copies", "Số bản"},
    {"QPrintSettingsOutput", "Color Mode", "Màu in"},
    {"QPrintSettingsOutput", "Color", "Màu"},
    {"QPrintSettingsOutput", "Grayscale", "Đen trắng"},
    {"QPrintSettingsOutput", "Double Sided Printing", "In hai mặt"},
    {"QPrintSettingsOutput", "Off", "Không"},
    {"QPrintSettingsOutput", "Long side binding", "Đóng gáy cạnh dài"},
    {"QPrintSettingsOutput", "Short side binding", "Đóng gáy cạnh ngắn"},
    {"QPrintSettingsOutput", "Options", "Tùy chọn"},
    {"QPrintPropertiesDialog", "Printer Properties", "Thuộc tính máy in"},
    {"QPrintPropertiesDialog", "Job Options", "Tùy chọn lệnh in"},
    {"QPrintPropertiesWidget", "Form", "Thuộc tính"},
    {"QPrintPropertiesWidget", "Page", "Trang"},
    {"QPrintPropertiesWidget", "Advanced", "Nâng cao"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     "Một số tùy chọn mâu thuẫn nhau. Hãy sửa lại."},
    {"QPageSetupWidget", "Form", "Trang"},
    {"QPageSetupWidget", "Paper", "Giấy"},
    {"QPageSetupWidget", "Page size:", "Khổ giấy:"},
    {"QPageSetupWidget", "Width:", "Rộng:"},
    {"QPageSetupWidget", "Height:", "Cao:"},
    {"QPageSetupWidget", "Paper source:", "Nguồn giấy:"},
    {"QPageSetupWidget", "Orientation", "Hướng giấy"},
    {"QPageSetupWidget", "Portrait", "Giấy đứng"},
    {"QPageSetupWidget", "Landscape", "Giấy ngang"},
    {"QPageSetupWidget", "Reverse landscape", "Giấy ngang, ngược"},
    {"QPageSetupWidget", "Reverse portrait", "Giấy đứng, ngược"},
    {"QPageSetupWidget", "Margins", "Lề"},
    {"QPageSetupWidget", "top margin", "lề trên"},
    {"QPageSetupWidget", "left margin", "lề trái"},
    {"QPageSetupWidget", "right margin", "lề phải"},
    {"QPageSetupWidget", "bottom margin", "lề dưới"},
    {"QPageSetupWidget", "Page Layout", "Bố trí trang"},
    {"QPageSetupWidget", "Page order:", "Thứ tự trang:"},
    {"QPageSetupWidget", "Pages per sheet:", "Số trang trên một tờ:"},
    {"QPageSetupWidget", "Millimeters (mm)", "Milimét (mm)"},
    {"QPageSetupWidget", "Inches (in)", "Inch (in)"},
    {"QPageSetupWidget", "Points (pt)", "Point (pt)"},
    {"QPageSetupWidget", "Custom", "Khổ tự chọn"},
    {"QPageSize", "Custom", "Khổ tự chọn"},
    {"QCupsJobWidget", "Job", "Lệnh in"},
    {"QCupsJobWidget", "Job Control", "Điều khiển lệnh in"},
    {"QCupsJobWidget", "Scheduled printing:", "Hẹn giờ in:"},
    {"QCupsJobWidget", "Billing information:", "Thông tin tính tiền:"},
    {"QCupsJobWidget", "Job priority:", "Độ ưu tiên:"},
    {"QCupsJobWidget", "Banner Pages", "Trang bìa"},
    {"QCupsJobWidget", "End:", "Cuối:"},
    {"QCupsJobWidget", "Start:", "Đầu:"},
    {"QCupsJobWidget", "Print Immediately", "In ngay"},
    {"QCupsJobWidget", "Hold Indefinitely", "Giữ lại, chưa in"},
    {"QCupsJobWidget", "Day (06:00 to 17:59)", "Ban ngày (06:00 đến 17:59)"},
    {"QCupsJobWidget", "Night (18:00 to 05:59)", "Ban đêm (18:00 đến 05:59)"},
    {"QCupsJobWidget", "Second Shift (16:00 to 23:59)", "Ca hai (16:00 đến 23:59)"},
    {"QCupsJobWidget", "Third Shift (00:00 to 07:59)", "Ca ba (00:00 đến 07:59)"},
    {"QCupsJobWidget", "Weekend (Saturday to Sunday)", "Cuối tuần (thứ Bảy, Chủ nhật)"},
    {"QCupsJobWidget", "Specific Time", "Vào giờ định trước"},
    {"QCupsJobWidget", "None", "Không có"},
    {"QCupsJobWidget", "Standard", "Tiêu chuẩn"},
    {"QCupsJobWidget", "Unclassified", "Không phân loại"},
    {"QCupsJobWidget", "Confidential", "Kín"},
    {"QCupsJobWidget", "Classified", "Mật"},
    {"QCupsJobWidget", "Secret", "Tối mật"},
    {"QCupsJobWidget", "Top Secret", "Tuyệt mật"},
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
