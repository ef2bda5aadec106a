#include "core/text/SystemReason.h"

#include <cerrno>

#include "core/text/VnCodec.h"

namespace qef {

std::string SystemReason(int error) {
    switch (error) {
        case ENOSPC: return Vn("đĩa đầy");
        case EDQUOT: return Vn("hết phần đĩa được dùng");
        case EFBIG: return Vn("file quá lớn hoặc đĩa đầy");
        case EACCES:
        case EPERM: return Vn("không có quyền ghi");
        case EROFS: return Vn("ổ đĩa chỉ đọc");
        case EBUSY:
        case ETXTBSY: return Vn("file đang được dùng");
        case ENAMETOOLONG: return Vn("tên file quá dài");
        case EISDIR:
        case ENOTEMPTY: return Vn("đã có thư mục cùng tên");
        case ENOENT:
        case ENOTDIR: return Vn("không có thư mục");
        case EEXIST: return Vn("tên đã có");
        case EIO: return Vn("lỗi đọc ghi đĩa");
        case EINVAL: return Vn("tên file không hợp lệ");
        case EMFILE:
        case ENFILE: return Vn("mở quá nhiều file");
        default: return Vn("lỗi hệ thống số ") + std::to_string(error);
    }
}

}  // namespace qef
