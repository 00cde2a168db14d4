#include "sheetjob/job/FileArg.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Display.h"
#include "sheetjob/common/InputFile.h"
#include "sheetjob/common/SystemText.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/coordtext/DegreeText.h"
#include "sheetjob/job/OutputFolders.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace sheetjob::job {
namespace fs = std::filesystem;

namespace {

using common::isBlank;
using common::ltrim;
using common::rtrim;
using common::trim;

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// An argument file is a few lines; anything this large is not one, and reading
// stops here instead of going through a device or a huge file.
constexpr std::size_t kMaxArgFileBytes = 16u << 20;
constexpr std::size_t kMinPathLength = 3; // shortest accepted "Path" value
// Bytes of a line kept for reading: enough for kArgLineLength characters of
// UTF-8 and one more; of the rest only whether it is blank matters.
constexpr std::size_t kKeptLineBytes = 4 * kArgLineLength + 4;
// Read size of the file. The buffers live on the heap: a frame this large may
// find no room to grow the stack under an address-space limit, which ends the
// program without a word, where a failed allocation is reported.
constexpr std::size_t kChunkBytes = 64 * 1024;

std::string inQuotes(std::string_view cp1251) {
    return common::quoted(common::cp1251ToUtf8(cp1251));
}

/// An angle for a message: " 37° 00'" left-adjusted, in UTF-8.
std::string angleText(double angle) {
    return common::cp1251ToUtf8(ltrim(coordtext::gradMin2Txt(angle)));
}

std::string where(std::string_view fileName, int line) {
    return std::string(fileName) + ", line " + std::to_string(line) + ": ";
}

// ---------------------------------------------------------------------------
// Where the bytes come from: a file, or a content already in memory. Both are
// read twice: once to learn the encoding, once for the lines.

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    /// Up to `size` bytes; 0 at the end. False on a read error.
    virtual bool read(char* data, std::size_t size, std::size_t& got) = 0;
    /// Back to the first byte; false when that fails.
    virtual bool rewind() = 0;
};

class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view content) : content_(content) {}
    bool read(char* data, std::size_t size, std::size_t& got) override {
        got = std::min(size, content_.size() - pos_);
        std::memcpy(data, content_.data() + pos_, got);
        pos_ += got;
        return true;
    }
    bool rewind() override {
        pos_ = 0;
        return true;
    }

  private:
    std::string_view content_;
    std::size_t pos_ = 0;
};

class FileSource : public ByteSource {
  public:
    explicit FileSource(common::InputFile& file) : file_(file) {}
    bool read(char* data, std::size_t size, std::size_t& got) override {
        return file_.read(data, size, got);
    }
    bool rewind() override { return file_.rewind(); }

  private:
    common::InputFile& file_;
};

/// What the first reading learns: how the file is to be read.
struct Encoding {
    bool byteOrderMark = false;
    bool convert = false;      ///< valid UTF-8 with non-ASCII characters: converted
    int unconvertibleLine = 0; ///< first line with a character Windows-1251 lacks
};

bool scanEncoding(ByteSource& source, Encoding& encoding) {
    common::Utf8Decoder decoder;
    bool valid = true;
    bool ascii = true;
    bool first = true;
    int line = 1;
    std::vector<char> buffer(kChunkBytes);
    for (;;) {
        std::size_t got = 0;
        if (!source.read(buffer.data(), buffer.size(), got))
            return false;
        if (got == 0)
            break;
        std::string_view chunk(buffer.data(), got);
        if (first) {
            first = false;
            // The mark is three bytes at the very start; a first read of fewer
            // bytes would be a file shorter than that.
            if (chunk.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
                encoding.byteOrderMark = true;
                chunk.remove_prefix(kUtf8ByteOrderMark.size());
            }
        }
        for (const char c : chunk) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte == '\n')
                ++line;
            if (byte < 0x80 && !decoder.midSequence())
                continue;
            ascii = false;
            char32_t cp = 0;
            const auto step = decoder.feed(byte, cp);
            if (step == common::Utf8Decoder::Step::Invalid) {
                valid = false;
                break;
            }
            if (step == common::Utf8Decoder::Step::CodePoint && encoding.unconvertibleLine == 0 &&
                !common::cp1251ByteOf(cp))
                encoding.unconvertibleLine = line;
        }
        if (!valid)
            break;
    }
    valid = valid && !decoder.midSequence();
    encoding.convert = valid && !ascii;
    if (!encoding.convert)
        encoding.unconvertibleLine = 0;
    return source.rewind();
}

/// The lines of the file one at a time, each with its line end (and one
/// carriage return before it) removed. A line keeps its first kKeptLineBytes
/// bytes; of the rest it is only known whether they are all blank.
class LineReader {
  public:
    LineReader(ByteSource& source, bool skipByteOrderMark)
        : source_(source), skipMark_(skipByteOrderMark) {}

    /// False at the end of the file; `failed()` tells a read error from it.
    bool next(std::string& line, bool& blankBeyond) {
        line.clear();
        std::size_t excess = 0;         // bytes past the kept ones
        std::size_t excessNonBlank = 0; // of which not blanks
        bool lastWasCarriageReturn = false;
        bool any = false;
        for (;;) {
            if (pos_ == size_) {
                if (!fill())
                    break;
                continue; // the byte-order mark may have been the whole read
            }
            const char c = buffer_[pos_++];
            any = true;
            if (c == '\n')
                break;
            if (line.size() < kKeptLineBytes) {
                line += c;
            } else {
                ++excess;
                if (c != ' ')
                    ++excessNonBlank;
            }
            lastWasCarriageReturn = c == '\r';
        }
        if (!any)
            return false;
        // One carriage return before the line end belongs to the line end.
        if (lastWasCarriageReturn) {
            if (excess == 0)
                line.pop_back();
            else
                --excessNonBlank;
        }
        blankBeyond = excessNonBlank == 0;
        return true;
    }
    [[nodiscard]] bool failed() const { return failed_; }

  private:
    bool fill() {
        std::size_t got = 0;
        if (!source_.read(buffer_.data(), buffer_.size(), got)) {
            failed_ = true;
            return false;
        }
        pos_ = 0;
        size_ = got;
        if (skipMark_ && got >= kUtf8ByteOrderMark.size()) {
            skipMark_ = false;
            pos_ = kUtf8ByteOrderMark.size();
        }
        return got > 0;
    }

    ByteSource& source_;
    bool skipMark_;
    bool failed_ = false;
    std::vector<char> buffer_ = std::vector<char>(kChunkBytes);
    std::size_t pos_ = 0;
    std::size_t size_ = 0;
};

/// The reading of angles and divisions stops at the minute sign; what stands
/// after it (seconds, a hemisphere letter, a typing slip) would be dropped
/// without a word, so the item is refused instead. True when it is refused.
bool textAfterMinuteSign(std::string_view key, std::string_view value, std::string_view shown,
                         std::string_view example, std::string& reason) {
    const std::string_view after = coordtext::afterMinuteSign(value);
    if (isBlank(after))
        return false;
    reason = "value " + std::string(shown) + " of \"" + std::string(key) + "\" has " +
             inQuotes(trim(after)) + " after the minute sign; give " + std::string(example) +
             " (seconds are not read)";
    return true;
}

/// Reads a degree-minute value into a field that must not be given yet.
int readAngle(std::string_view key, std::string& value, std::optional<double>& field, bool nonZero,
              std::string& reason) {
    if (field) {
        reason = "key \"" + std::string(key) + "\" given twice";
        return kItemGivenTwice;
    }
    const std::string shown = inQuotes(rtrim(value));
    double angle = 0;
    if (coordtext::txtGradMin2Grad(value, angle) != 0) {
        reason = "value " + shown + " of \"" + std::string(key) +
                 "\" is not a degree-minute text such as 37° 15' or 37";
        return kItemBadValue;
    }
    if (textAfterMinuteSign(key, value, shown, "degrees and minutes only, such as 37° 15'", reason))
        return kItemBadValue;
    // The text reader yields no negative value; a zero would leave the
    // graticule without a step.
    if (nonZero && !model::usableSpacing(angle)) {
        reason = "value " + shown + " of \"" + std::string(key) + "\" must not be 0";
        return kItemBadValue;
    }
    field = angle;
    return kItemRead;
}

/// Reads a minute division 1..59 into a field that must not be given yet.
int readMinutes(std::string_view key, std::string& value, std::optional<int>& field,
                std::string& reason) {
    if (field) {
        reason = "key \"" + std::string(key) + "\" given twice";
        return kItemGivenTwice;
    }
    const std::string shown = inQuotes(rtrim(value));
    int minutes = 0;
    if (coordtext::txtMin2Min(value, minutes) != 0 || !model::usableDivision(minutes)) {
        reason = "value " + shown + " of \"" + std::string(key) +
                 "\" is not a minute division from 1 to 59";
        return kItemBadValue;
    }
    if (textAfterMinuteSign(key, value, shown, "whole minutes only, such as 5'", reason))
        return kItemBadValue;
    field = minutes;
    return kItemRead;
}

/// Reads a switch "0" or "1" into a field that must not be given yet.
int readSwitch(std::string_view key, const std::string& value, std::optional<int>& field,
               std::string& reason) {
    if (field) {
        reason = "key \"" + std::string(key) + "\" given twice";
        return kItemGivenTwice;
    }
    const std::string flag = trim(value);
    if (flag != "0" && flag != "1") {
        reason = "value " + inQuotes(rtrim(value)) + " of \"" + std::string(key) +
                 "\" is neither 0 nor 1";
        return kItemBadValue;
    }
    field = flag == "1" ? 1 : 0;
    return kItemRead;
}

/// A given bound must lie less than one single sheet beyond its base edge;
/// one not given is the base edge.
bool boundOk(const std::optional<double>& given, double base, bool mustBeGreater, double limit,
             std::string_view key, std::string_view side, std::string_view fileName, double& bound,
             std::string& reason) {
    if (!given) {
        bound = base;
        return true;
    }
    bound = *given;
    if (mustBeGreater ? bound > limit : bound < limit)
        return true;
    reason = std::string(fileName) + ": \"" + std::string(key) + "\" " + angleText(bound) +
             " lies a full sheet size or more beyond the sheet's " + std::string(side) + " edge " +
             angleText(base);
    return false;
}

/// The job from the values of a whole file: the required keys, the defaults
/// and the checks of the values against each other.
common::Outcome completeJob(const ArgValues& v, std::string_view fileName, model::Job& job) {
    if (!v.resultFolder || !v.sheet) {
        std::string what = !v.resultFolder ? "\"Path\" is missing" : "\"Nom\" is missing";
        if (!v.resultFolder && !v.sheet)
            what = "\"Nom\" and \"Path\" are missing";
        return common::Failure{kArgRequiredMissing, std::string(fileName) + ": " + what};
    }
    // The sub-sheet frames divide one nominal 1:200 000 sheet.
    if (v.subSheetFrames == 1 &&
        !(v.sheet->is200k() && v.sheet->sheetType == nomenclature::kSingle))
        return common::Failure{
            kArgItemBad, where(fileName, v.subSheetFramesLine) +
                             "\"SubSheetFrames=1\" needs a single 1:200 000 sheet in \"Nom\""};
    job = model::Job{};
    job.coordSystem = v.coordSystem;
    job.sheet = *v.sheet;
    job.mapScale = v.mapScale.value_or(model::kOwnScale);
    job.resultFolder = *v.resultFolder;
    job.subSheetFrames = v.subSheetFrames == 1;
    job.qgisFiles = v.qgisFiles.value_or(1) == 1;

    const nomenclature::BaseParameters base = nomenclature::computeBaseParameters(job.sheet);
    const geometry::Trapezium& b = base.trapezium;
    const nomenclature::Margins margin = job.sheet.margins();
    std::string reason;
    geometry::Trapezium& r = job.result;
    if (!boundOk(v.xFrom, b.west, true, b.west - margin.longitude, "xFrom", "west", fileName,
                 r.west, reason) ||
        !boundOk(v.xTo, b.east, false, b.east + margin.longitude, "xTo", "east", fileName, r.east,
                 reason) ||
        !boundOk(v.yFrom, b.south, true, b.south - margin.latitude, "yFrom", "south", fileName,
                 r.south, reason) ||
        !boundOk(v.yTo, b.north, false, b.north + margin.latitude, "yTo", "north", fileName,
                 r.north, reason))
        return common::Failure{kArgResultOutOfRange, reason};

    geometry::Graticule& g = job.graticule;
    g.xMinute = v.xMinute.value_or(base.graticule.xMinute);
    g.yMinute = v.yMinute.value_or(base.graticule.yMinute);
    g.parallelStep = v.parallelStep.value_or(base.graticule.parallelStep);
    g.meridianStep = v.meridianStep.value_or(base.graticule.meridianStep);
    if (!model::usableGraticule(g))
        return common::Failure{kArgResultOutOfRange,
                               std::string(fileName) +
                                   ": a graticule spacing or minute division is 0"};
    return std::nullopt;
}

/// Reads every item of every line of the source.
common::Outcome readLines(ByteSource& source, std::string_view fileName, model::Job& job) {
    Encoding encoding;
    if (!scanEncoding(source, encoding))
        return common::Failure{kArgLineNotRead, std::string(fileName) + ": cannot read the file"};
    if (encoding.unconvertibleLine != 0)
        return common::Failure{
            kArgLineNotRead,
            where(fileName, encoding.unconvertibleLine) +
                "holds a character that Windows-1251 lacks (the file is read as UTF-8)"};

    LineReader lines(source, encoding.byteOrderMark);
    ArgValues values;
    std::string line;
    bool blankBeyond = true;
    while (lines.next(line, blankBeyond)) {
        ++values.line;
        if (encoding.convert) {
            // Whole lines only: a line whose kept bytes end inside a character
            // has text beyond them and is refused below.
            if (auto converted = common::utf8ToCp1251(line))
                line = std::move(*converted);
        }
        if (!blankBeyond || (line.size() > kArgLineLength &&
                             !isBlank(std::string_view(line).substr(kArgLineLength))))
            return common::Failure{kArgItemBad, where(fileName, values.line) +
                                                    "line is longer than " +
                                                    std::to_string(kArgLineLength) + " characters"};
        if (line.size() > kArgLineLength)
            line.resize(kArgLineLength);
        while (!isBlank(line)) {
            std::string what;
            if (readArg(line, values, what) != kItemRead)
                return common::Failure{kArgItemBad, where(fileName, values.line) + what};
        }
    }
    if (lines.failed())
        return common::Failure{kArgLineNotRead,
                               where(fileName, values.line + 1) + "cannot be read"};
    return completeJob(values, fileName, job);
}

} // namespace

int readCs(std::string_view value, geometry::CoordSystem& coordSystem) {
    const auto system = geometry::CoordSystem::fromArgumentName(trim(value));
    if (!system)
        return 1;
    coordSystem = *system;
    return 0;
}

int readNomenclature(std::string_view value, nomenclature::Sheet& sheet) {
    const auto parsed = nomenclature::Sheet::parse(value);
    if (!parsed)
        return 1;
    sheet = *parsed;
    return 0;
}

int readPath(std::string_view value, std::string& resultFolder) {
    const std::string folder = trim(value);
    // A control character would cut the path short when it is handed to the
    // system (a NUL) or garble every message that names it.
    if (folder.size() < kMinPathLength || common::hasControlCharacter(folder))
        return 1;
    resultFolder = withFolderSeparator(folder);
    return 0;
}

int readScale2(int setScale, std::string_view value, int& mapScale) {
    const std::string scale = trim(value);
    static constexpr std::array<std::string_view, 3> k200 = {"200", "500", "1000"};
    static constexpr std::array<std::string_view, 3> k1000 = {"1000", "2500", "5000"};
    const auto& allowed = setScale == nomenclature::kSeries200k ? k200 : k1000;
    for (size_t i = 0; i < allowed.size(); ++i) {
        if (scale == allowed[i]) {
            mapScale = static_cast<int>(i);
            return 0;
        }
    }
    return 1;
}

int readArg(std::string& line, ArgValues& values, std::string& reason) {
    line = ltrim(line);
    const size_t semicolon = line.find(';');
    if (semicolon == std::string::npos || semicolon < 3) {
        reason = semicolon == std::string::npos
                     ? "item " + inQuotes(rtrim(line)) + " does not end with \";\""
                     : "item " + inQuotes(line.substr(0, semicolon + 1)) + " is too short";
        return kItemMalformed;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals < 1 || equals > semicolon) {
        reason = "item " + inQuotes(line.substr(0, semicolon + 1)) +
                 " has no \"=\" between key and value";
        return kItemMalformed;
    }
    const std::string key = trim(std::string_view(line).substr(0, equals));
    std::string value = ltrim(std::string_view(line).substr(equals + 1, semicolon - equals - 1));
    if (key.empty() || isBlank(value)) {
        reason = "item " + inQuotes(line.substr(0, semicolon + 1)) + " has an empty " +
                 (key.empty() ? "key" : "value");
        return kItemMalformed;
    }
    line = semicolon + 1 < line.size() ? line.substr(semicolon + 1) : std::string();

    const std::string shown = inQuotes(rtrim(value));
    const auto twice = [&reason, &key] {
        reason = "key \"" + key + "\" given twice";
        return kItemGivenTwice;
    };
    if (key == "CS") {
        if (readCs(value, values.coordSystem) != 0) {
            reason = "unknown coordinate system " + shown +
                     " of \"CS\" (known: CK-42, CK-95, ГCK-2011, ГCK-2011 / СК-42, "
                     "the letters C and K before the hyphen Latin)";
            return kItemUnknownKey;
        }
        return kItemRead;
    }
    if (key == "Nom") {
        if (values.sheet)
            return twice();
        nomenclature::Sheet sheet;
        if (readNomenclature(value, sheet) != 0) {
            reason = "sheet name " + shown +
                     " of \"Nom\" is not a sheet of the 1:1 000 000 or 1:200 000 series "
                     "(such as N-37, N37, T-37 (4), N-37-XIV, N3714, N-37-XIV(2))";
            return kItemBadValue;
        }
        values.sheet = sheet;
        return kItemRead;
    }
    if (key == "Path") {
        if (values.resultFolder)
            return twice();
        std::string folder;
        if (readPath(value, folder) != 0) {
            reason = "result folder " + shown + " of \"Path\" " +
                     (common::hasControlCharacter(trim(value)) ? "holds a control character"
                                                               : "is shorter than 3 characters");
            return kItemBadValue;
        }
        values.resultFolder = folder;
        return kItemRead;
    }
    if (key == "MapScale") {
        if (values.mapScale)
            return twice();
        if (!values.sheet) {
            reason = "\"MapScale\" comes before \"Nom\"";
            return kItemScaleBeforeNom;
        }
        int mapScale = 0;
        if (readScale2(values.sheet->setScale, value, mapScale) != 0) {
            reason = "map scale " + shown + " of \"MapScale\" does not fit a " +
                     (values.sheet->is200k() ? "1:200 000 sheet (allowed: 200, 500, 1000)"
                                             : "1:1 000 000 sheet (allowed: 1000, 2500, 5000)");
            return kItemBadValue;
        }
        values.mapScale = mapScale;
        return kItemRead;
    }
    if (key == "xFrom")
        return readAngle(key, value, values.xFrom, false, reason);
    if (key == "yFrom")
        return readAngle(key, value, values.yFrom, false, reason);
    if (key == "xTo")
        return readAngle(key, value, values.xTo, false, reason);
    if (key == "yTo")
        return readAngle(key, value, values.yTo, false, reason);
    if (key == "ParallelStep")
        return readAngle(key, value, values.parallelStep, true, reason);
    if (key == "MeridianStep")
        return readAngle(key, value, values.meridianStep, true, reason);
    if (key == "xMinute")
        return readMinutes(key, value, values.xMinute, reason);
    if (key == "yMinute")
        return readMinutes(key, value, values.yMinute, reason);
    if (key == "SubSheetFrames") {
        const int status = readSwitch(key, value, values.subSheetFrames, reason);
        if (status == kItemRead)
            values.subSheetFramesLine = values.line;
        return status;
    }
    if (key == "QgisFiles")
        return readSwitch(key, value, values.qgisFiles, reason);
    reason = "unknown key " + inQuotes(key);
    return kItemUnknownKey;
}

common::Outcome readArgFileContent(std::string_view content, std::string_view fileName,
                                   model::Job& job) {
    MemorySource source(content);
    return readLines(source, fileName, job);
}

common::Outcome createResultFolder(const std::string& folder) {
    const fs::path path = fileSystemPath(folder);
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return std::nullopt;
    fs::create_directories(path, ec);
    if (ec || !fs::is_directory(path, ec))
        return common::Failure{
            kArgFolderNotCreated,
            "cannot create folder " + common::displayed(common::cp1251ToUtf8(folder)) + ": " +
                (ec ? common::errorText(ec) : std::string("a file of that name is in the way"))};
    return std::nullopt;
}

common::Outcome readArgFile(const std::string& argFile, model::Job& job) {
    const std::string shownFile = common::displayed(argFile);
    // A FIFO or a device named as the argument file must not hold the run;
    // only a regular file is read.
    common::InputFile::Refusal refusal = common::InputFile::Refusal::CannotOpen;
    std::string error;
    auto file = common::InputFile::open(argFile, refusal, error);
    if (!file) {
        switch (refusal) {
        case common::InputFile::Refusal::Folder:
            return common::Failure{kArgFileNotOpened,
                                   shownFile + ": is a folder, not an argument file"};
        case common::InputFile::Refusal::NotRegular:
            return common::Failure{kArgFileNotOpened, shownFile + ": is not a regular file (a "
                                                                  "pipe, socket or device)"};
        default:
            return common::Failure{kArgFileNotOpened,
                                   shownFile + ": cannot open the argument file: " + error};
        }
    }
    if (file->size() > kMaxArgFileBytes)
        return common::Failure{kArgLineNotRead,
                               shownFile + ": too large for an argument file (more than 16 MiB)"};
    FileSource source(*file);
    if (auto failure = readLines(source, shownFile, job))
        return failure;
    return createResultFolder(job.resultFolder);
}

} // namespace sheetjob::job
