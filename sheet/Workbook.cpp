#include "sheet/Workbook.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <set>

#include "sheet/AtomicFile.h"
#include "sheet/ReadLimits.h"
#include "sheet/Relationships.h"
#include "sheet/SharedStrings.h"
#include "sheet/StyleSheet.h"
#include "sheet/WorkbookError.h"
#include "sheet/XmlText.h"
#include "sheet/ZipPackage.h"

namespace tombra::sheet {

namespace {

constexpr std::string_view kOfficeDocument = "/officeDocument";
constexpr std::string_view kWorksheetType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
constexpr std::string_view kStylesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
constexpr std::string_view kSharedStringsType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
constexpr std::string_view kWorksheetContent =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
constexpr std::string_view kStylesContent =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
constexpr std::string_view kSharedStringsContent =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";

// Saves replace the file by a rename, so the inode tells a new file even within one tick of
// the file system's clock.
struct FileStamp {
    long long size = -1;
    long long mtimeNs = 0;
    unsigned long long inode = 0;
    // Taken within the file system clock's granularity of the file's last write: another
    // write in the same tick would leave size, time and inode alike, so its content decides.
    std::optional<std::uint64_t> contentHash;

    bool sameFile(const FileStamp& o) const {
        return size == o.size && mtimeNs == o.mtimeNs && inode == o.inode;
    }
};

// Coarser than any file system's timestamps that we write to (FAT keeps two seconds).
constexpr long long kClockGranularityNs = 2'000'000'000LL;

std::uint64_t contentHash(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ULL;  // FNV-1a
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ULL;
    return h;
}

std::optional<FileStamp> statStamp(const std::filesystem::path& path) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{
        static_cast<long long>(st.st_size),
        static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL + st.st_mtim.tv_nsec,
        static_cast<unsigned long long>(st.st_ino), std::nullopt};
}

// The stamp of the file as it is now; `bytes` is its content when the caller has it at hand.
std::optional<FileStamp> stampOf(const std::filesystem::path& path,
                                 std::optional<std::string_view> bytes = std::nullopt) {
    std::optional<FileStamp> stamp = statStamp(path);
    if (!stamp) return stamp;
    const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    if (now - stamp->mtimeNs < kClockGranularityNs) {
        try {
            stamp->contentHash = contentHash(bytes ? *bytes : readWholeFile(path));
        } catch (const WorkbookError&) {
            stamp.reset();  // gone or unreadable already: nothing known to compare with
        }
    }
    return stamp;
}

std::string asciiLower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

size_t codePoints(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

// Relative path from the folder of `fromPart` to `toPart`.
std::string relativeTarget(const std::string& fromPart, const std::string& toPart) {
    size_t slash = fromPart.rfind('/');
    std::string dir = slash == std::string::npos ? "" : fromPart.substr(0, slash + 1);
    if (!dir.empty() && toPart.compare(0, dir.size(), dir) == 0) return toPart.substr(dir.size());
    return "/" + toPart;
}

}  // namespace

struct Workbook::Impl {
    struct SheetEntry {
        std::string name;
        std::string relationshipId;
        std::string part;  // "" for sheets that are not worksheets
        pugi::xml_node node;
        std::unique_ptr<Worksheet> worksheet;
    };

    std::filesystem::path path;
    std::optional<FileStamp> stamp;
    std::unique_ptr<ZipPackage> package;
    std::string workbookPart;
    pugi::xml_document workbookXml;
    pugi::xml_document contentTypes;
    std::unique_ptr<Relationships> workbookRels;
    std::vector<SheetEntry> sheets;
    std::string stylesPart, stringsPart;
    std::unique_ptr<StyleSheet> styles;
    std::unique_ptr<SharedStrings> strings;
    bool workbookChanged = false, relsChanged = false, contentTypesChanged = false;
    // Put back from an image that differs from the file (Workbook::restore).
    bool restoredUnsaved = false;
    std::uint64_t structureRevision = nextRevision();  // sheets added, the file read again
    // Which reading or saving of the file this content was last equal to.
    std::uint64_t original = 0;

    // The file's name as messages show it ("" for a package made in memory).
    std::string bookName() const { return path.filename().string(); }

    // Runs a step of reading; its failures come out naming the file.
    template <class Step>
    auto reading(Step&& step) -> decltype(step()) {
        try {
            return step();
        } catch (const ReadError& e) {
            if (!e.book().empty() || bookName().empty()) throw;
            throw e.inBook(bookName());
        } catch (const std::bad_alloc&) {
            throw ReadError(ReadError::Kind::OutOfMemory, "", "", bookName());
        }
    }

    void load(std::string bytes) {
        using Kind = ReadError::Kind;
        package = std::make_unique<ZipPackage>(std::move(bytes));
        if (!package->contains("[Content_Types].xml") || !package->contains("_rels/.rels"))
            throw ReadError(Kind::NotAWorkbook, "", "パッケージの目録がありません");
        parsePart(contentTypes, package->read("[Content_Types].xml"), "[Content_Types].xml");
        Relationships packageRels(package->read("_rels/.rels"), "_rels/.rels");
        const Relationships::Entry* office = packageRels.byTypeSuffix(kOfficeDocument);
        if (!office) throw ReadError(Kind::NotAWorkbook, "", "本体がありません");
        workbookPart = resolvePartTarget("", office->target);
        parsePart(workbookXml, package->read(workbookPart), workbookPart);
        if (localName(workbookXml.document_element()) != "workbook")
            throw ReadError(Kind::NotAWorkbook, "", "本体がブックではありません");
        std::string relsPart = relationshipsPartFor(workbookPart);
        workbookRels = package->contains(relsPart)
                           ? std::make_unique<Relationships>(package->read(relsPart), relsPart)
                           : std::make_unique<Relationships>();

        pugi::xml_node sheetsNode = childByLocalName(workbookXml.document_element(), "sheets");
        std::set<std::string> seen;
        for (pugi::xml_node s = sheetsNode.first_child(); s; s = s.next_sibling()) {
            if (s.type() != pugi::node_element || localName(s) != "sheet") continue;
            SheetEntry e;
            e.name = attributeText(s, "name");
            e.node = s;
            e.relationshipId =
                xmlUnescapeAttribute(attributeInNamespace(s, "id", kRelationshipsNs).value());
            if (const Relationships::Entry* rel = workbookRels->byId(e.relationshipId);
                rel && rel->type == kWorksheetType && !rel->external)
                e.part = resolvePartTarget(workbookPart, rel->target);
            if (e.name.empty() || !seen.insert(asciiLower(e.name)).second)
                throw ReadError(Kind::Damaged, workbookPart,
                                "シートの名前が空か、同じ名前のシートがあります");
            sheets.push_back(std::move(e));
        }
        if (const Relationships::Entry* rel = workbookRels->byTypeSuffix("/styles"))
            stylesPart = resolvePartTarget(workbookPart, rel->target);
        if (const Relationships::Entry* rel = workbookRels->byTypeSuffix("/sharedStrings"))
            stringsPart = resolvePartTarget(workbookPart, rel->target);
        for (const SheetEntry& e : sheets)
            if ((!stylesPart.empty() && e.part == stylesPart) ||
                (!stringsPart.empty() && e.part == stringsPart))
                throw ReadError(Kind::Damaged, relsPart,
                                "シートが書式か共有文字列の部品を指しています");
        styles = !stylesPart.empty() && package->contains(stylesPart)
                     ? std::make_unique<StyleSheet>(package->read(stylesPart), stylesPart)
                     : std::make_unique<StyleSheet>();
    }

    SharedStrings& sharedStrings() {
        if (!strings)
            strings = reading([&] {
                return !stringsPart.empty() && package->contains(stringsPart)
                           ? std::make_unique<SharedStrings>(package->read(stringsPart),
                                                             stringsPart)
                           : std::make_unique<SharedStrings>();
            });
        return *strings;
    }

    SheetEntry* entry(std::string_view name) {
        for (SheetEntry& e : sheets)
            if (e.name == name) return &e;
        std::string key = asciiLower(name);
        for (SheetEntry& e : sheets)
            if (asciiLower(e.name) == key) return &e;
        return nullptr;
    }

    Worksheet& worksheet(SheetEntry& e) {
        if (!e.worksheet) {
            if (!package->contains(e.part))
                throw ReadError(ReadError::Kind::Missing, e.part + " (シート「" + e.name + "」)",
                                "", bookName());
            try {
                reading([&] {
                    auto ws = std::make_unique<Worksheet>(e.name, e.part, *styles, sharedStrings());
                    ws->load(package->read(e.part));
                    e.worksheet = std::move(ws);
                });
            } catch (const ReadError& failure) {
                if (failure.kind() != ReadError::Kind::OutOfMemory || !failure.part().empty())
                    throw;
                throw WorkbookError("メモリが足りないため、" +
                                    (bookName().empty() ? "" : "ブック「" + bookName() + "」の") +
                                    "シート「" + e.name + "」を読み込めません");
            }
        }
        return *e.worksheet;
    }

    void addContentOverride(const std::string& part, std::string_view type) {
        pugi::xml_node root = contentTypes.document_element();
        pugi::xml_node o = root.append_child((prefixOf(root) + "Override").c_str());
        setAttribute(o, "PartName", "/" + part);
        setAttribute(o, "ContentType", type);
        contentTypesChanged = true;
    }

    // A workbook-level part that the package may lack: named, related and typed on first write.
    void ensurePart(std::string& part, const char* fileName, std::string_view relationType,
                    std::string_view contentType) {
        if (!part.empty() && package->contains(part)) return;
        if (part.empty()) {
            size_t slash = workbookPart.rfind('/');
            part = (slash == std::string::npos ? "" : workbookPart.substr(0, slash + 1)) + fileName;
            workbookRels->add(relationType, relativeTarget(workbookPart, part));
            relsChanged = true;
        }
        addContentOverride(part, contentType);
    }

    std::string freePartName(const std::string& folder, const std::string& stem) {
        for (int n = 1;; ++n) {
            std::string candidate = folder + stem + std::to_string(n) + ".xml";
            bool taken = package->contains(candidate);
            for (const SheetEntry& e : sheets) taken |= asciiLower(e.part) == asciiLower(candidate);
            if (!taken) return candidate;
        }
    }

    int activeIndex() const {
        pugi::xml_node views = childByLocalName(workbookXml.document_element(), "bookViews");
        pugi::xml_node view = childByLocalName(views, "workbookView");
        int index = view ? view.attribute("activeTab").as_int(0) : 0;
        return index >= 0 && index < static_cast<int>(sheets.size()) ? index : 0;
    }

    bool dirty() const {
        if (workbookChanged || relsChanged || contentTypesChanged || restoredUnsaved ||
            styles->changed())
            return true;
        if (strings && strings->changed()) return true;
        for (const SheetEntry& e : sheets)
            if (e.worksheet && e.worksheet->touched()) return true;
        return false;
    }
};

Workbook::Workbook(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::open(const std::filesystem::path& path) {
    std::filesystem::path absolute = std::filesystem::absolute(path);
    try {
        auto stamp = stampOf(absolute);
        auto wb = fromBytes(readWholeFile(absolute), absolute);
        wb->impl_->stamp = stamp;
        wb->impl_->original = nextRevision();
        return wb;
    } catch (const std::bad_alloc&) {
        throw ReadError(ReadError::Kind::OutOfMemory, "", "", absolute.filename().string());
    }
}

std::unique_ptr<Workbook> Workbook::fromBytes(std::string bytes,
                                              const std::filesystem::path& path) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->reading([&] { impl->load(std::move(bytes)); });
    return std::unique_ptr<Workbook>(new Workbook(std::move(impl)));
}

const std::filesystem::path& Workbook::path() const { return impl_->path; }

bool Workbook::sheetHidden(std::string_view name) const {
    const Impl::SheetEntry* e = impl_->entry(name);
    if (!e) return false;
    const std::string state = e->node.attribute("state").value();
    return state == "hidden" || state == "veryHidden";
}

void Workbook::hideSheet(std::string_view name) {
    Impl::SheetEntry* e = impl_->entry(name);
    if (!e) throw WorkbookError("シート「" + std::string(name) + "」が見つかりません");
    if (sheetHidden(name)) return;
    setAttribute(e->node, "state", "hidden");
    impl_->workbookChanged = true;
    impl_->structureRevision = nextRevision();
}

std::vector<std::string> Workbook::sheetNames() const {
    std::vector<std::string> names;
    for (const auto& e : impl_->sheets) names.push_back(e.name);
    return names;
}

Worksheet* Workbook::findSheet(std::string_view name) {
    Impl::SheetEntry* e = impl_->entry(name);
    if (!e || e->part.empty()) return nullptr;
    return &impl_->worksheet(*e);
}

Worksheet& Workbook::sheet(std::string_view name) {
    Worksheet* ws = findSheet(name);
    if (!ws) throw WorkbookError("シート「" + std::string(name) + "」が見つかりません");
    return *ws;
}

Worksheet& Workbook::addSheet(std::string_view rawName) {
    std::string name = validUtf8(rawName);
    if (name.empty() || codePoints(name) > 31 ||
        name.find_first_of("[]:*?/\\") != std::string::npos || name.front() == '\'' ||
        name.back() == '\'')
        throw WorkbookError("シート名「" + name + "」は使えません");
    if (impl_->entry(name)) throw WorkbookError("シート「" + name + "」はすでにあります");
    Impl& m = *impl_;
    m.structureRevision = nextRevision();
    size_t slash = m.workbookPart.rfind('/');
    std::string folder =
        (slash == std::string::npos ? "" : m.workbookPart.substr(0, slash + 1)) + "worksheets/";
    std::string part = m.freePartName(folder, "sheet");

    std::set<std::string> referenced;
    for (const auto& e : m.sheets) referenced.insert(e.relationshipId);
    std::string relId =
        m.workbookRels->add(kWorksheetType, relativeTarget(m.workbookPart, part), referenced);
    m.relsChanged = true;
    m.addContentOverride(part, kWorksheetContent);

    pugi::xml_node root = m.workbookXml.document_element();
    std::string rPrefix = prefixForNamespace(root, kRelationshipsNs);
    if (rPrefix.empty()) {
        rPrefix = "r";
        for (int n = 0; root.attribute(("xmlns:" + rPrefix).c_str()); ++n)
            rPrefix = "rel" + std::to_string(n);
        setAttribute(root, ("xmlns:" + rPrefix).c_str(), kRelationshipsNs);
    }
    pugi::xml_node sheetsNode = childByLocalName(root, "sheets");
    if (!sheetsNode) throw WorkbookError("ブックのシート一覧がありません");
    long long maxId = 0;
    for (const auto& e : m.sheets) maxId = std::max(maxId, e.node.attribute("sheetId").as_llong(0));
    pugi::xml_node node = sheetsNode.append_child((prefixOf(root) + "sheet").c_str());
    setAttribute(node, "name", name);
    setAttribute(node, "sheetId", std::to_string(maxId + 1));
    setAttribute(node, (rPrefix + ":id").c_str(), relId);
    m.workbookChanged = true;

    Impl::SheetEntry e;
    e.name = name;
    e.relationshipId = relId;
    e.part = part;
    e.node = node;
    e.worksheet = std::make_unique<Worksheet>(name, part, *m.styles, m.sharedStrings());
    e.worksheet->loadNew();
    m.sheets.push_back(std::move(e));
    return *m.sheets.back().worksheet;
}

void Workbook::activate(std::string_view name) {
    Impl& m = *impl_;
    Impl::SheetEntry* target = m.entry(name);
    if (!target || target->part.empty())
        throw WorkbookError("シート「" + std::string(name) + "」が見つかりません");
    int index = static_cast<int>(target - m.sheets.data());
    if (index == m.activeIndex() && m.worksheet(*target).tabSelected()) return;
    // Only one tab may stay selected, or the spreadsheet opens the sheets grouped.
    for (Impl::SheetEntry& e : m.sheets) {
        if (e.part.empty() || &e == target) continue;
        bool selected = e.worksheet ? e.worksheet->tabSelected() : m.reading([&] {
            return m.package->read(e.part).find("tabSelected=\"1\"") != std::string::npos;
        });
        if (selected) m.worksheet(e).setTabSelected(false);
    }
    m.worksheet(*target).setTabSelected(true);
    pugi::xml_node root = m.workbookXml.document_element();
    pugi::xml_node views = childByLocalName(root, "bookViews");
    if (!views)
        views = root.insert_child_before((prefixOf(root) + "bookViews").c_str(),
                                         childByLocalName(root, "sheets"));
    pugi::xml_node view = childByLocalName(views, "workbookView");
    if (!view) view = views.append_child((prefixOf(root) + "workbookView").c_str());
    setAttribute(view, "activeTab", std::to_string(index));
    if (view.attribute("firstSheet").as_int(0) > index)
        setAttribute(view, "firstSheet", std::to_string(index));
    m.workbookChanged = true;
}

std::string Workbook::activeSheetName() const {
    return impl_->sheets.empty() ? std::string()
                                 : impl_->sheets[static_cast<size_t>(impl_->activeIndex())].name;
}

bool Workbook::hasUnsavedChanges() const { return impl_->dirty(); }

std::uint64_t Workbook::revision() const {
    std::uint64_t latest = impl_->structureRevision;
    for (const Impl::SheetEntry& e : impl_->sheets)
        if (e.worksheet) latest = std::max(latest, e.worksheet->revision());
    return latest;
}

std::string Workbook::serialize() {
    Impl& m = *impl_;
    ZipPackage& pkg = *m.package;
    // Sheets first: writing their texts may add shared strings.
    for (auto& e : m.sheets)
        if (e.worksheet && e.worksheet->touched()) pkg.write(e.part, e.worksheet->serialize());
    if (m.strings && m.strings->changed()) {
        m.ensurePart(m.stringsPart, "sharedStrings.xml", kSharedStringsType, kSharedStringsContent);
        pkg.write(m.stringsPart, m.strings->serialize());
    }
    if (m.styles->changed()) {
        m.ensurePart(m.stylesPart, "styles.xml", kStylesType, kStylesContent);
        pkg.write(m.stylesPart, m.styles->serialize());
    }
    if (m.workbookChanged) pkg.write(m.workbookPart, printDocument(m.workbookXml));
    if (m.relsChanged) pkg.write(relationshipsPartFor(m.workbookPart), m.workbookRels->serialize());
    if (m.contentTypesChanged) pkg.write("[Content_Types].xml", printDocument(m.contentTypes));
    try {
        return pkg.save();
    } catch (const WorkbookError& e) {
        const std::string book = m.bookName();
        throw WorkbookError((book.empty() ? "ブック" : "ブック「" + book + "」") +
                            "を書き出せません: " + e.what());
    }
}

void Workbook::save(bool overwriteChangedFile) {
    if (impl_->path.empty()) throw WorkbookError("保存先が決まっていません");
    const DiskState disk = diskState();
    if (disk == DiskState::Changed && !overwriteChangedFile) throw FileChangedOnDisk(impl_->path);
    if (!hasUnsavedChanges() && disk == DiskState::Unchanged) return;  // the file holds this
    saveAs(impl_->path);
}

void Workbook::saveAs(const std::filesystem::path& target) {
    Impl& m = *impl_;
    std::filesystem::path absolute = std::filesystem::absolute(target);
    std::string bytes = serialize();
    writeFileAtomically(absolute, bytes);
    // What is on disk now is the new original.
    m.path = absolute;
    m.stamp = stampOf(absolute, bytes);
    if (m.strings && m.package->isReplaced(m.stringsPart))
        m.strings->saved(m.package->read(m.stringsPart));
    if (!m.stylesPart.empty() && m.package->isReplaced(m.stylesPart))
        m.styles->saved(m.package->read(m.stylesPart));
    m.package = std::make_unique<ZipPackage>(std::move(bytes));
    for (auto& e : m.sheets)
        if (e.worksheet) e.worksheet->markSaved();
    m.workbookChanged = m.relsChanged = m.contentTypesChanged = m.restoredUnsaved = false;
    m.original = nextRevision();
}

Workbook::DiskState Workbook::diskState() const {
    const Impl& m = *impl_;
    if (m.path.empty()) return DiskState::Unchanged;  // not bound to a file
    std::optional<FileStamp> now = statStamp(m.path);
    if (!now) return DiskState::Missing;
    if (!m.stamp || !now->sameFile(*m.stamp)) return DiskState::Changed;
    if (m.stamp->contentHash) {
        try {
            if (contentHash(readWholeFile(m.path)) != *m.stamp->contentHash)
                return DiskState::Changed;
        } catch (const WorkbookError&) {
            return DiskState::Missing;
        }
    }
    return DiskState::Unchanged;
}

void Workbook::reload() {
    std::unique_ptr<Workbook> fresh = open(impl_->path);
    impl_ = std::move(fresh->impl_);
    impl_->structureRevision = nextRevision();
}

Workbook::Image Workbook::image(const Image* earlier) {
    Image now;
    now.revision = revision();
    now.bytes = earlier && earlier->bytes && earlier->revision == now.revision
                    ? earlier->bytes
                    : std::make_shared<const std::string>(serialize());
    now.unsaved = hasUnsavedChanges();
    now.original = impl_->original;
    return now;
}

void Workbook::restore(const Image& image) {
    // Read completely before anything is replaced: a failure leaves the workbook as it was.
    std::unique_ptr<Workbook> fresh = fromBytes(*image.bytes, impl_->path);
    Impl& m = *fresh->impl_;
    m.stamp = impl_->stamp;
    m.original = impl_->original;
    m.restoredUnsaved = image.unsaved || image.original != impl_->original;
    impl_ = std::move(fresh->impl_);
}

std::vector<std::string> Workbook::takeNotices() {
    std::vector<std::string> notices;
    for (auto& e : impl_->sheets)
        if (e.worksheet)
            for (std::string& n : e.worksheet->takeCutNotices()) notices.push_back(std::move(n));
    return notices;
}

}  // namespace tombra::sheet
