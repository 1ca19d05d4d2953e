#include "sheet/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "sheet/ReadLimits.h"
#include "sheet/WorkbookError.h"

namespace tombra::sheet {

namespace {

std::string systemReason(int err) { return std::strerror(err); }

// A rename would replace a file its owner made read-only whenever the folder is writable, and
// the super-user may write anything: the file's own write bits decide.
void refuseReadOnly(const std::filesystem::path& target) {
    struct stat st;
    if (::stat(target.c_str(), &st) != 0) return;  // a new file
    if (!S_ISREG(st.st_mode))
        throw WorkbookError("保存できません: 「" + target.string() + "」はファイルではありません");
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
        throw WorkbookError("保存できません: 「" + target.string() +
                            "」は書き込みが禁止されています（読み取り専用）");
}

}  // namespace

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    const std::string shown = target.string();
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    refuseReadOnly(target);
    std::string pattern = (dir / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw WorkbookError("保存できません (" + shown +
                            "): 一時ファイルを作れません: " + systemReason(errno));
    auto failWith = [&](const std::string& what) {
        int err = errno;
        ::close(fd);
        ::unlink(pattern.c_str());
        return WorkbookError("保存できません (" + shown + "): " + what + ": " + systemReason(err));
    };
    struct stat old;
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    mode_t mode = 0644;
    if (replacing)
        mode = old.st_mode & 07777;
    else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw failWith("書き込みに失敗しました");
        }
        done += static_cast<size_t>(n);
    }
    if (::fchmod(fd, mode) != 0) throw failWith("属性を設定できません");
    // The replaced file's owner and group stay; whoever may not give a file away keeps what
    // the system allows (the group alone, or the saver's own).
    if (replacing && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, -1, old.st_gid);
    if (::fsync(fd) != 0) throw failWith("書き込みに失敗しました");
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(pattern.c_str());
        throw WorkbookError("保存できません (" + shown + "): " + systemReason(err));
    }
    if (::rename(pattern.c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(pattern.c_str());
        throw WorkbookError("保存できません (" + shown +
                            "): 置き換えに失敗しました: " + systemReason(err));
    }
    // Make the rename itself durable.
    int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

std::string readWholeFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw WorkbookError("ファイルが見つかりません: " + path.string());
    if (std::filesystem::is_directory(path, ec))
        throw WorkbookError("ブックではなくフォルダです: " + path.string());
    // Checked before anything is read: a device or a pipe may never end, and a file larger than
    // any workbook would only fill the memory before being refused.
    auto refuse = [&](const struct stat& st, std::uint64_t size) {
        if (!S_ISREG(st.st_mode))
            throw WorkbookError("「" + path.string() +
                                "」は通常のファイルではない (装置や名前付きパイプなど) ため、"
                                "ブックとして開けません");
        if (size > kMaxWorkbookFileBytes)
            throw WorkbookError("「" + path.string() + "」は " +
                                std::to_string(kMaxWorkbookFileBytes >> 20) + " MB を超える (" +
                                std::to_string((size + (1 << 20) - 1) >> 20) +
                                " MB) ため、ブックとして開けません");
    };
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        throw WorkbookError("ファイルを開けません: " + path.string());
    refuse(st, static_cast<std::uint64_t>(st.st_size));
    // Without blocking: the name may have been given to a pipe since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw WorkbookError("ファイルを開けません: " + path.string());
    std::string bytes;
    try {
        if (::fstat(fd, &st) != 0) throw WorkbookError("ファイルを開けません: " + path.string());
        refuse(st, static_cast<std::uint64_t>(st.st_size));
        bytes.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        char more[65536];
        for (;;) {
            // Past the stated size only when the file grows while it is read.
            const bool inside = done < bytes.size();
            ssize_t n = inside ? ::read(fd, bytes.data() + done, bytes.size() - done)
                               : ::read(fd, more, sizeof more);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw WorkbookError("ファイルを読み込めません: " + path.string());
            if (n == 0) break;
            if (!inside) {
                refuse(st, done + static_cast<std::uint64_t>(n));
                bytes.append(more, static_cast<size_t>(n));
            }
            done += static_cast<size_t>(n);
        }
        bytes.resize(done);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return bytes;
}

}  // namespace tombra::sheet
