// Damaged, truncated and hostile packages must be refused with a WorkbookError whose message the
// user can read (Japanese), or be read, edited and saved; never a crash, a hang or another
// exception. A package the engine accepted must keep the edits made to it through a save, and a
// failed save must leave the old file and its folder as they were. Every try runs in a child
// process, so that a crash or a hang is reported against the input that caused it and the
// remaining inputs still run.
#include <cxxabi.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "sheet/AtomicFile.h"
#include "sheet/CellAddress.h"
#include "sheet/CellFormat.h"
#include "sheet/Constants.h"
#include "sheet/ReadLimits.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"
#include "sheet/Worksheet.h"
#include "support/TestFiles.h"

namespace tombra::sheet {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------------------------
// The sample package, built part by part so that each part can be damaged on its own.

struct Part {
    std::string name;
    std::string data;
    bool stored = false;  // kept uncompressed in the zip
};
using Parts = std::vector<Part>;

constexpr const char* kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

const std::string kXmlDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

Parts sampleParts() {
    const std::string ws =
        std::string("<worksheet xmlns=\"") + kMainNs + "\" xmlns:r=\"" + kRelNs + "\">";
    Parts parts;
    parts.push_back(
        {"[Content_Types].xml",
         kXmlDecl + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                    "<Default Extension=\"rels\" "
                    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                    "<Override PartName=\"/xl/workbook.xml\" "
                    "ContentType=\"application/"
                    "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                    "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
                    "ContentType=\"application/"
                    "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                    "<Override PartName=\"/xl/worksheets/sheet2.xml\" "
                    "ContentType=\"application/"
                    "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                    "<Override PartName=\"/xl/styles.xml\" "
                    "ContentType=\"application/"
                    "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
                    "<Override PartName=\"/xl/sharedStrings.xml\" "
                    "ContentType=\"application/"
                    "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
                    "<Override PartName=\"/docProps/core.xml\" "
                    "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
                    "</Types>"});
    parts.push_back({"_rels/.rels",
                     kXmlDecl +
                         "<Relationships "
                         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                         "<Relationship Id=\"rId1\" "
                         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                         "relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                         "<Relationship Id=\"rId2\" "
                         "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/"
                         "metadata/core-properties\" Target=\"docProps/core.xml\"/>"
                         "</Relationships>"});
    parts.push_back(
        {"docProps/core.xml",
         kXmlDecl +
             "<cp:coreProperties "
             "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
             "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:creator>大会本部</dc:creator></"
             "cp:coreProperties>"});
    parts.push_back({"xl/workbook.xml",
                     kXmlDecl + "<workbook xmlns=\"" + kMainNs + "\" xmlns:r=\"" + kRelNs +
                         "\">"
                         "<bookViews><workbookView activeTab=\"0\"/></bookViews>"
                         "<sheets><sheet name=\"組合せ\" sheetId=\"1\" r:id=\"rId1\"/>"
                         "<sheet name=\"名簿\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>"});
    parts.push_back({"xl/_rels/workbook.xml.rels",
                     kXmlDecl +
                         "<Relationships "
                         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                         "<Relationship Id=\"rId1\" "
                         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                         "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                         "<Relationship Id=\"rId2\" "
                         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                         "relationships/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
                         "<Relationship Id=\"rId3\" "
                         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                         "relationships/styles\" Target=\"styles.xml\"/>"
                         "<Relationship Id=\"rId4\" "
                         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                         "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                         "</Relationships>"});
    parts.push_back(
        {"xl/worksheets/sheet1.xml",
         kXmlDecl + ws +
             "<dimension ref=\"A1:D4\"/>"
             "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
             "<sheetFormatPr defaultRowHeight=\"13.5\"/>"
             "<cols><col min=\"1\" max=\"2\" width=\"12.625\" customWidth=\"1\"/></cols>"
             "<sheetData>"
             "<row r=\"1\" ht=\"20\" customHeight=\"1\"><c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c><c "
             "r=\"B1\" t=\"s\"><v>1</v></c></row>"
             "<row r=\"2\"><c r=\"A2\"><v>42</v></c><c r=\"B2\" s=\"2\"><v>3.5</v></c><c "
             "r=\"C2\"><f>A2*2</f><v>84</v></c></row>"
             "<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>インライン</t></is></c><c r=\"B3\" "
             "t=\"b\"><v>1</v></c>"
             "<c r=\"C3\" t=\"e\"><v>#DIV/0!</v></c></row>"
             "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>2</v></c><c r=\"C4\" t=\"s\"><v>0</v></c></row>"
             "</sheetData>"
             "<mergeCells count=\"1\"><mergeCell ref=\"C4:D4\"/></mergeCells>"
             "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
             "footer=\"0.3\"/>"
             "<rowBreaks count=\"1\" manualBreakCount=\"1\"><brk id=\"2\" max=\"16383\" "
             "man=\"1\"/></rowBreaks>"
             "</worksheet>"});
    parts.push_back({"xl/worksheets/sheet2.xml",
                     kXmlDecl + ws +
                         "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c><c "
                         "r=\"B1\"><v>7</v></c></row></sheetData>"
                         "</worksheet>",
                     true});
    parts.push_back(
        {"xl/sharedStrings.xml", kXmlDecl + "<sst xmlns=\"" + kMainNs +
                                     "\" count=\"4\" uniqueCount=\"3\">"
                                     "<si><t>一回戦</t></si>"
                                     "<si><t xml:space=\"preserve\">山田 太郎\n(東高)</t></si>"
                                     "<si><r><rPr><b/></rPr><t>太字</t></r><r><t>と普通</t></"
                                     "r><rPh sb=\"0\" eb=\"1\"><t>フト</t></rPh></si>"
                                     "</sst>"});
    parts.push_back(
        {"xl/styles.xml",
         kXmlDecl + "<styleSheet xmlns=\"" + kMainNs +
             "\">"
             "<numFmts count=\"1\"><numFmt numFmtId=\"176\" formatCode=\"0.0\"/></numFmts>"
             "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"ＭＳ Ｐゴシック\"/><family "
             "val=\"3\"/><charset val=\"128\"/></font>"
             "<font><b/><sz val=\"14\"/><color indexed=\"10\"/><name val=\"ＭＳ "
             "Ｐ明朝\"/></font></fonts>"
             "<fills count=\"2\"><fill><patternFill "
             "patternType=\"none\"/></fill><fill><patternFill "
             "patternType=\"gray125\"/></fill></fills>"
             "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
             "<border><left style=\"thin\"><color indexed=\"64\"/></left><right "
             "style=\"thick\"><color rgb=\"FFFF0000\"/></right>"
             "<top style=\"thin\"><color theme=\"1\"/></top><bottom style=\"double\"><color "
             "auto=\"1\"/></bottom><diagonal/></border></borders>"
             "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
             "borderId=\"0\"/></cellStyleXfs>"
             "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
             "xfId=\"0\"/>"
             "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"1\" xfId=\"0\" "
             "applyFont=\"1\" applyBorder=\"1\" applyAlignment=\"1\">"
             "<alignment horizontal=\"distributed\" vertical=\"center\" wrapText=\"1\"/></xf>"
             "<xf numFmtId=\"176\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
             "applyNumberFormat=\"1\"/></cellXfs>"
             "<cellStyles count=\"1\"><cellStyle name=\"標準\" xfId=\"0\" "
             "builtinId=\"0\"/></cellStyles>"
             "</styleSheet>"});
    return parts;
}

Part& partNamed(Parts& parts, const std::string& name) {
    for (Part& p : parts)
        if (p.name == name) return p;
    throw std::logic_error("the sample has no part " + name);
}

using Replacements = std::vector<std::pair<std::string, std::string>>;

// Replaces the one occurrence of each `from` in a part; the sample must hold it exactly once.
Parts withReplaced(const std::string& partName, const Replacements& replacements) {
    Parts parts = sampleParts();
    std::string& data = partNamed(parts, partName).data;
    for (const auto& [from, to] : replacements) {
        size_t at = data.find(from);
        if (at == std::string::npos || data.find(from, at + 1) != std::string::npos)
            throw std::logic_error("\"" + from + "\" is not in " + partName + " exactly once");
        data.replace(at, from.size(), to);
    }
    return parts;
}

Parts withReplaced(const std::string& partName, const std::string& from, const std::string& to) {
    return withReplaced(partName, {{from, to}});
}

std::string zipParts(const Parts& parts) {
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* out = zip_source_buffer_create(nullptr, 0, 0, &err);
    if (!out) throw std::runtime_error("zip buffer");
    zip_source_keep(out);
    zip_t* za = zip_open_from_source(out, ZIP_TRUNCATE, &err);
    if (!za) throw std::runtime_error("zip open");
    for (const Part& p : parts) {
        zip_source_t* src = zip_source_buffer(za, p.data.data(), p.data.size(), 0);
        zip_int64_t idx =
            src ? zip_file_add(za, p.name.c_str(), src, ZIP_FL_ENC_RAW | ZIP_FL_OVERWRITE) : -1;
        if (idx < 0) throw std::runtime_error("zip add " + p.name);
        zip_set_file_compression(za, static_cast<zip_uint64_t>(idx),
                                 p.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(za) != 0) throw std::runtime_error("zip close");
    zip_stat_t st;
    std::string bytes;
    if (zip_source_stat(out, &st) != 0 || zip_source_open(out) != 0)
        throw std::runtime_error("zip read");
    bytes.resize(static_cast<size_t>(st.size));
    zip_int64_t n = zip_source_read(out, bytes.data(), st.size);
    zip_source_close(out);
    zip_source_free(out);
    zip_error_fini(&err);
    if (n < 0 || static_cast<zip_uint64_t>(n) != st.size) throw std::runtime_error("zip read");
    return bytes;
}

const std::string& samplePackage() {
    static const std::string bytes = zipParts(sampleParts());
    return bytes;
}

// Where the headers of each entry sit in a zip, for damage the zip writer would never produce.
struct ZipEntry {
    std::string name;
    size_t central = 0;  // central directory header
    size_t local = 0;    // local header
    size_t data = 0;     // compressed data
    std::uint32_t compressedSize = 0;
};

std::uint32_t get32(const std::string& s, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(s.at(at + static_cast<size_t>(i)));
    return v;
}
std::uint16_t get16(const std::string& s, size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s.at(at)) |
                                      (static_cast<unsigned char>(s.at(at + 1)) << 8));
}
void put32(std::string& s, size_t at, std::uint32_t v) {
    for (size_t i = 0; i < 4; ++i) s.at(at + i) = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void put16(std::string& s, size_t at, std::uint16_t v) {
    s.at(at) = static_cast<char>(v & 0xFF);
    s.at(at + 1) = static_cast<char>(v >> 8);
}

size_t endOfCentralDirectory(const std::string& zip) {
    size_t at = zip.rfind(std::string("PK\x05\x06", 4));
    if (at == std::string::npos) throw std::logic_error("no end of central directory");
    return at;
}

std::vector<ZipEntry> zipEntries(const std::string& zip) {
    const size_t eocd = endOfCentralDirectory(zip);
    size_t at = get32(zip, eocd + 16);
    std::vector<ZipEntry> entries;
    for (std::uint16_t i = 0, n = get16(zip, eocd + 10); i < n; ++i) {
        if (get32(zip, at) != 0x02014b50) throw std::logic_error("bad central directory");
        ZipEntry e;
        e.central = at;
        e.compressedSize = get32(zip, at + 20);
        size_t nameLength = get16(zip, at + 28), extra = get16(zip, at + 30),
               comment = get16(zip, at + 32);
        e.name = zip.substr(at + 46, nameLength);
        e.local = get32(zip, at + 42);
        e.data = e.local + 30 + get16(zip, e.local + 26) + get16(zip, e.local + 28);
        entries.push_back(e);
        at += 46 + nameLength + extra + comment;
    }
    return entries;
}

// ---------------------------------------------------------------------------------------------
// One try: open, read every sheet and cell, edit, save, and read the saved package back.

// A broken promise found while exercising a workbook that the engine accepted.
struct Fault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr const char* kEditText = "編集確認\n二行目";
constexpr const char* kAddedSheet = "追加された表";

void readEverything(Workbook& wb) {
    (void)wb.activeSheetName();
    (void)wb.hasUnsavedChanges();
    for (const std::string& name : wb.sheetNames()) {
        Worksheet* ws = wb.findSheet(name);
        if (!ws) continue;  // not a worksheet
        ws->forEachCell([&](int r, int c, const CellValue& v) {
            if (!(ws->value(r, c) == v))
                throw Fault("cell " + cellReference(r, c) + " reads differently twice");
            (void)ws->text(r, c);
            (void)ws->format(r, c);
        });
        if (std::optional<Area> used = ws->usedArea()) {
            // The used area, bounded: a merge over the whole sheet must not make the test crawl.
            for (int r = used->top; r <= std::min(used->bottom, used->top + 40); ++r)
                for (int c = used->left; c <= std::min(used->right, used->left + 20); ++c) {
                    (void)ws->value(r, c).asText();
                    (void)ws->format(r, c);
                    (void)ws->mergedAreaAt(r, c);
                }
        }
        for (int c = 1; c <= 30; ++c) (void)ws->columnWidth(c), (void)ws->columnHidden(c);
        for (int r = 1; r <= 30; ++r) (void)ws->rowHeight(r), (void)ws->rowHidden(r);
        (void)ws->pageBreakRows();
        (void)ws->mergedAreas();
        (void)ws->maxDigitWidth();
        (void)ws->tabSelected();
    }
}

void writeFileBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// Throws what the engine throws; a workbook it accepted must also take the edits, save, and
// read back with them (Fault otherwise).
void exercise(const std::string& bytes, const fs::path& file) {
    std::unique_ptr<Workbook> wb;
    if (file.empty()) {
        wb = Workbook::fromBytes(bytes);
    } else {
        writeFileBytes(file, bytes);
        wb = Workbook::open(file);
    }
    readEverything(*wb);

    // Only when the engine read every sheet can it be held to the saved package reading back
    // with the edits: a part it never looked at may be as damaged after the save as before.
    bool everySheetRead = true;
    for (const std::string& name : wb->sheetNames())
        everySheetRead &= wb->findSheet(name) != nullptr;

    Worksheet& added = wb->addSheet(kAddedSheet);
    added.setText(6, 6, "追加");  // away from the cells edited below, in case it is the target
    Worksheet* target = nullptr;
    for (const std::string& name : wb->sheetNames())
        if ((target = wb->findSheet(name))) break;
    if (!target) throw Fault("the sheet just added cannot be found");
    const std::string edited = target->name();
    // The merge first: merging keeps only the upper-left value of what it absorbs.
    target->merge("E1:F2");
    target->setText(1, 1, kEditText);
    target->setNumber(2, 1, 3.5);
    target->setFont("A1:B2", FontChange{.name = "MS P明朝", .bold = true, .colorIndex = 3});
    target->setBorder("A1:B2", xl::EdgeBottom, BorderChange{xl::Continuous, xl::Thick, 25});
    target->setHorizontalAlignment("A1", xl::HAlignDistributed);
    target->setColumnWidth("A:B", 15);
    target->setRowHeight("1:1", 30);
    target->addPageBreakBefore(3);
    wb->activate(edited);

    std::string saved;
    if (file.empty()) {
        saved = wb->serialize();
    } else {
        wb->save();
        saved = readWholeFile(file);
    }

    std::unique_ptr<Workbook> again;
    try {
        again = Workbook::fromBytes(saved);
        readEverything(*again);
    } catch (const WorkbookError& e) {
        if (!everySheetRead) throw;
        throw Fault(std::string("the package just saved cannot be read again: ") + e.what());
    }
    if (!everySheetRead) return;
    Worksheet* ws = again->findSheet(edited);
    if (!ws) throw Fault("sheet \"" + edited + "\" is gone after saving");
    if (ws->text(1, 1) != kEditText)
        throw Fault("A1 of \"" + edited + "\" reads \"" + ws->text(1, 1) + "\" after saving");
    if (!(ws->value(2, 1) == CellValue::number(3.5)))
        throw Fault("A2 lost its number after saving");
    const CellFormat a1 = ws->format(1, 1);
    if (!a1.font.bold || a1.font.name != "MS P明朝" || a1.horizontal != xl::HAlignDistributed)
        throw Fault("A1 lost its font or alignment after saving");
    const BorderLine bottom = ws->format(2, 2).edge(xl::EdgeBottom);
    if (bottom.weight != xl::Thick || bottom.colorIndex != 25)
        throw Fault("B2 lost its bottom border after saving");
    if (!ws->mergedAreaAt(2, 6)) throw Fault("the merge E1:F2 is gone after saving");
    std::vector<int> breaks = ws->pageBreakRows();
    if (std::find(breaks.begin(), breaks.end(), 3) == breaks.end())
        throw Fault("the page break before row 3 is gone");
    Worksheet* addedAgain = again->findSheet(kAddedSheet);
    if (!addedAgain || addedAgain->text(6, 6) != "追加")
        throw Fault("the added sheet is gone after saving");
    if (again->activeSheetName() != edited)
        throw Fault("the active sheet is not \"" + edited + "\" after saving");
}

// ---------------------------------------------------------------------------------------------
// Running tries in child processes.

struct Outcome {
    // 'O' accepted, edited and saved; 'W' refused with a WorkbookError; 'X' another exception;
    // 'F' accepted but the promise of exercise() broken; 'C' crashed; 'T' no answer in time.
    char kind = '?';
    std::string text;
};

struct Case {
    std::string label;
    std::string bytes;
    bool viaFile = false;  // Workbook::open on a file rather than fromBytes
};

using Body = std::function<void(const Case&, const fs::path& scratchFile)>;

std::string typeName(const std::exception& e) {
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status);
    std::string out = status == 0 && name ? name : typeid(e).name();
    std::free(name);
    return out;
}

Outcome guarded(const std::function<void()>& body) {
    try {
        body();
        return {'O', ""};
    } catch (const Fault& f) {
        return {'F', f.what()};
    } catch (const WorkbookError& e) {
        return {'W', e.what()};
    } catch (const std::exception& e) {
        return {'X', typeName(e) + ": " + e.what()};
    } catch (...) {
        return {'X', "an exception of unknown type"};
    }
}

void writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ::_exit(3);
        done += static_cast<size_t>(n);
    }
}

void sendRecord(int fd, std::uint32_t index, char kind, const std::string& text) {
    std::string record(9, '\0');
    std::memcpy(record.data(), &index, 4);
    record[4] = kind;
    std::uint32_t length = static_cast<std::uint32_t>(text.size());
    std::memcpy(record.data() + 5, &length, 4);
    writeAll(fd, record + text);
}

std::string describeStatus(int status) {
    if (WIFSIGNALED(status))
        return std::string("killed by signal ") + ::strsignal(WTERMSIG(status));
    if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
    return "stopped";
}

// Generous for a few kilobytes: the engine may even allocate the 1 GB a header claims.
constexpr rlim_t kChildAddressSpace = 6ull << 30;

// Runs the body on every case, in child processes. A case that crashes or takes longer than
// `limit` is charged to that case and the next child goes on with the case after it.
std::vector<Outcome> runCases(const std::vector<Case>& cases, const fs::path& scratch,
                              const Body& body,
                              std::chrono::milliseconds limit = std::chrono::seconds(10),
                              rlim_t addressSpace = kChildAddressSpace) {
    std::vector<Outcome> outcomes(cases.size());
    size_t next = 0;
    while (next < cases.size()) {
        int fds[2];
        if (::pipe(fds) != 0) throw std::runtime_error("pipe");
        std::fflush(nullptr);
        pid_t pid = ::fork();
        if (pid < 0) throw std::runtime_error("fork");
        if (pid == 0) {
            ::close(fds[0]);
            rlimit memory{addressSpace, addressSpace};
            ::setrlimit(RLIMIT_AS, &memory);
            rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            for (size_t i = next; i < cases.size(); ++i) {
                sendRecord(fds[1], static_cast<std::uint32_t>(i), 'B', "");
                const fs::path file = scratch / ("case-" + std::to_string(i) + ".xlsx");
                Outcome o = guarded([&] { body(cases[i], cases[i].viaFile ? file : fs::path()); });
                std::error_code ec;
                fs::remove(file, ec);
                sendRecord(fds[1], static_cast<std::uint32_t>(i), o.kind, o.text);
            }
            ::close(fds[1]);
            ::_exit(0);
        }
        ::close(fds[1]);
        std::string buffer;
        long current = -1;
        Clock::time_point started = Clock::now();
        bool timedOut = false;
        for (;;) {
            auto spent =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
            int wait = static_cast<int>(std::max<long long>(0, (limit - spent).count()));
            pollfd p{fds[0], POLLIN, 0};
            int ready = ::poll(&p, 1, wait);
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0) {
                ::kill(pid, SIGKILL);
                timedOut = true;
                break;
            }
            char chunk[8192];
            ssize_t n = ::read(fds[0], chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            buffer.append(chunk, static_cast<size_t>(n));
            while (buffer.size() >= 9) {
                std::uint32_t index, length;
                std::memcpy(&index, buffer.data(), 4);
                std::memcpy(&length, buffer.data() + 5, 4);
                if (buffer.size() < 9 + static_cast<size_t>(length)) break;
                char kind = buffer[4];
                if (kind == 'B') {
                    current = index;
                    started = Clock::now();
                } else {
                    outcomes[index] = {kind, buffer.substr(9, length)};
                    next = index + 1;
                    current = -1;
                }
                buffer.erase(0, 9 + static_cast<size_t>(length));
            }
        }
        ::close(fds[0]);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (current < 0 && next < cases.size())
            current = static_cast<long>(next);  // died between cases
        if (current >= 0) {
            outcomes[static_cast<size_t>(current)] =
                timedOut ? Outcome{'T', "no answer within " + std::to_string(limit.count()) + " ms"}
                         : Outcome{'C', describeStatus(status)};
            next = static_cast<size_t>(current) + 1;
        }
    }
    return outcomes;
}

void exerciseCase(const Case& c, const fs::path& file) { exercise(c.bytes, file); }

// True when the text holds at least one kana or kanji (UTF-8).
bool isJapanese(const std::string& s) {
    for (size_t i = 0; i + 2 < s.size(); ++i) {
        unsigned a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]),
                 c = static_cast<unsigned char>(s[i + 2]);
        if ((a & 0xF0) != 0xE0 || (b & 0xC0) != 0x80 || (c & 0xC0) != 0x80) continue;
        unsigned cp = ((a & 0x0F) << 12) | ((b & 0x3F) << 6) | (c & 0x3F);
        if ((cp >= 0x3040 && cp <= 0x30FF) || (cp >= 0x4E00 && cp <= 0x9FFF) ||
            (cp >= 0xFF01 && cp <= 0xFF9F))
            return true;
    }
    return false;
}

std::string shown(const Outcome& o) {
    switch (o.kind) {
        case 'O':
            return "accepted";
        case 'W':
            return "WorkbookError \"" + o.text + "\"";
        case 'X':
            return "another exception: " + o.text;
        case 'F':
            return "accepted, but " + o.text;
        case 'C':
            return "crashed: " + o.text;
        case 'T':
            return "hung: " + o.text;
    }
    return "no outcome";
}

struct Tally {
    int accepted = 0;
    int refused = 0;
    int bad = 0;
};

// Every outcome is an acceptance or a refusal in Japanese; anything else fails the test,
// reported against its input (at most a dozen reports per group, then a count).
Tally expectAcceptedOrRefused(const std::vector<Case>& cases, const std::vector<Outcome>& outcomes,
                              const std::string& group) {
    Tally t;
    for (size_t i = 0; i < cases.size(); ++i) {
        const Outcome& o = outcomes[i];
        // A refusal of a file on disk names it, whichever step of reading found the fault.
        const std::string file = "case-" + std::to_string(i) + ".xlsx";
        bool named = !cases[i].viaFile || o.text.find(file) != std::string::npos;
        bool fine = o.kind == 'O' || (o.kind == 'W' && isJapanese(o.text) && named);
        if (o.kind == 'O') ++t.accepted;
        if (o.kind == 'W') ++t.refused;
        if (fine) continue;
        if (t.bad++ < 12)
            ADD_FAILURE() << group << " / " << cases[i].label << ": " << shown(o)
                          << (o.kind == 'W' ? " (message without Japanese text or file name)" : "");
    }
    EXPECT_EQ(t.bad, 0) << group << ": " << t.bad << " of " << cases.size() << " inputs misbehaved";
    return t;
}

Tally runAndCheck(const std::vector<Case>& cases, const std::string& group,
                  std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    test::TempDir scratch;
    return expectAcceptedOrRefused(cases, runCases(cases, scratch.path(), exerciseCase, limit),
                                   group);
}

// ---------------------------------------------------------------------------------------------
// Damage.

// Values that break the assumptions of a reader: signs, overflow, non-numbers, markup, escapes.
const std::vector<std::string> kNastyValues = {"",
                                               "0",
                                               "-1",
                                               "-5",
                                               "1.5",
                                               "4294967296",
                                               "99999999999999999999",
                                               "1e308",
                                               "-1e308",
                                               "NaN",
                                               "inf",
                                               "XFD1048576",
                                               "XFD1048577",
                                               "XFE1",
                                               "A0",
                                               "1A",
                                               "AAAA1",
                                               "$A$1",
                                               "A1:XFD1048576",
                                               "A:XFD",
                                               "1:1048576",
                                               "&#0;",
                                               "&#x110000;",
                                               "&amp;",
                                               "&lt;",
                                               "&bogus;",
                                               "_x0000_",
                                               "_xD800_",
                                               "\xFF\xFE",
                                               "\xE3\x81",
                                               "rId999",
                                               "/",
                                               "../../../x.xml",
                                               "\"",
                                               "'",
                                               "<",
                                               ">",
                                               " ",
                                               "\t\n",
                                               std::string(300, '9')};

// One random change to a text: a flipped bit, a stray byte, a cut, a copy, or a nasty
// attribute or element value.
std::string mutate(std::string s, std::mt19937& rng, std::string& how) {
    auto pick = [&](size_t n) {
        return n == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, n - 1)(rng);
    };
    if (s.empty()) {
        how += " fill";
        return kNastyValues[pick(kNastyValues.size())];
    }
    switch (pick(7)) {
        case 0: {
            size_t at = pick(s.size());
            int bit = static_cast<int>(pick(8));
            s[at] = static_cast<char>(s[at] ^ (1 << bit));
            how += " flip@" + std::to_string(at) + ":" + std::to_string(bit);
            break;
        }
        case 1: {
            static const char stray[] = {'<', '>', '"', '\'', '&',  '/',    '=',
                                         '0', '9', '-', ':',  '\0', '\x80', '\xFF'};
            size_t at = pick(s.size());
            s[at] = stray[pick(sizeof stray)];
            how += " byte@" + std::to_string(at);
            break;
        }
        case 2: {
            size_t at = pick(s.size()), n = 1 + pick(std::min<size_t>(64, s.size() - at));
            s.erase(at, n);
            how += " cut@" + std::to_string(at) + "+" + std::to_string(n);
            break;
        }
        case 3: {
            size_t at = pick(s.size()), n = 1 + pick(std::min<size_t>(64, s.size() - at));
            s.insert(at, s.substr(at, n));
            how += " copy@" + std::to_string(at) + "+" + std::to_string(n);
            break;
        }
        case 4:
        case 5: {
            // A quoted attribute value.
            std::vector<size_t> starts;
            for (size_t at = s.find("=\""); at != std::string::npos; at = s.find("=\"", at + 1))
                starts.push_back(at + 2);
            if (starts.empty()) break;
            size_t start = starts[pick(starts.size())], end = s.find('"', start);
            if (end == std::string::npos) break;
            const std::string& value = kNastyValues[pick(kNastyValues.size())];
            s.replace(start, end - start, value);
            how += " attr@" + std::to_string(start);
            break;
        }
        case 6: {
            // The text of an element.
            std::vector<size_t> starts;
            for (size_t at = s.find('>'); at != std::string::npos; at = s.find('>', at + 1))
                if (at + 1 < s.size() && s[at + 1] != '<') starts.push_back(at + 1);
            if (starts.empty()) break;
            size_t start = starts[pick(starts.size())], end = s.find('<', start);
            if (end == std::string::npos) break;
            s.replace(start, end - start, kNastyValues[pick(kNastyValues.size())]);
            how += " text@" + std::to_string(start);
            break;
        }
    }
    return s;
}

std::vector<std::string> partNames() {
    std::vector<std::string> names;
    for (const Part& p : sampleParts()) names.push_back(p.name);
    return names;
}

// ---------------------------------------------------------------------------------------------

TEST(DamagedWorkbook, TheUndamagedSampleIsReadEditedAndSavedCleanly) {
    // Without this the damage below would prove nothing: the sample itself must be sound.
    auto wb = Workbook::fromBytes(samplePackage());
    EXPECT_EQ(wb->sheetNames(), (std::vector<std::string>{"組合せ", "名簿"}));
    Worksheet& ws = wb->sheet("組合せ");
    EXPECT_EQ(ws.text(1, 1), "一回戦");
    EXPECT_EQ(ws.text(1, 2), "山田 太郎\n(東高)");
    EXPECT_EQ(ws.value(2, 1), CellValue::number(42));
    EXPECT_EQ(ws.text(3, 1), "インライン");
    EXPECT_EQ(ws.text(4, 1), "太字と普通");
    EXPECT_TRUE(ws.format(1, 1).font.bold);
    EXPECT_EQ(ws.format(1, 1).horizontal, xl::HAlignDistributed);
    EXPECT_EQ(ws.format(1, 1).edge(xl::EdgeRight).weight, xl::Thick);
    EXPECT_EQ(ws.mergedAreas(), (std::vector<Area>{Area{4, 3, 4, 4}}));
    EXPECT_EQ(ws.pageBreakRows(), (std::vector<int>{3}));
    EXPECT_EQ(wb->sheet("名簿").value(1, 2), CellValue::number(7));

    std::vector<Case> cases = {{"sample in memory", samplePackage(), false},
                               {"sample as a file", samplePackage(), true}};
    test::TempDir scratch;
    std::vector<Outcome> outcomes = runCases(cases, scratch.path(), exerciseCase);
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(outcomes[i].kind, 'O') << cases[i].label << ": " << shown(outcomes[i]);
}

TEST(DamagedWorkbook, FilesThatAreNoWorkbookAreRefusedInJapanese) {
    test::TempDir dir;
    writeFileBytes(dir / "text.xlsx", "これはブックではありません。\nplain text\n");
    writeFileBytes(dir / "empty.xlsx", "");
    writeFileBytes(dir / "png.xlsx", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    fs::create_directory(dir / "folder.xlsx");
    writeFileBytes(dir / "plain-file", "x");
    writeFileBytes(dir / "other.zip", zipParts({{"hello.txt", "こんにちは"}}));
    writeFileBytes(dir / "bare.zip", zipParts({sampleParts()[0], sampleParts()[1]}));

    const std::vector<std::pair<std::string, fs::path>> paths = {
        {"a text file", dir / "text.xlsx"},
        {"an empty file", dir / "empty.xlsx"},
        {"an image", dir / "png.xlsx"},
        {"a folder", dir / "folder.xlsx"},
        {"a missing file", dir / "無い.xlsx"},
        {"a path below a regular file", dir / "plain-file" / "x.xlsx"},
        {"a zip of other things", dir / "other.zip"},
        {"a zip with only the content types and package relationships", dir / "bare.zip"},
    };
    std::vector<Case> cases;  // here a case's bytes are the path to open
    for (const auto& [label, path] : paths)
        cases.push_back({label + " (" + path.filename().string() + ")", path.string()});
    std::vector<Outcome> outcomes = runCases(cases, dir.path(), [](const Case& c, const fs::path&) {
        auto wb = Workbook::open(fs::path(c.bytes));
        readEverything(*wb);
    });
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(outcomes[i].kind, 'W') << cases[i].label << ": " << shown(outcomes[i]);
        if (outcomes[i].kind == 'W') {
            EXPECT_TRUE(isJapanese(outcomes[i].text))
                << cases[i].label << ": " << shown(outcomes[i]);
        }
    }
    // The same bytes handed over in memory.
    std::vector<Case> inMemory = {
        {"no bytes", ""},
        {"text", "これはブックではありません"},
        {"one byte", "P"},
        {"a zip signature only", std::string("PK\x03\x04", 4)},
        {"an empty zip directory", std::string("PK\x05\x06", 4) + std::string(18, '\0')}};
    outcomes = runCases(inMemory, dir.path(), exerciseCase);
    for (size_t i = 0; i < inMemory.size(); ++i) {
        EXPECT_EQ(outcomes[i].kind, 'W') << inMemory[i].label << ": " << shown(outcomes[i]);
        if (outcomes[i].kind == 'W') {
            EXPECT_TRUE(isJapanese(outcomes[i].text))
                << inMemory[i].label << ": " << shown(outcomes[i]);
        }
    }
}

TEST(DamagedWorkbook, APackageCutShortAtAnyLengthIsRefused) {
    const std::string& whole = samplePackage();
    std::vector<Case> cases;
    for (size_t n = 0; n < whole.size(); ++n)
        cases.push_back(
            {"first " + std::to_string(n) + " of " + std::to_string(whole.size()) + " bytes",
             whole.substr(0, n), n % 7 == 0});
    test::TempDir scratch;
    std::vector<Outcome> outcomes = runCases(cases, scratch.path(), exerciseCase);
    Tally t = expectAcceptedOrRefused(cases, outcomes, "truncated");
    // Without its directory at the end a zip cannot be read: nothing cut short may pass.
    EXPECT_EQ(t.accepted, 0);
}

TEST(DamagedWorkbook, RandomByteFlipsAnywhereInThePackage) {
    const std::string& whole = samplePackage();
    const size_t directory = zipEntries(whole).front().central;
    std::mt19937 rng(20240611);
    std::vector<Case> cases;
    for (int i = 0; i < 4000; ++i) {
        std::string bytes = whole;
        std::string how;
        int flips = 1 + static_cast<int>(rng() % 4);
        // Half of the tries aim at the headers and directory, where a flip is not caught by a CRC.
        bool headers = i % 2 == 1;
        for (int k = 0; k < flips; ++k) {
            size_t at =
                headers ? directory + rng() % (whole.size() - directory) : rng() % whole.size();
            unsigned char mask = static_cast<unsigned char>(1u << (rng() % 8));
            if (rng() % 4 == 0) mask = static_cast<unsigned char>(rng() | 1);
            bytes[at] = static_cast<char>(bytes[at] ^ mask);
            how += " " + std::to_string(at) + "^" + std::to_string(mask);
        }
        cases.push_back({"seed 20240611 #" + std::to_string(i) + ":" + how, bytes, i % 10 == 0});
    }
    Tally t = runAndCheck(cases, "byte flips", std::chrono::seconds(5));
    EXPECT_GT(t.refused, 0);
}

TEST(DamagedWorkbook, RandomDamageInsideThePartsOfASoundZip) {
    // The zip is rebuilt around the damaged text, so the damage reaches the XML readers.
    const std::vector<std::string> names = partNames();
    std::mt19937 rng(7051);
    std::vector<Case> cases;
    for (int i = 0; i < 5000; ++i) {
        Parts parts = sampleParts();
        std::string how;
        int changes = 1 + static_cast<int>(rng() % 3);
        for (int k = 0; k < changes; ++k) {
            Part& p = parts[rng() % parts.size()];
            how += " " + p.name;
            p.data = mutate(p.data, rng, how);
        }
        cases.push_back(
            {"seed 7051 #" + std::to_string(i) + ":" + how, zipParts(parts), i % 10 == 0});
    }
    Tally t = runAndCheck(cases, "damaged parts", std::chrono::seconds(5));
    // Some damage is harmless and some is fatal; both paths must have been taken.
    EXPECT_GT(t.accepted, 100);
    EXPECT_GT(t.refused, 100);
}

TEST(DamagedWorkbook, GarbageInPlaceOfEachPart) {
    std::vector<Case> cases;
    std::string nested;
    for (int i = 0; i < 200000; ++i) nested += "<a>";
    for (int i = 0; i < 200000; ++i) nested += "</a>";
    for (const std::string& name : partNames()) {
        Parts sample = sampleParts();
        const std::string original = partNamed(sample, name).data;
        const size_t rootEnd = original.rfind("</");
        std::string bomb =
            "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
            "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d "
            "\"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
            "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f "
            "\"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]>";
        const std::vector<std::pair<std::string, std::string>> garbage = {
            {"nothing", ""},
            {"plain text", "これはXMLではありません"},
            {"binary", std::string("\0\x01\x02\xFF\xFE\x80", 6)},
            {"a lone <", "<"},
            {"an unclosed root", "<worksheet>"},
            {"a foreign root", "<foo xmlns=\"urn:x\"><bar/></foo>"},
            {"only a declaration", kXmlDecl},
            {"the first half", original.substr(0, original.size() / 2)},
            {"the part twice", original + original},
            {"UTF-16 with a byte order mark", std::string("\xFF\xFE<\0a\0/\0>\0", 10)},
            {"NUL bytes", std::string(1000, '\0')},
            {"an entity bomb before the root", bomb + original.substr(kXmlDecl.size())},
            {"an entity bomb used in the root", bomb + "<x>&f;&f;&f;&f;&f;</x>"},
            {"200000 nested elements inside the root",
             original.substr(0, rootEnd) + nested + original.substr(rootEnd)},
            {"mismatched tags",
             original.substr(0, rootEnd) + "<a><b></a></b>" + original.substr(rootEnd)},
        };
        for (size_t g = 0; g < garbage.size(); ++g) {
            Parts parts = sampleParts();
            partNamed(parts, name).data = garbage[g].second;
            cases.push_back({name + ": " + garbage[g].first, zipParts(parts), g % 2 == 1});
        }
    }
    runAndCheck(cases, "garbage parts", std::chrono::seconds(20));
}

TEST(DamagedWorkbook, EachPartMissing) {
    std::vector<Case> cases;
    std::map<std::string, size_t> caseOf;
    for (const std::string& name : partNames()) {
        Parts parts = sampleParts();
        std::erase_if(parts, [&](const Part& p) { return p.name == name; });
        caseOf[name] = cases.size();
        cases.push_back({"without " + name, zipParts(parts), cases.size() % 2 == 1});
    }
    test::TempDir scratch;
    std::vector<Outcome> outcomes = runCases(cases, scratch.path(), exerciseCase);
    expectAcceptedOrRefused(cases, outcomes, "missing parts");
    // Parts a workbook may do without.
    EXPECT_EQ(outcomes[caseOf["docProps/core.xml"]].kind, 'O')
        << shown(outcomes[caseOf["docProps/core.xml"]]);
    EXPECT_EQ(outcomes[caseOf["xl/styles.xml"]].kind, 'O')
        << shown(outcomes[caseOf["xl/styles.xml"]]);
    // Parts without which there is no workbook, or no text for the cells that point into it.
    for (const char* vital : {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml",
                              "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"})
        EXPECT_EQ(outcomes[caseOf[vital]].kind, 'W')
            << vital << ": " << shown(outcomes[caseOf[vital]]);
}

TEST(DamagedWorkbook, AbsurdCellReferencesAndIndexes) {
    const std::string sheet = "xl/worksheets/sheet1.xml";
    const std::vector<std::tuple<std::string, std::string, std::string>> edits = {
        // Cell references.
        {sheet, "r=\"A2\"", "r=\"XFD99999999\""},
        {sheet, "r=\"A2\"", "r=\"A0\""},
        {sheet, "r=\"A2\"", "r=\"\""},
        {sheet, "r=\"A2\"", "r=\"1A\""},
        {sheet, "r=\"A2\"", "r=\"-5\""},
        {sheet, "r=\"A2\"", "r=\"XFE2\""},
        {sheet, "r=\"A2\"", "r=\"AAAA2\""},
        {sheet, "r=\"A2\"", "r=\"A\""},
        {sheet, "r=\"A2\"", "r=\"A 2\""},
        {sheet, "r=\"A2\"", "r=\"a2\""},
        {sheet, "r=\"A2\"", "r=\"A02\""},
        {sheet, "r=\"A2\"", "r=\"A1048577\""},
        {sheet, "r=\"A2\"", "r=\"A99999999999999999999\""},
        {sheet, "r=\"A2\"", "r=\"B2\""},  // two cells at B2
        {sheet, "r=\"C2\"", "r=\"A2\""},  // out of order
        {sheet, "<c r=\"C3\" t=\"e\">",
         "<c r=\"C3\" t=\"e\" foo='a\"b'>"},  // a quote, quoted with apostrophes
        {sheet, "<c r=\"A2\">", "<c>"},
        {sheet, "<c r=\"B2\" s=\"2\">", "<c s=\"2\">"},
        // Row numbers.
        {sheet, "<row r=\"2\">", "<row r=\"0\">"},
        {sheet, "<row r=\"2\">", "<row r=\"-5\">"},
        {sheet, "<row r=\"2\">", "<row r=\"\">"},
        {sheet, "<row r=\"2\">", "<row r=\"zwei\">"},
        {sheet, "<row r=\"2\">", "<row r=\"1048577\">"},
        {sheet, "<row r=\"2\">", "<row r=\"99999999999999999999\">"},
        {sheet, "<row r=\"2\">", "<row r=\"7\">"},  // cells say row 2
        {sheet, "<row r=\"2\">", "<row>"},
        {sheet, "<row r=\"3\">", "<row r=\"1\">"},  // row 1 again
        {sheet, "<row r=\"4\">", "<row r=\"1048576\">"},
        // Shared-string indexes.
        {sheet, "<v>0</v></c><c r=\"B1\"", "<v>3</v></c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "<v>999999999</v></c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "<v>-1</v></c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "<v>eins</v></c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "<v></v></c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "<v>1.5</v></c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "<v>99999999999999999999</v></c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "<v>2147483648</v></c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "<v> 0 </v></c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "</c><c r=\"B1\""},
        {sheet, "<v>0</v></c><c r=\"B1\"", "<f>X</f><v>7</v></c><c r=\"B1\""},
        // Style indexes and other values.
        {sheet, "<c r=\"A2\">", "<c r=\"A2\" s=\"999999\">"},
        {sheet, "<c r=\"A2\">", "<c r=\"A2\" s=\"-1\">"},
        {sheet, "<c r=\"A2\">", "<c r=\"A2\" s=\"4294967296\">"},
        {sheet, "<c r=\"A2\">", "<c r=\"A2\" s=\"zwei\">"},
        {sheet, "<c r=\"A2\">", "<c r=\"A2\" t=\"zzz\">"},
        {sheet, "<v>42</v>", "<v>1e999</v>"},
        {sheet, "<v>42</v>", "<v>NaN</v>"},
        {sheet, "<v>42</v>", "<v>&#0;</v>"},
        {sheet, "t=\"b\"><v>1</v>", "t=\"b\"><v>2</v>"},
        {sheet, "<row r=\"2\">", "<row r=\"2\" s=\"999999\" customFormat=\"1\" ht=\"-3\">"},
        // Columns, merges, breaks, sheet format.
        {sheet, "min=\"1\" max=\"2\"", "min=\"0\" max=\"2\""},
        {sheet, "min=\"1\" max=\"2\"", "min=\"1\" max=\"16385\""},
        {sheet, "min=\"1\" max=\"2\"", "min=\"5\" max=\"2\""},
        {sheet, "min=\"1\" max=\"2\"", "min=\"-1\" max=\"-1\""},
        {sheet, "min=\"1\" max=\"2\"", "min=\"1\" max=\"16384\" style=\"999999\""},
        {sheet, "width=\"12.625\"", "width=\"-1\""},
        {sheet, "width=\"12.625\"", "width=\"1e308\""},
        {sheet, "ref=\"C4:D4\"", "ref=\"A1:XFD1048576\""},
        {sheet, "ref=\"C4:D4\"", "ref=\"unsinn\""},
        {sheet, "ref=\"C4:D4\"", "ref=\"\""},
        {sheet, "ref=\"C4:D4\"", "ref=\"D4:C4\""},
        {sheet, "ref=\"C4:D4\"", "ref=\"C4:C4\""},
        {sheet, "ref=\"C4:D4\"", "ref=\"A:A\""},
        {sheet, "ref=\"C4:D4\"", "ref=\"C4:XFE4\""},
        {sheet, "<brk id=\"2\"", "<brk id=\"0\""},
        {sheet, "<brk id=\"2\"", "<brk id=\"1048576\""},
        {sheet, "<brk id=\"2\"", "<brk id=\"-1\""},
        {sheet, "<brk id=\"2\"", "<brk id=\"zwei\""},
        {sheet, "defaultRowHeight=\"13.5\"",
         "defaultRowHeight=\"1e308\" baseColWidth=\"-4\" defaultColWidth=\"NaN\""},
        // Styles pointing nowhere.
        {"xl/styles.xml", "fontId=\"1\" fillId=\"0\" borderId=\"1\"",
         "fontId=\"99\" fillId=\"0\" borderId=\"-1\""},
        {"xl/styles.xml", "<sz val=\"14\"/>", "<sz val=\"-1e308\"/>"},
        {"xl/styles.xml", "<sz val=\"14\"/>", "<sz val=\"NaN\"/>"},
        {"xl/styles.xml", "<sz val=\"11\"/>", "<sz val=\"0\"/>"},
        {"xl/styles.xml", "<color indexed=\"10\"/>", "<color indexed=\"-99999\"/>"},
        {"xl/styles.xml", "<color rgb=\"FFFF0000\"/>", "<color rgb=\"zz\"/>"},
        {"xl/styles.xml", "<right style=\"thick\">", "<right style=\"unerhört\">"},
        // Workbook and relationships pointing nowhere or at the wrong thing.
        {"xl/workbook.xml", "r:id=\"rId2\"", "r:id=\"rId1\""},
        {"xl/workbook.xml", "r:id=\"rId2\"", "r:id=\"rId99\""},
        {"xl/workbook.xml", "r:id=\"rId2\"", "r:id=\"rId3\""},
        {"xl/workbook.xml", "name=\"名簿\"", "name=\"組合せ\""},
        {"xl/workbook.xml", "name=\"名簿\"", "name=\"\""},
        {"xl/workbook.xml", "activeTab=\"0\"", "activeTab=\"-7\""},
        {"xl/workbook.xml", "activeTab=\"0\"", "activeTab=\"99999999999\""},
        {"xl/_rels/workbook.xml.rels", "Target=\"worksheets/sheet2.xml\"",
         "Target=\"../../../../etc/passwd\""},
        {"xl/_rels/workbook.xml.rels", "Target=\"worksheets/sheet2.xml\"", "Target=\"styles.xml\""},
        {"xl/_rels/workbook.xml.rels", "Target=\"worksheets/sheet2.xml\"", "Target=\"\""},
        {"xl/_rels/workbook.xml.rels", "Target=\"worksheets/sheet2.xml\"", "Target=\"/\""},
        {"xl/_rels/workbook.xml.rels", "Target=\"worksheets/sheet2.xml\"",
         "Target=\"worksheets/sheet2.xml\" TargetMode=\"External\""},
        {"xl/_rels/workbook.xml.rels", "Target=\"sharedStrings.xml\"", "Target=\"styles.xml\""},
        {"_rels/.rels", "Target=\"xl/workbook.xml\"", "Target=\"xl/worksheets/sheet1.xml\""},
        {"_rels/.rels", "Target=\"xl/workbook.xml\"", "Target=\"[Content_Types].xml\""},
    };
    std::vector<Case> cases;
    for (const auto& [part, from, to] : edits)
        cases.push_back({part + ": " + from + " -> " + to, zipParts(withReplaced(part, from, to)),
                         cases.size() % 3 == 0});
    // Well-formed markup of other writers: the same namespace under two prefixes, and the
    // engine's own placeholder text inside a comment.
    const std::string mainNs = kMainNs;
    cases.push_back({"sheetData under another prefix than the root's",
                     zipParts(withReplaced(sheet, {{"<worksheet xmlns=",
                                                    "<worksheet xmlns:x=\"" + mainNs + "\" xmlns="},
                                                   {"<sheetData>", "<x:sheetData>"},
                                                   {"</sheetData>", "</x:sheetData>"}}))});
    cases.push_back({"a prefixed root around unprefixed children",
                     zipParts(withReplaced(sheet, {{"<worksheet xmlns=", "<x:worksheet xmlns:x=\"" +
                                                                             mainNs + "\" xmlns="},
                                                   {"</worksheet>", "</x:worksheet>"}}))});
    cases.push_back(
        {"prefixed cells in an unprefixed row",
         zipParts(withReplaced(
             sheet,
             {{"<worksheet xmlns=", "<worksheet xmlns:x=\"" + mainNs + "\" xmlns="},
              {"<c r=\"B3\" t=\"b\"><v>1</v></c>", "<x:c r=\"B3\" t=\"b\"><x:v>1</x:v></x:c>"}}))});
    cases.push_back({"a comment holding a processing instruction's text",
                     zipParts(withReplaced(sheet, "<sheetData>",
                                           "<!-- <?tombra-sheet-data?> --><sheetData>"))});
    runAndCheck(cases, "absurd values");
}

TEST(DamagedWorkbook, AStyleIndexBeyondTheListReadsAsTheDefaultFormat) {
    auto wb = Workbook::fromBytes(zipParts(
        withReplaced("xl/worksheets/sheet1.xml", "<c r=\"A2\">", "<c r=\"A2\" s=\"999999\">")));
    Worksheet& ws = wb->sheet("組合せ");
    EXPECT_EQ(ws.value(2, 1), CellValue::number(42));
    const CellFormat shownFormat = ws.format(2, 1), plain = ws.format(9, 9);
    EXPECT_EQ(shownFormat.font, plain.font);
    EXPECT_EQ(shownFormat.edges, plain.edges);
    EXPECT_EQ(shownFormat.horizontal, plain.horizontal);
    // Formatting the cell builds on the default format and saves a valid index.
    ws.setFont("A2", FontChange{.bold = true});
    auto again = Workbook::fromBytes(wb->serialize());
    const CellFormat after = again->sheet("組合せ").format(2, 1);
    EXPECT_TRUE(after.font.bold);
    EXPECT_EQ(after.font.name, plain.font.name);
    EXPECT_EQ(again->sheet("組合せ").value(2, 1), CellValue::number(42));
}

// Damage the engine accepts must not make it lose what is written afterwards.

// The workbook with every sheet read, or nullptr when the engine refuses it (which is fine).
std::unique_ptr<Workbook> acceptedOrNull(const std::string& bytes) {
    try {
        auto wb = Workbook::fromBytes(bytes);
        readEverything(*wb);
        return wb;
    } catch (const WorkbookError& e) {
        EXPECT_TRUE(isJapanese(e.what())) << e.what();
        return nullptr;
    }
}

TEST(DamagedWorkbookRoundTrip, AStylesRelationshipAimedAtASheetDoesNotOverwriteThatSheet) {
    auto wb =
        acceptedOrNull(zipParts(withReplaced("xl/_rels/workbook.xml.rels", "Target=\"styles.xml\"",
                                             "Target=\"worksheets/sheet1.xml\"")));
    if (!wb) return;
    wb->sheet("組合せ").setText(1, 1, "決勝");
    wb->sheet("組合せ").setFont("A1", FontChange{.bold = true});
    auto again = Workbook::fromBytes(wb->serialize());
    EXPECT_EQ(again->sheet("組合せ").text(1, 1), "決勝");
    EXPECT_TRUE(again->sheet("組合せ").format(1, 1).font.bold);
}

TEST(DamagedWorkbookRoundTrip, ANewSheetDoesNotTakeTheIdOfASheetWhoseRelationshipIsMissing) {
    // "予備" names relationship rId5, which the relationships part lacks.
    auto wb = acceptedOrNull(zipParts(
        withReplaced("xl/workbook.xml", "<sheet name=\"名簿\" sheetId=\"2\" r:id=\"rId2\"/>",
                     "<sheet name=\"名簿\" sheetId=\"2\" r:id=\"rId2\"/>"
                     "<sheet name=\"予備\" sheetId=\"3\" r:id=\"rId5\"/>")));
    if (!wb) return;
    EXPECT_EQ(wb->findSheet("予備"), nullptr);
    wb->addSheet(kAddedSheet).setText(1, 1, "追加");
    auto again = Workbook::fromBytes(wb->serialize());
    ASSERT_NE(again->findSheet(kAddedSheet), nullptr);
    EXPECT_EQ(again->findSheet(kAddedSheet)->text(1, 1), "追加");
    // Otherwise two tabs show one part, and a save of either overwrites the other.
    EXPECT_EQ(again->findSheet("予備"), nullptr)
        << "the sheet without a relationship turned into the new sheet";
}

TEST(DamagedWorkbookRoundTrip, APrefixDeclaredTwiceDoesNotHideANewSheet) {
    auto wb = acceptedOrNull(
        zipParts(withReplaced("xl/workbook.xml", std::string("xmlns:r=\"") + kRelNs + "\"",
                              std::string("xmlns:r=\"urn:falsch\" xmlns:r=\"") + kRelNs + "\"")));
    if (!wb) return;
    wb->addSheet(kAddedSheet).setText(1, 1, "追加");
    auto again = Workbook::fromBytes(wb->serialize());
    ASSERT_NE(again->findSheet(kAddedSheet), nullptr)
        << "the sheet just added cannot be found after saving";
    EXPECT_EQ(again->findSheet(kAddedSheet)->text(1, 1), "追加");
}

TEST(DamagedWorkbookRoundTrip, QuotesInApostropheQuotedValuesOfUntouchedCellsSurviveASave) {
    // Well-formed XML: a value quoted with apostrophes may hold '"'. The cells are kept as read,
    // so the quote must come out escaped.
    const std::string sheet = "xl/worksheets/sheet1.xml";
    for (const auto& [label, from, to] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"type of a cell", "<c r=\"C3\" t=\"e\">", "<c r='C3' t='e\"x'>"},
             {"attribute of a formula", "<f>A2*2</f>", "<f t='x\"y'>A2*2</f>"},
             {"attribute of an inline text", "<is><t>", "<is><t foo='a\"b'>"},
             {"attribute of a cell", "<c r=\"C3\" t=\"e\">", "<c r=\"C3\" t=\"e\" foo='a\"b'>"}}) {
        SCOPED_TRACE(label);
        auto wb = acceptedOrNull(zipParts(withReplaced(sheet, from, to)));
        if (!wb) continue;
        const CellValue c2 = wb->sheet("組合せ").value(2, 3), a3 = wb->sheet("組合せ").value(3, 1);
        wb->sheet("組合せ").setText(
            1, 1, "決勝");  // the sheet is written again; C2, C3 and A3 are not touched
        std::unique_ptr<Workbook> again;
        try {
            again = Workbook::fromBytes(wb->serialize());
            readEverything(*again);
        } catch (const WorkbookError& e) {
            ADD_FAILURE() << "the saved package cannot be read again: " << e.what();
            continue;
        }
        EXPECT_EQ(again->sheet("組合せ").text(1, 1), "決勝");
        EXPECT_EQ(again->sheet("組合せ").value(2, 3), c2);
        EXPECT_EQ(again->sheet("組合せ").value(3, 1), a3);
    }
}

TEST(DamagedWorkbook, HugeDeclaredSizes) {
    std::vector<Case> cases;
    const std::string& whole = samplePackage();
    const std::vector<ZipEntry> entries = zipEntries(whole);
    // Sizes in the zip headers (central and local alike, so the two still agree).
    for (const ZipEntry& e : entries) {
        for (std::uint32_t size : {0x40000001u, 0x7FFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
            std::string bytes = whole;
            put32(bytes, e.central + 24, size);
            put32(bytes, e.local + 22, size);
            cases.push_back({e.name + ": inflated size " + std::to_string(size), bytes, false});
        }
        for (std::uint32_t size : {e.compressedSize + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
            std::string bytes = whole;
            put32(bytes, e.central + 20, size);
            put32(bytes, e.local + 18, size);
            cases.push_back({e.name + ": compressed size " + std::to_string(size), bytes, false});
        }
        std::string longName = whole;
        put16(longName, e.central + 28, 0xFFFF);
        cases.push_back({e.name + ": name length 65535", longName, false});
        std::string longExtra = whole;
        put16(longExtra, e.central + 30, 0xFFFF);
        put16(longExtra, e.local + 28, 0xFFFF);
        cases.push_back({e.name + ": extra field length 65535", longExtra, false});
    }
    const size_t eocd = endOfCentralDirectory(whole);
    for (auto [offset, value, label] : std::vector<std::tuple<size_t, std::uint32_t, std::string>>{
             {8, 0xFFFF, "entries on this disk"},
             {10, 0xFFFF, "entries in total"},
             {12, 0x7FFFFFFF, "directory size"},
             {16, 0x7FFFFFFF, "directory offset"},
             {16, 0xFFFFFFFF, "directory offset (zip64 marker)"},
             {20, 0xFFFF, "comment length"}}) {
        std::string bytes = whole;
        if (offset == 8 || offset == 10 || offset == 20)
            put16(bytes, eocd + offset, static_cast<std::uint16_t>(value));
        else
            put32(bytes, eocd + offset, value);
        cases.push_back({"end of directory: " + label, bytes, true});
    }
    // Sizes the XML states.
    const std::string sheet = "xl/worksheets/sheet1.xml";
    for (const auto& [part, from, to] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"xl/sharedStrings.xml", "count=\"4\" uniqueCount=\"3\"",
              "count=\"4294967295\" uniqueCount=\"99999999999\""},
             {sheet, "<dimension ref=\"A1:D4\"/>", "<dimension ref=\"A1:XFD1048576\"/>"},
             {sheet, "min=\"1\" max=\"2\"", "min=\"1\" max=\"16384\""},
             {sheet, "<row r=\"4\">", "<row r=\"1048576\" spans=\"1:16384\">"},
             {sheet, "ref=\"C4:D4\"", "ref=\"A1:XFD1048576\""},
             {sheet, "<mergeCells count=\"1\">", "<mergeCells count=\"4294967295\">"},
             {sheet, "<brk id=\"2\"", "<brk id=\"1048575\""},
             {"xl/styles.xml", "<cellXfs count=\"3\">", "<cellXfs count=\"4294967295\">"},
             {"xl/styles.xml", "<fonts count=\"2\">", "<fonts count=\"-1\">"}})
        cases.push_back({part + ": " + to, zipParts(withReplaced(part, from, to)), false});
    // Many columns each stating the whole width, and a shared-string table of many entries.
    {
        std::string cols = "<cols>";
        for (int i = 0; i < 2000; ++i) cols += "<col min=\"1\" max=\"16384\" width=\"9\"/>";
        cases.push_back(
            {"2000 full-width column entries",
             zipParts(withReplaced(
                 sheet,
                 "<cols><col min=\"1\" max=\"2\" width=\"12.625\" customWidth=\"1\"/></cols>",
                 cols + "</cols>")),
             false});
        std::string many;
        for (int i = 0; i < 200000; ++i) many += "<si><t>" + std::to_string(i) + "</t></si>";
        cases.push_back({"200000 shared strings",
                         zipParts(withReplaced("xl/sharedStrings.xml", "<si><t>一回戦</t></si>",
                                               "<si><t>一回戦</t></si>" + many)),
                         false});
    }
    runAndCheck(cases, "huge sizes", std::chrono::seconds(20));
}

TEST(DamagedWorkbook, ZipEntriesWithStrangeFlagsMethodsAndNames) {
    const std::string& whole = samplePackage();
    const std::vector<ZipEntry> entries = zipEntries(whole);
    std::vector<Case> cases;
    // Changes both headers of an entry alike, so that they still agree with each other.
    auto patched = [&](const ZipEntry& e, size_t centralOffset, size_t localOffset,
                       std::uint16_t value) {
        std::string bytes = whole;
        put16(bytes, e.central + centralOffset, value);
        put16(bytes, e.local + localOffset, value);
        return bytes;
    };
    auto renamed = [&](const ZipEntry& e, const std::string& name) {
        std::string bytes = whole;
        bytes.replace(e.central + 46, e.name.size(), name);
        bytes.replace(e.local + 30, e.name.size(), name);
        return bytes;
    };
    for (const ZipEntry& e : entries) {
        const std::uint16_t flags = get16(whole, e.central + 8),
                            method = get16(whole, e.central + 10);
        cases.push_back({e.name + ": marked encrypted",
                         patched(e, 8, 6, static_cast<std::uint16_t>(flags | 1))});
        cases.push_back({e.name + ": unknown method 99", patched(e, 10, 8, 99)});
        cases.push_back({e.name + ": method " + (method == 0 ? "deflate" : "stored") + " claimed",
                         patched(e, 10, 8, method == 0 ? 8 : 0)});
        cases.push_back({e.name + ": bzip2 claimed", patched(e, 10, 8, 12)});
        std::string crc = whole;
        put32(crc, e.central + 16, get32(whole, e.central + 16) ^ 0x1000);
        put32(crc, e.local + 14, get32(whole, e.local + 14) ^ 0x1000);
        cases.push_back({e.name + ": wrong CRC", crc});
        std::string elsewhere = whole;
        put32(elsewhere, e.central + 42, static_cast<std::uint32_t>(entries.front().local));
        cases.push_back({e.name + ": local header of another entry", elsewhere});
        std::string upper = e.name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        cases.push_back({e.name + ": name in capitals", renamed(e, upper)});
        std::string folder = e.name;
        folder.back() = '/';
        cases.push_back({e.name + ": name turned into a folder", renamed(e, folder)});
        std::string withNul = e.name;
        withNul[withNul.size() / 2] = '\0';
        cases.push_back({e.name + ": NUL inside the name", renamed(e, withNul)});
        std::string backslashes = e.name;
        std::replace(backslashes.begin(), backslashes.end(), '/', '\\');
        cases.push_back({e.name + ": backslashes in the name", renamed(e, backslashes)});
    }
    // Two entries of one name.
    for (const ZipEntry& e : entries)
        if (e.name == "xl/worksheets/sheet2.xml") {
            cases.push_back(
                {"sheet2 stored as a second sheet1", renamed(e, "xl/worksheets/sheet1.xml")});
            cases.push_back(
                {"sheet2 stored as a second Sheet1", renamed(e, "xl/worksheets/Sheet1.xml")});
        }
    for (size_t i = 0; i < cases.size(); ++i) cases[i].viaFile = i % 4 == 0;
    runAndCheck(cases, "strange zip entries");
}

TEST(DamagedWorkbook, AFewKilobytesClaimingAGigabyteAreRefusedWithinModestMemory) {
    // A header may claim any size; the data behind it is a few hundred bytes. Refusing such a
    // file must not take the memory the header claims, or a machine short of memory gets
    // std::bad_alloc instead of a message.
    const std::string& whole = samplePackage();
    std::vector<Case> cases = {{"the undamaged sample", whole}};
    for (const ZipEntry& e : zipEntries(whole)) {
        if (e.name != "xl/workbook.xml" && e.name != "xl/worksheets/sheet1.xml") continue;
        std::string bytes = whole;
        put32(bytes, e.central + 24, 0x3FFFFFF0u);
        put32(bytes, e.local + 22, 0x3FFFFFF0u);
        cases.push_back({e.name + " claiming 1 GB less 16 bytes", bytes});
    }
    test::TempDir scratch;
    std::vector<Outcome> outcomes =
        runCases(cases, scratch.path(), exerciseCase, std::chrono::seconds(20), rlim_t{512} << 20);
    EXPECT_EQ(outcomes[0].kind, 'O')
        << "512 MB must do for the sample itself: " << shown(outcomes[0]);
    for (size_t i = 1; i < cases.size(); ++i) {
        EXPECT_EQ(outcomes[i].kind, 'W') << cases[i].label << ": " << shown(outcomes[i]);
        if (outcomes[i].kind == 'W') {
            EXPECT_TRUE(isJapanese(outcomes[i].text))
                << cases[i].label << ": " << shown(outcomes[i]);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// What reading may cost.

// The address space the process holds now, plus `more`: a limit on what one case may add.
rlim_t addressSpaceNowPlus(rlim_t more) {
    std::ifstream statm("/proc/self/statm");
    unsigned long long pages = 0;
    statm >> pages;
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + more;
}

constexpr rlim_t kModestMemory = rlim_t{300} << 20;

std::string repeated(const std::string& s, size_t times) {
    std::string out;
    out.reserve(s.size() * times);
    for (size_t i = 0; i < times; ++i) out += s;
    return out;
}

// Words of four or more ASCII letters left once the file's and the part's names are taken out:
// the English of a library. "xlsx", "libzip" and "CDATA" are the program's own words.
std::string englishWords(std::string text, const std::vector<std::string>& names) {
    for (const std::string& n : names)
        for (size_t at; !n.empty() && (at = text.find(n)) != std::string::npos;)
            text.erase(at, n.size());
    std::string words;
    for (size_t i = 0; i < text.size();) {
        size_t j = i;
        while (j < text.size() && std::isalpha(static_cast<unsigned char>(text[j]))) ++j;
        const std::string word = text.substr(i, j - i);
        if (word.size() >= 4 && word != "xlsx" && word != "libzip" && word != "CDATA")
            words += word + " ";
        i = j == i ? i + 1 : j;
    }
    return words;
}

struct Refusal {
    Case input;
    std::string part;  // the part the message must name ("" for the package as a whole)
};

// Each input refused in Japanese, naming the file and the part, with no library English.
void expectToldInJapanese(const std::vector<Refusal>& refusals,
                          const std::vector<Outcome>& outcomes, const std::string& file) {
    for (size_t i = 0; i < refusals.size(); ++i) {
        const Outcome& o = outcomes[i];
        SCOPED_TRACE(refusals[i].input.label + ": " + shown(o));
        EXPECT_EQ(o.kind, 'W');
        if (o.kind != 'W') continue;
        EXPECT_TRUE(isJapanese(o.text));
        EXPECT_NE(o.text.find(file), std::string::npos) << "the file is not named";
        EXPECT_NE(o.text.find(refusals[i].part), std::string::npos) << "the part is not named";
        EXPECT_EQ(englishWords(o.text, {file, refusals[i].part}), "");
    }
}

// Writes the case's bytes to `file`, opens it and reads every sheet.
Body openedAs(const fs::path& file) {
    return [file](const Case& c, const fs::path&) {
        writeFileBytes(file, c.bytes);
        auto wb = Workbook::open(file);
        readEverything(*wb);
    };
}

TEST(DamagedWorkbook, SmallFilesThatExpandWithoutBoundAreRefusedQuicklyWithinModestMemory) {
    // A few tens of kilobytes on disk, tens of megabytes of markup inflated: read in full, they
    // took gigabytes and tens of seconds.
    const std::string ws =
        kXmlDecl + "<worksheet xmlns=\"" + kMainNs + "\" xmlns:r=\"" + kRelNs + "\">";
    const std::string cellRow = "<row>" + repeated("<c/>", 16384) + "</row>";
    auto withParts = [](const std::vector<std::pair<std::string, std::string>>& replaced) {
        Parts parts = sampleParts();
        for (const auto& [name, data] : replaced) {
            partNamed(parts, name).data = data;
            partNamed(parts, name).stored = false;
        }
        return zipParts(parts);
    };
    const std::string sheet1 = "xl/worksheets/sheet1.xml", sheet2 = "xl/worksheets/sheet2.xml";
    const std::string strings = "xl/sharedStrings.xml";
    // Two sheets each within what one part may inflate to freely: together they are not.
    const std::string millionCells =
        ws + "<sheetData>" + repeated(cellRow, 59) + "</sheetData></worksheet>";
    std::vector<Refusal> bombs = {
        {{"16 million empty cells",
          withParts({{sheet1,
                      ws + "<sheetData>" + repeated(cellRow, 1000) + "</sheetData></worksheet>"}})},
         sheet1},
        {{"16 million empty elements beside the cells",
          withParts(
              {{sheet1, ws + "<sheetData/>" + repeated("<x/>", 16'000'000) + "</worksheet>"}})},
         sheet1},
        {{"16 million empty elements among the shared strings",
          withParts({{strings, kXmlDecl + "<sst xmlns=\"" + kMainNs + "\">" +
                                   repeated("<si><t>一回戦</t></si>", 3) +
                                   repeated("<x/>", 16'000'000) + "</sst>"}})},
         strings},
        {{"two sheets of a million empty cells",
          withParts({{sheet1, millionCells}, {sheet2, millionCells}})},
         sheet2},
    };
    std::vector<Case> cases = {{"the undamaged sample", samplePackage()}};
    for (const Refusal& b : bombs) cases.push_back(b.input);
    test::TempDir scratch;
    std::vector<Outcome> outcomes =
        runCases(cases, scratch.path(), openedAs(scratch / "大会.xlsx"), std::chrono::seconds(5),
                 addressSpaceNowPlus(kModestMemory));
    EXPECT_EQ(outcomes[0].kind, 'O') << shown(outcomes[0]);
    outcomes.erase(outcomes.begin());
    expectToldInJapanese(bombs, outcomes, "大会.xlsx");
    for (const Outcome& o : outcomes)
        EXPECT_EQ(o.text.find("メモリ"), std::string::npos)
            << "refused for want of memory, not by the limits: " << shown(o);
}

TEST(DamagedWorkbook, ASheetOrPartBeyondTheLimitsIsRefusedThoughStoredUncompressed) {
    // Stored as they are, these inflate by nothing: only the limits stop them.
    const std::string sheet1 = "xl/worksheets/sheet1.xml", strings = "xl/sharedStrings.xml";
    const std::string rows =
        repeated("<row>" + repeated("<c/>", 16384) + "</row>", kMaxCellsPerSheet / 16384 + 1);
    Parts manyCells = sampleParts();
    partNamed(manyCells, sheet1) = {sheet1,
                                    kXmlDecl + "<worksheet xmlns=\"" + kMainNs + "\"><sheetData>" +
                                        rows + "</sheetData></worksheet>",
                                    true};
    Parts manyElements = sampleParts();
    partNamed(manyElements, strings) = {strings,
                                        kXmlDecl + "<sst xmlns=\"" + kMainNs + "\">" +
                                            repeated("<si><t>一回戦</t></si>", 3) +
                                            repeated("<x/>", kMaxXmlElementsPerPart) + "</sst>",
                                        true};
    const std::vector<Refusal> refusals = {
        {{"a sheet of more cells than a sheet may hold", zipParts(manyCells)}, sheet1},
        {{"shared strings of more elements than a part may hold", zipParts(manyElements)},
         strings}};
    std::vector<Case> cases;
    for (const Refusal& r : refusals) cases.push_back(r.input);
    test::TempDir scratch;
    expectToldInJapanese(
        refusals,
        runCases(cases, scratch.path(), openedAs(scratch / "大会.xlsx"), std::chrono::seconds(20)),
        "大会.xlsx");
}

TEST(DamagedWorkbook, WhatIsNoRegularFileOrLargerThanAnyWorkbookIsRefusedBeforeItIsRead) {
    test::TempDir dir;
    writeFileBytes(dir / "大会.xlsx", samplePackage());
    ASSERT_EQ(::mkfifo((dir / "パイプ.xlsx").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "ゼロ.xlsx");
    fs::create_symlink(dir / "大会.xlsx", dir / "リンク.xlsx");
    fs::create_directory(dir / "フォルダ");
    fs::create_symlink(dir / "フォルダ", dir / "フォルダへのリンク.xlsx");
    {
        // Three gigabytes that take no room on the disk.
        std::ofstream(dir / "巨大.xlsx").close();
        fs::resize_file(dir / "巨大.xlsx", std::uintmax_t{3} << 30);
    }
    struct Expected {
        std::string file;
        char kind;
    };
    const std::vector<Expected> files = {{"パイプ.xlsx", 'W'},
                                         {"ゼロ.xlsx", 'W'},
                                         {"巨大.xlsx", 'W'},
                                         {"フォルダへのリンク.xlsx", 'W'},
                                         {"リンク.xlsx", 'O'}};
    std::vector<Case> cases;  // a case's bytes are the path to open
    for (const Expected& f : files) cases.push_back({f.file, (dir / f.file).string()});
    std::vector<Outcome> outcomes = runCases(
        cases, dir.path(),
        [](const Case& c, const fs::path&) {
            auto wb = Workbook::open(fs::path(c.bytes));
            readEverything(*wb);
        },
        std::chrono::seconds(5), addressSpaceNowPlus(kModestMemory));
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].file + ": " + shown(outcomes[i]));
        EXPECT_EQ(outcomes[i].kind, files[i].kind);
        if (files[i].kind == 'W') {
            EXPECT_TRUE(isJapanese(outcomes[i].text));
            EXPECT_NE(outcomes[i].text.find(files[i].file), std::string::npos);
        }
    }
}

TEST(DamagedWorkbook, EveryRefusalIsToldInJapaneseNamingTheFileAndThePart) {
    const std::string& whole = samplePackage();
    const std::vector<ZipEntry> entries = zipEntries(whole);
    const std::string sheet1 = "xl/worksheets/sheet1.xml";
    ZipEntry first;
    for (const ZipEntry& e : entries)
        if (e.name == sheet1) first = e;
    std::vector<Refusal> refusals;
    refusals.push_back({{"text, not a zip", "これはブックではありません。\nplain text\n"}, ""});
    for (const ZipEntry& e : entries) {
        if (e.name != "xl/worksheets/sheet2.xml") continue;
        std::string twice = whole;
        twice.replace(e.central + 46, e.name.size(), sheet1);
        twice.replace(e.local + 30, e.name.size(), sheet1);
        refusals.push_back({{"a part stored twice", twice}, sheet1});
    }
    std::string inflating = whole;
    for (size_t k = 0; k < 8; ++k)
        inflating[first.data + first.compressedSize / 2 + k] =
            static_cast<char>(inflating[first.data + first.compressedSize / 2 + k] ^ 0x5A);
    refusals.push_back({{"compressed data damaged", inflating}, sheet1});
    std::string disagreeing = whole;
    disagreeing[first.local + 30 + first.name.size() - 5] = 'X';  // the local header's name
    refusals.push_back({{"headers that disagree", disagreeing}, ""});
    std::string encrypted = whole;
    put16(encrypted, first.central + 8,
          static_cast<std::uint16_t>(get16(whole, first.central + 8) | 1));
    put16(encrypted, first.local + 6,
          static_cast<std::uint16_t>(get16(whole, first.local + 6) | 1));
    refusals.push_back({{"a part marked encrypted", encrypted}, sheet1});
    refusals.push_back(
        {{"tags that do not match", zipParts(withReplaced(sheet1, "</sheetData>", "</row>"))},
         sheet1});
    std::vector<Case> cases;
    for (const Refusal& r : refusals) cases.push_back(r.input);
    test::TempDir scratch;
    expectToldInJapanese(refusals, runCases(cases, scratch.path(), openedAs(scratch / "大会.xlsx")),
                         "大会.xlsx");

    // Memory running out is told as such, never as damage nor as std::bad_alloc. The sheet is
    // stored uncompressed: the file fits in the memory left, the file and the sheet do not.
    Parts large = withReplaced(sheet1, "インライン", std::string(24u << 20, 'a'));
    partNamed(large, sheet1).stored = true;
    const std::vector<Refusal> starved = {
        {{"a sheet larger than the memory left", zipParts(large)}, sheet1},
        {{"150 MB that are no zip", std::string(150u << 20, 'x')}, ""}};
    cases.clear();
    for (const Refusal& r : starved) cases.push_back(r.input);
    std::vector<Outcome> outcomes =
        runCases(cases, scratch.path(), openedAs(scratch / "大会.xlsx"), std::chrono::seconds(10),
                 addressSpaceNowPlus(rlim_t{36} << 20));
    expectToldInJapanese(starved, outcomes, "大会.xlsx");
    for (const Outcome& o : outcomes)
        EXPECT_NE(o.text.find("メモリが足りない"), std::string::npos) << shown(o);
}

// ---------------------------------------------------------------------------------------------
// A failed save.

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

std::unique_ptr<Workbook> editedSample() {
    auto wb = Workbook::fromBytes(samplePackage());
    wb->sheet("組合せ").setText(1, 1, "保存しようとした内容");
    return wb;
}

void expectRefusedInJapanese(const std::function<void()>& action, const std::string& what) {
    try {
        action();
        ADD_FAILURE() << what << ": no error";
    } catch (const WorkbookError& e) {
        EXPECT_TRUE(isJapanese(e.what())) << what << ": \"" << e.what() << "\"";
    } catch (const std::exception& e) {
        ADD_FAILURE() << what << ": " << typeName(e) << ": " << e.what();
    }
}

TEST(DamagedWorkbookSave, SavingWhereNoFileCanBeMadeThrowsAndLeavesNothingBehind) {
    test::TempDir dir;
    writeFileBytes(dir / "plain-file", "そのまま");
    const std::set<std::string> before = namesIn(dir.path());
    auto wb = editedSample();
    expectRefusedInJapanese([&] { wb->saveAs(dir / "無いフォルダ" / "大会.xlsx"); },
                            "a missing folder");
    expectRefusedInJapanese([&] { wb->saveAs(dir / "plain-file" / "大会.xlsx"); },
                            "below a regular file");
    expectRefusedInJapanese([&] { wb->save(); }, "no path yet");
    EXPECT_EQ(namesIn(dir.path()), before);
    EXPECT_EQ(test::readFile(dir / "plain-file"), "そのまま");
    EXPECT_TRUE(wb->hasUnsavedChanges());
    // The workbook is still whole: a save to a good place works and carries the edit.
    wb->saveAs(dir / "大会.xlsx");
    EXPECT_EQ(Workbook::open(dir / "大会.xlsx")->sheet("組合せ").text(1, 1),
              "保存しようとした内容");
}

TEST(DamagedWorkbookSave, AFailedReplaceKeepsTheOldFileByteForByteAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const fs::path target = dir / "大会.xlsx";
    const std::string original = samplePackage();
    writeFileBytes(target, original);

    // The target name is taken by a folder: the temporary file is written, the rename fails.
    fs::create_directory(dir / "フォルダ.xlsx");
    writeFileBytes(dir / "フォルダ.xlsx" / "中身.txt", "中身");
    std::set<std::string> before = namesIn(dir.path());
    auto wb = Workbook::open(target);
    wb->sheet("組合せ").setText(1, 1, "保存しようとした内容");
    expectRefusedInJapanese([&] { wb->saveAs(dir / "フォルダ.xlsx"); }, "a folder in the way");
    EXPECT_EQ(namesIn(dir.path()), before);
    EXPECT_EQ(namesIn(dir / "フォルダ.xlsx"), (std::set<std::string>{"中身.txt"}));
    EXPECT_TRUE(test::readFile(target) == original) << "the old file changed";

    // The disk fills up half way through writing over an existing file (a file-size limit in a
    // child process stands in for the full disk).
    std::vector<Case> cases = {{"file-size limit", ""}};
    std::vector<Outcome> outcomes = runCases(cases, dir.path(), [&](const Case&, const fs::path&) {
        auto child = Workbook::open(target);
        child->sheet("組合せ").setText(1, 1, "保存しようとした内容");
        std::string bytes = child->serialize();
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes.size() / 2, bytes.size() / 2};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        child->save();
    });
    EXPECT_EQ(outcomes[0].kind, 'W') << shown(outcomes[0]);
    EXPECT_TRUE(isJapanese(outcomes[0].text)) << shown(outcomes[0]);
    EXPECT_EQ(namesIn(dir.path()), before);
    EXPECT_TRUE(test::readFile(target) == original) << "the old file changed";

    // After all this the first workbook still saves over the original.
    wb->saveAs(target);
    EXPECT_EQ(Workbook::open(target)->sheet("組合せ").text(1, 1), "保存しようとした内容");
    EXPECT_EQ(namesIn(dir.path()), before);
}

}  // namespace
}  // namespace tombra::sheet
