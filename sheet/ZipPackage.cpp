#include "sheet/ZipPackage.h"

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "sheet/WorkbookError.h"

namespace tombra::sheet {

namespace {

// Limits that keep a damaged or hostile file from exhausting memory.
constexpr zip_uint64_t kMaxPartSize = 1024ull * 1024 * 1024;
constexpr zip_int64_t kMaxParts = 100000;

std::string lower(std::string_view s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return r;
}

std::string zipErrorText(zip_error_t* err) {
    const char* s = zip_error_strerror(err);
    return s ? s : "";
}

}  // namespace

ZipPackage::ZipPackage(std::string bytes)
    : original_(std::make_unique<std::string>(std::move(bytes))) {
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_buffer_create(original_->data(), original_->size(), 0, &err);
    if (!src) {
        zip_error_fini(&err);
        throw WorkbookError("ファイルを読み込めません (メモリ不足)");
    }
    archive_ = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!archive_) {
        zip_source_free(src);
        std::string why = zipErrorText(&err);
        zip_error_fini(&err);
        throw WorkbookError("ブック (.xlsx) として読めないファイルです: " + why);
    }
    zip_error_fini(&err);
    zip_int64_t count = zip_get_num_entries(archive_, 0);
    if (count < 0 || count > kMaxParts) {
        zip_discard(archive_);
        throw WorkbookError("ブック (.xlsx) として読めないファイルです: 部品の数が異常です");
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
    if (stored.empty())
        throw WorkbookError("ブックに必要な部品 (" + std::string(name) + ") がありません");
    if (auto it = replaced_.find(stored); it != replaced_.end()) return it->second;
    zip_uint64_t index = static_cast<zip_uint64_t>(originalIndex_.at(stored));
    auto damaged = [&](const std::string& why) {
        return WorkbookError("ブックの一部 (" + stored + ") が壊れています: " + why);
    };
    zip_stat_t st;
    if (zip_stat_index(archive_, index, 0, &st) != 0) throw damaged(zip_strerror(archive_));
    if (!(st.valid & ZIP_STAT_SIZE) || st.size > kMaxPartSize) throw damaged("大きすぎます");
    zip_file_t* file = zip_fopen_index(archive_, index, 0);
    if (!file) throw damaged(zip_strerror(archive_));
    // Grow with the data that really arrives: a few kilobytes may claim a gigabyte.
    std::string data;
    data.reserve(static_cast<size_t>(std::min<zip_uint64_t>(st.size, 16u << 20)));
    char chunk[65536];
    zip_uint64_t got = 0;
    while (got < st.size) {
        zip_int64_t n = zip_fread(file, chunk, std::min<zip_uint64_t>(sizeof chunk, st.size - got));
        if (n < 0) {
            std::string why = zip_file_strerror(file);
            zip_fclose(file);
            throw damaged(why);
        }
        if (n == 0) break;
        data.append(chunk, static_cast<size_t>(n));
        got += static_cast<zip_uint64_t>(n);
    }
    // Reading past the stated size checks the CRC and exposes a lying header.
    char extra;
    zip_int64_t more = zip_fread(file, &extra, 1);
    int closeResult = zip_fclose(file);
    if (got != st.size || more != 0 || closeResult != 0) throw damaged("データが不完全です");
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
        return WorkbookError("ブックを書き出せません: " + why);
    };
    zip_source_t* out = zip_source_buffer_create(nullptr, 0, 0, &err);
    if (!out) throw fail(zipErrorText(&err));
    zip_source_keep(out);
    zip_t* za = zip_open_from_source(out, ZIP_TRUNCATE, &err);
    if (!za) {
        zip_source_free(out);
        zip_source_free(out);
        throw fail(zipErrorText(&err));
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
        if (!src) throw abandon(zip_strerror(za));
        zip_int64_t idx = zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_RAW);
        if (idx < 0) {
            zip_source_free(src);
            throw abandon(zip_strerror(za));
        }
        if (fresh) zip_set_file_compression(za, static_cast<zip_uint64_t>(idx), ZIP_CM_DEFLATE, 6);
    }
    if (zip_close(za) != 0) throw abandon(zip_strerror(za));

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
        throw WorkbookError("ブックを書き出せません: 読み戻しに失敗しました");
    return bytes;
}

}  // namespace tombra::sheet
