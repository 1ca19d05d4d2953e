#include "sheet/ZipPackage.h"

#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

#include "sheet/ReadLimits.h"
#include "sheet/WorkbookError.h"

namespace tombra::sheet {

namespace {

// Limits that keep a damaged or hostile file from exhausting memory (see also ReadLimits.h).
constexpr zip_int64_t kMaxParts = 100000;

constexpr int kZlibOutOfMemory = -4;  // Z_MEM_ERROR, as libzip passes on zlib's code

std::string lower(std::string_view s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return r;
}

bool outOfMemory(const zip_error_t* err) {
    int code = zip_error_code_zip(err);
    return code == ZIP_ER_MEMORY ||
           (code == ZIP_ER_ZLIB && zip_error_code_system(err) == kZlibOutOfMemory);
}

// What went wrong, in the user's words; libzip's own text is English.
std::string zipReason(const zip_error_t* err) {
    switch (zip_error_code_zip(err)) {
        case ZIP_ER_NOZIP:
            return "zip 形式のファイルではありません";
        case ZIP_ER_EXISTS:
            return "同じ名前の部品が二つあります";
        case ZIP_ER_ZLIB:
        case ZIP_ER_COMPRESSED_DATA:
            return "圧縮データが正しくありません";
        case ZIP_ER_INCONS:
            return "zip の目録と中身が食い違っています";
        case ZIP_ER_CRC:
            return "データの検査値 (CRC) が合いません";
        case ZIP_ER_EOF:
            return "ファイルが途中で切れています";
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
            return "パスワードで保護 (暗号化) されています";
        case ZIP_ER_COMPNOTSUPP:
            return "対応していない方式で圧縮されています";
        case ZIP_ER_MULTIDISK:
            return "複数に分割された zip には対応していません";
        case ZIP_ER_MEMORY:
            return "メモリが足りません";
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
        case ZIP_ER_TELL:
            return "データを読み取れません";
        case ZIP_ER_NOENT:
            return "部品が見つかりません";
        case ZIP_ER_WRITE:
        case ZIP_ER_CLOSE:
        case ZIP_ER_TMPOPEN:
        case ZIP_ER_RENAME:
            return "データを書き込めません";
        default:
            return "zip を扱えません (libzip のエラー " + std::to_string(zip_error_code_zip(err)) +
                   ")";
    }
}

// Encrypted or oddly compressed parts are not damaged, only beyond this reader.
ReadError::Kind partFailure(const zip_error_t* err) {
    if (outOfMemory(err)) return ReadError::Kind::OutOfMemory;
    switch (zip_error_code_zip(err)) {
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
        case ZIP_ER_COMPNOTSUPP:
            return ReadError::Kind::Unreadable;
        default:
            return ReadError::Kind::Damaged;
    }
}

// The first name stored twice. libzip refuses such a package without saying which; opened
// once more without its consistency checks, it lists both.
std::string duplicateName(const std::string& bytes) {
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &err);
    zip_t* za = src ? zip_open_from_source(src, ZIP_RDONLY, &err) : nullptr;
    std::string found;
    if (za) {
        std::set<std::string> seen;
        zip_int64_t count = std::min(zip_get_num_entries(za, 0), kMaxParts);
        for (zip_int64_t i = 0; i < count && found.empty(); ++i)
            if (const char* n = zip_get_name(za, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW))
                if (!seen.insert(n).second) found = n;
        zip_discard(za);
    } else if (src) {
        zip_source_free(src);
    }
    zip_error_fini(&err);
    return found;
}

}  // namespace

ZipPackage::ZipPackage(std::string bytes)
    : original_(std::make_unique<std::string>(std::move(bytes))) {
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_buffer_create(original_->data(), original_->size(), 0, &err);
    if (!src) {
        zip_error_fini(&err);
        throw ReadError(ReadError::Kind::OutOfMemory, "", "");
    }
    archive_ = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!archive_) {
        zip_source_free(src);
        const bool memory = outOfMemory(&err), twice = zip_error_code_zip(&err) == ZIP_ER_EXISTS;
        const std::string why = zipReason(&err);
        zip_error_fini(&err);
        if (memory) throw ReadError(ReadError::Kind::OutOfMemory, "", "");
        if (twice)
            if (std::string name = duplicateName(*original_); !name.empty())
                throw ReadError(ReadError::Kind::Damaged, name, why);
        throw ReadError(ReadError::Kind::NotAWorkbook, "", why);
    }
    zip_error_fini(&err);
    zip_int64_t count = zip_get_num_entries(archive_, 0);
    if (count < 0 || count > kMaxParts) {
        zip_discard(archive_);
        throw ReadError(ReadError::Kind::NotAWorkbook, "", "部品の数が異常です");
    }
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (!name) continue;
        std::string n(name);
        if (n.empty() || n.back() == '/') continue;  // folders carry nothing
        names_.push_back(n);
        originalIndex_[n] = i;
    }
}

ZipPackage::~ZipPackage() {
    if (archive_) zip_discard(archive_);
}

std::string ZipPackage::find(std::string_view name) const {
    std::string wanted(name);
    if (!wanted.empty() && wanted.front() == '/') wanted.erase(0, 1);
    if (replaced_.count(wanted) || originalIndex_.count(wanted)) return wanted;
    std::string key = lower(wanted);
    for (const std::string& n : names_)
        if (lower(n) == key) return n;
    return {};
}

std::string ZipPackage::read(std::string_view name) const {
    std::string stored = find(name);
    if (stored.empty()) throw ReadError(ReadError::Kind::Missing, std::string(name), "");
    if (auto it = replaced_.find(stored); it != replaced_.end()) return it->second;
    zip_uint64_t index = static_cast<zip_uint64_t>(originalIndex_.at(stored));
    auto failed = [&](const zip_error_t* err) {
        return ReadError(partFailure(err), stored, zipReason(err));
    };
    auto damaged = [&](const std::string& why) {
        return ReadError(ReadError::Kind::Damaged, stored, why);
    };
    zip_stat_t st;
    if (zip_stat_index(archive_, index, 0, &st) != 0) throw failed(zip_get_error(archive_));
    if (!(st.valid & ZIP_STAT_SIZE)) throw damaged("大きさが記録されていません");
    // The budget is the package's: many parts that each stay within the free allowance must
    // not add up to what one of them could not be.
    const std::uint64_t packed = std::min<std::uint64_t>(
        (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : st.size, original_->size());
    const std::uint64_t allowed =
        std::max(kFreeInflateBytes, kMaxInflateRatio * (packedRead_ + packed));
    if (st.size > kMaxPartBytes)
        throw ReadError(
            ReadError::Kind::Unreadable, stored,
            "展開すると " + std::to_string(kMaxPartBytes >> 20) + " MB を超える大きさになります");
    if (inflatedRead_ + st.size > allowed)
        throw ReadError(ReadError::Kind::Unreadable, stored,
                        "展開すると圧縮時の " + std::to_string(kMaxInflateRatio) +
                            " 倍を超える大きさになります");
    zip_file_t* file = zip_fopen_index(archive_, index, 0);
    if (!file) throw failed(zip_get_error(archive_));
    std::string data;
    zip_uint64_t got = 0;
    try {
        data.resize(static_cast<size_t>(st.size));  // within the budget, whatever the header says
        while (got < st.size) {
            zip_int64_t n = zip_fread(file, data.data() + got, st.size - got);
            if (n < 0) {
                ReadError e = failed(zip_file_get_error(file));
                zip_fclose(file);
                throw e;
            }
            if (n == 0) break;
            got += static_cast<zip_uint64_t>(n);
        }
    } catch (const std::bad_alloc&) {
        zip_fclose(file);
        throw ReadError(ReadError::Kind::OutOfMemory, stored, "");
    }
    // Reading past the stated size checks the CRC and exposes a lying header.
    char extra;
    zip_int64_t more = zip_fread(file, &extra, 1);
    if (more < 0) {
        ReadError e = failed(zip_file_get_error(file));
        zip_fclose(file);
        throw e;
    }
    int closeResult = zip_fclose(file);
    if (got != st.size || more != 0 || closeResult != 0) throw damaged("データが不完全です");
    packedRead_ += packed;
    inflatedRead_ += got;
    return data;
}

void ZipPackage::write(std::string_view name, std::string data) {
    std::string stored = find(name);
    if (stored.empty()) {
        stored = std::string(name);
        if (!stored.empty() && stored.front() == '/') stored.erase(0, 1);
        names_.push_back(stored);
    }
    replaced_[stored] = std::move(data);
}

std::string ZipPackage::save() const {
    zip_error_t err;
    zip_error_init(&err);
    auto fail = [&](const std::string& why) {
        zip_error_fini(&err);
        return WorkbookError(why);
    };
    zip_source_t* out = zip_source_buffer_create(nullptr, 0, 0, &err);
    if (!out) throw fail(zipReason(&err));
    zip_source_keep(out);
    zip_t* za = zip_open_from_source(out, ZIP_TRUNCATE, &err);
    if (!za) {
        zip_source_free(out);
        zip_source_free(out);
        throw fail(zipReason(&err));
    }
    auto abandon = [&](const std::string& why) {
        zip_discard(za);
        zip_source_free(out);
        return fail(why);
    };
    for (const std::string& name : names_) {
        zip_source_t* src = nullptr;
        bool fresh = false;
        if (auto it = replaced_.find(name); it != replaced_.end()) {
            // libzip owns (and frees) a copy, so the package stays usable after a failed save.
            void* copy = std::malloc(it->second.size() ? it->second.size() : 1);
            if (!copy) throw abandon("メモリ不足");
            std::memcpy(copy, it->second.data(), it->second.size());
            src = zip_source_buffer(za, copy, it->second.size(), 1);
            if (!src) std::free(copy);
            fresh = true;
        } else {
            src = zip_source_zip(za, archive_, static_cast<zip_uint64_t>(originalIndex_.at(name)),
                                 0, 0, -1);
        }
        if (!src) throw abandon("部品 " + name + ": " + zipReason(zip_get_error(za)));
        zip_int64_t idx = zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_RAW);
        if (idx < 0) {
            zip_source_free(src);
            throw abandon("部品 " + name + ": " + zipReason(zip_get_error(za)));
        }
        if (fresh) {
            const auto at = static_cast<zip_uint64_t>(idx);
            zip_set_file_compression(za, at, ZIP_CM_DEFLATE, 6);
            // A written part carries the zip format's earliest date, not the clock's: the same
            // content always makes the same bytes, so a workbook put back can be compared.
            constexpr zip_uint16_t kMidnight = 0, kFirstOf1980 = (0 << 9) | (1 << 5) | 1;
            zip_file_set_dostime(za, at, kMidnight, kFirstOf1980, 0);
        }
    }
    if (zip_close(za) != 0) throw abandon(zipReason(zip_get_error(za)));

    std::string bytes;
    zip_stat_t st;
    if (zip_source_stat(out, &st) != 0 || zip_source_open(out) != 0) {
        zip_source_free(out);
        throw fail("作成したデータを読めません");
    }
    bytes.resize(static_cast<size_t>(st.size));
    zip_int64_t n = st.size ? zip_source_read(out, bytes.data(), st.size) : 0;
    zip_source_close(out);
    zip_source_free(out);
    zip_error_fini(&err);
    if (n < 0 || static_cast<zip_uint64_t>(n) != st.size)
        throw WorkbookError("作成したデータを読み戻せません");
    return bytes;
}

}  // namespace tombra::sheet
