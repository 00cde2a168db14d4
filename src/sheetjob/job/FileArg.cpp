#include "sheetjob/job/FileArg.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/Text.h"
#include "sheetjob/coordtext/DegreeText.h"
#include "sheetjob/job/OutputFolders.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
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
// stops here instead of exhausting memory on a device or a huge file.
constexpr std::size_t kMaxArgFileBytes = 16u << 20;
constexpr std::size_t kMinPathLength = 3;         // shortest accepted "Path" value
constexpr std::size_t kMinNomenclatureLength = 3; // shortest sheet name, e.g. N37

// Single-sheet sizes that bound how far a result trapezium may reach beyond
// the base one, degrees.
constexpr double kMargin200Longitude = 1.0;      // 1:200 000 sheet width
constexpr double kMargin200Latitude = 2.0 / 3.0; // 1:200 000 sheet height, 40'
constexpr double kMargin1000Longitude = 6.0;     // 1:1 000 000 sheet width
constexpr double kMargin1000Latitude = 4.0;      // 1:1 000 000 sheet height

// Belt letters U..K give yZone 1..11.
constexpr std::string_view kBeltLetters = "UTSRQPONMLK";

std::string inQuotes(std::string_view cp1251) {
    // Appended rather than prefixed: GCC 12 warns falsely (-Wrestrict) about
    // prefixing a literal to a temporary string at -O2.
    std::string quoted(1, '"');
    for (const char c : common::cp1251ToUtf8(cp1251)) {
        // A control character (a stray carriage return, say) would garble the
        // one-line message on a terminal: it is shown as an escape.
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            quoted += "\\x";
            quoted += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
            quoted += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

/// An angle for a message: " 37° 00'" left-adjusted, in UTF-8.
std::string angleText(double angle) {
    return common::cp1251ToUtf8(ltrim(coordtext::gradMin2Txt(angle)));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// The Roman numeral of a 1:200 000 sheet number 1..36.
std::string romanNumeral(int n) {
    static constexpr std::array<std::string_view, 10> kUnits = {"",  "I",  "II",  "III",  "IV",
                                                                "V", "VI", "VII", "VIII", "IX"};
    return std::string(static_cast<size_t>(n / 10), 'X') +
           std::string(kUnits[static_cast<size_t>(n % 10)]);
}

/// The combined-sheet suffix: nothing (single sheet) or "(d)" with blanks
/// allowed around the digit and after the ")". Returns the sheet type or nothing.
std::optional<int> readSheetType(std::string_view rest) {
    const std::string text = trim(rest);
    if (text.empty())
        return 0;
    if (text.front() != '(' || text.back() != ')')
        return std::nullopt;
    const std::string digit = trim(std::string_view(text).substr(1, text.size() - 2));
    if (digit.size() != 1 || digit[0] < '2' || digit[0] > '4')
        return std::nullopt;
    return digit[0] - '1'; // "2" double, "3" triple, "4" quadruple
}

/// Belt, zone, sheet number and combined-sheet suffix; the fields are written only on success.
bool parseSheetName(std::string_view value, JobParameters& job) {
    const std::string text = rtrim(ltrim(value));
    if (text.size() < kMinNomenclatureLength)
        return false;
    char belt = text[0];
    if (belt >= 'a' && belt <= 'z')
        belt = static_cast<char>(belt - 'a' + 'A');
    const auto beltIndex = kBeltLetters.find(belt);
    if (beltIndex == std::string_view::npos)
        return false;
    size_t pos = 1;
    const bool hyphenated = text[pos] == '-';
    if (hyphenated)
        ++pos;
    if (text.size() - pos < 2 || !isDigit(text[pos]) || !isDigit(text[pos + 1]))
        return false;
    const int zone = (text[pos] - '0') * 10 + (text[pos + 1] - '0');
    if (!((zone >= 33 && zone <= 60) || zone == 1 || zone == 2))
        return false;
    pos += 2;

    int setScale = 1;
    int sheetNumber = 0;
    const std::string afterZone = ltrim(std::string_view(text).substr(pos));
    if (!afterZone.empty() && afterZone.front() != '(') {
        setScale = 0;
        if (hyphenated) {
            if (text[pos] != '-')
                return false;
            ++pos;
            size_t end = pos;
            while (end < text.size() && (text[end] == 'I' || text[end] == 'V' || text[end] == 'X'))
                ++end;
            const std::string_view numeral = std::string_view(text).substr(pos, end - pos);
            for (int n = 1; n <= 36 && sheetNumber == 0; ++n)
                if (numeral == romanNumeral(n))
                    sheetNumber = n;
            pos = end;
        } else if (text.size() - pos >= 2 && isDigit(text[pos]) && isDigit(text[pos + 1])) {
            const int n = (text[pos] - '0') * 10 + (text[pos + 1] - '0');
            if (n >= 1 && n <= 36)
                sheetNumber = n;
            pos += 2;
        }
        if (sheetNumber == 0)
            return false;
    }
    const auto sheetType = readSheetType(std::string_view(text).substr(pos));
    if (!sheetType)
        return false;
    job.SetScale = setScale;
    job.yZone = static_cast<int>(beltIndex) + 1;
    job.xZone = zone;
    job.SheetNumber = sheetNumber;
    job.SheetType = *sheetType;
    return true;
}

/// The file's text as Windows-1251 lines: a UTF-8 byte-order mark dropped,
/// valid UTF-8 with non-ASCII characters converted, anything else taken as
/// Windows-1251; lines end in LF or CR LF.
int splitLines(std::string_view content, std::vector<std::string>& lines, std::string& what,
               int& badLine) {
    if (content.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        content.remove_prefix(kUtf8ByteOrderMark.size());
    const bool convert = !common::isAscii(content) && common::isValidUtf8(content);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string_view::npos)
            end = content.size();
        std::string_view line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;
        if (!convert) {
            lines.emplace_back(line);
            continue;
        }
        auto converted = common::utf8ToCp1251(line);
        if (!converted) {
            badLine = static_cast<int>(lines.size()) + 1;
            what = "holds a character that Windows-1251 lacks (the file is read as UTF-8)";
            return kArgLineNotRead;
        }
        lines.push_back(std::move(*converted));
    }
    return kArgFileRead;
}

/// Reads a degree-minute value into a field that must still hold its marker.
int readAngle(std::string_view key, std::string& value, double& field, bool nonZero,
              std::string& reason) {
    if (field != kUnsetReal) {
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
    // The text reader yields no negative value; a zero (or anything not
    // positive) would leave the graticule without a step.
    if (nonZero && !(angle > 0)) {
        reason = "value " + shown + " of \"" + std::string(key) + "\" must not be 0";
        return kItemBadValue;
    }
    field = angle;
    return kItemRead;
}

/// Reads a minute division 1..59 into a field that must still hold its marker.
int readMinutes(std::string_view key, std::string& value, int& field, std::string& reason) {
    if (field != kUnsetInt) {
        reason = "key \"" + std::string(key) + "\" given twice";
        return kItemGivenTwice;
    }
    const std::string shown = inQuotes(rtrim(value));
    int minutes = 0;
    if (coordtext::txtMin2Min(value, minutes) != 0 || !(minutes > 0)) {
        reason = "value " + shown + " of \"" + std::string(key) +
                 "\" is not a minute division from 1 to 59";
        return kItemBadValue;
    }
    field = minutes;
    return kItemRead;
}

std::string where(std::string_view fileName, int line) {
    return std::string(fileName) + ", line " + std::to_string(line) + ": ";
}

/// A given bound must lie less than one single sheet beyond its base edge.
bool boundOk(double& field, double base, bool mustBeGreater, double limit, std::string_view key,
             std::string_view side, std::string_view fileName, std::string& reason) {
    if (field < 0) {
        field = base;
        return true;
    }
    if (mustBeGreater ? field > limit : field < limit)
        return true;
    reason = std::string(fileName) + ": \"" + std::string(key) + "\" " + angleText(field) +
             " lies a full sheet size or more beyond the sheet's " + std::string(side) + " edge " +
             angleText(base);
    return false;
}

} // namespace

int readCs(std::string_view value, int& coordSystem) {
    const std::string name = trim(value);
    static constexpr std::array<std::string_view, 4> kNames = {
        "CK-42", // Latin C and K
        "CK-95", // Latin C and K
        "\xC3"
        "CK-2011", // ГCK-2011: Cyrillic Г, Latin CK
        "\xC3"
        "CK-2011 / \xD1\xCA-42", // ГCK-2011 / СК-42: the second СК Cyrillic
    };
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i]) {
            coordSystem = static_cast<int>(i) + 1;
            return 0;
        }
    }
    return 1;
}

int readNomenclature(std::string_view value, JobParameters& job) {
    if (!parseSheetName(value, job)) {
        job.SetScale = kRejected;
        return 1;
    }
    computeBaseParameters(job);
    return 0;
}

int readPath(std::string_view value, std::string& resultPath) {
    const std::string folder = trim(value);
    if (folder.size() < kMinPathLength)
        return 1;
    resultPath = withFolderSeparator(folder);
    return 0;
}

int readScale2(int setScale, std::string_view value, int& mapScale) {
    const std::string scale = trim(value);
    static constexpr std::array<std::string_view, 3> k200 = {"200", "500", "1000"};
    static constexpr std::array<std::string_view, 3> k1000 = {"1000", "2500", "5000"};
    const auto& allowed = setScale == 0 ? k200 : k1000;
    for (size_t i = 0; i < allowed.size(); ++i) {
        if (scale == allowed[i]) {
            mapScale = static_cast<int>(i);
            return 0;
        }
    }
    mapScale = kRejected;
    return 1;
}

int readArg(std::string& line, JobParameters& job, ArgItemState& state, std::string& reason) {
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
        if (readCs(value, job.CoordSystem) != 0) {
            reason = "unknown coordinate system " + shown +
                     " of \"CS\" (known: CK-42, CK-95, ГCK-2011, ГCK-2011 / СК-42, "
                     "the letters C and K before the hyphen Latin)";
            return kItemUnknownKey;
        }
        return kItemRead;
    }
    if (key == "Nom") {
        if (job.SetScale != kUnsetInt)
            return twice();
        if (readNomenclature(value, job) != 0) {
            reason = "sheet name " + shown +
                     " of \"Nom\" is not a sheet of the 1:1 000 000 or 1:200 000 series "
                     "(such as N-37, N37, T-37 (4), N-37-XIV, N3714, N-37-XIV(2))";
            return kItemBadValue;
        }
        return kItemRead;
    }
    if (key == "Path") {
        if (!isBlank(job.ResultPath))
            return twice();
        if (readPath(value, job.ResultPath) != 0) {
            reason = "result folder " + shown + " of \"Path\" is shorter than 3 characters";
            return kItemBadValue;
        }
        return kItemRead;
    }
    if (key == "MapScale") {
        if (job.MapScale != kUnsetInt)
            return twice();
        if (job.SetScale == kUnsetInt) {
            reason = "\"MapScale\" comes before \"Nom\"";
            return kItemScaleBeforeNom;
        }
        if (readScale2(job.SetScale, value, job.MapScale) != 0) {
            reason = "map scale " + shown + " of \"MapScale\" does not fit a " +
                     (job.SetScale == 0 ? "1:200 000 sheet (allowed: 200, 500, 1000)"
                                        : "1:1 000 000 sheet (allowed: 1000, 2500, 5000)");
            return kItemBadValue;
        }
        return kItemRead;
    }
    if (key == "xFrom")
        return readAngle(key, value, job.xFrom, false, reason);
    if (key == "yFrom")
        return readAngle(key, value, job.yFrom, false, reason);
    if (key == "xTo")
        return readAngle(key, value, job.xTo, false, reason);
    if (key == "yTo")
        return readAngle(key, value, job.yTo, false, reason);
    if (key == "ParallelStep")
        return readAngle(key, value, job.ParallelStep, true, reason);
    if (key == "MeridianStep")
        return readAngle(key, value, job.MeridianStep, true, reason);
    if (key == "xMinute")
        return readMinutes(key, value, job.xMinute, reason);
    if (key == "yMinute")
        return readMinutes(key, value, job.yMinute, reason);
    if (key == "SubSheetFrames") {
        if (state.SubSheetFrames != kUnsetInt)
            return twice();
        const std::string flag = trim(value);
        if (flag != "0" && flag != "1") {
            reason = "value " + shown + " of \"SubSheetFrames\" is neither 0 nor 1";
            return kItemBadValue;
        }
        state.SubSheetFrames = flag == "1" ? 1 : 0;
        state.subSheetFramesLine = state.line;
        return kItemRead;
    }
    reason = "unknown key " + inQuotes(key);
    return kItemUnknownKey;
}

int readArgFileContent(std::string_view content, std::string_view fileName, JobParameters& job,
                       std::string& reason) {
    job.CoordSystem = kSK42;
    job.SetScale = job.MapScale = job.xMinute = job.yMinute = kUnsetInt;
    job.xFrom = job.xTo = job.yFrom = job.yTo = job.ParallelStep = job.MeridianStep = kUnsetReal;
    job.ResultPath.clear();

    std::vector<std::string> lines;
    std::string what;
    int badLine = 0;
    if (splitLines(content, lines, what, badLine) != kArgFileRead) {
        reason = where(fileName, badLine) + what;
        return kArgLineNotRead;
    }
    ArgItemState state;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string& line = lines[i];
        state.line = static_cast<int>(i) + 1;
        if (line.size() > kArgLineLength) {
            if (!isBlank(std::string_view(line).substr(kArgLineLength))) {
                reason = where(fileName, state.line) + "line is longer than " +
                         std::to_string(kArgLineLength) + " characters";
                return kArgItemBad;
            }
            line.resize(kArgLineLength);
        }
        while (!isBlank(line)) {
            std::string what;
            if (readArg(line, job, state, what) != kItemRead) {
                reason = where(fileName, state.line) + what;
                return kArgItemBad;
            }
        }
    }

    if (isBlank(job.ResultPath) || job.SetScale == kUnsetInt) {
        reason = std::string(fileName) + ": " +
                 (isBlank(job.ResultPath) ? "\"Path\" is missing" : "\"Nom\" is missing");
        if (isBlank(job.ResultPath) && job.SetScale == kUnsetInt)
            reason = std::string(fileName) + ": \"Nom\" and \"Path\" are missing";
        return kArgRequiredMissing;
    }
    // The sub-sheet frames divide one nominal 1:200 000 sheet.
    if (state.SubSheetFrames == 1 && !(job.SetScale == 0 && job.SheetType == 0)) {
        reason = where(fileName, state.subSheetFramesLine) +
                 "\"SubSheetFrames=1\" needs a single 1:200 000 sheet in \"Nom\"";
        return kArgItemBad;
    }
    job.SubSheetFrames = state.SubSheetFrames == 1;
    if (job.MapScale == kUnsetInt)
        job.MapScale = 0;

    const bool sheet200 = job.SetScale == 0;
    const double lonMargin = sheet200 ? kMargin200Longitude : kMargin1000Longitude;
    const double latMargin = sheet200 ? kMargin200Latitude : kMargin1000Latitude;
    if (!boundOk(job.xFrom, job.BaseWest, true, job.BaseWest - lonMargin, "xFrom", "west", fileName,
                 reason) ||
        !boundOk(job.xTo, job.BaseEast, false, job.BaseEast + lonMargin, "xTo", "east", fileName,
                 reason) ||
        !boundOk(job.yFrom, job.BaseSouth, true, job.BaseSouth - latMargin, "yFrom", "south",
                 fileName, reason) ||
        !boundOk(job.yTo, job.BaseNorth, false, job.BaseNorth + latMargin, "yTo", "north", fileName,
                 reason))
        return kArgResultOutOfRange;

    const auto defaultInt = [](int& field, int base) {
        if (field < 0)
            field = base;
    };
    const auto defaultReal = [](double& field, double base) {
        if (field < 0)
            field = base;
    };
    defaultInt(job.xMinute, job.BaseXMinute);
    defaultInt(job.yMinute, job.BaseYMinute);
    defaultReal(job.ParallelStep, job.BaseParallelStep);
    defaultReal(job.MeridianStep, job.BaseMeridianStep);
    // Written so that NaN fails too: the graticule must never see a step that
    // is not positive.
    if (!(job.xMinute > 0) || !(job.yMinute > 0) || !(job.ParallelStep > 0) ||
        !(job.MeridianStep > 0)) {
        reason = std::string(fileName) + ": a graticule spacing or minute division is 0";
        return kArgResultOutOfRange;
    }
    return kArgFileRead;
}

int createResultFolder(const std::string& resultPath, std::string& reason) {
    const std::string folder = trim(resultPath);
    const fs::path path = fileSystemPath(folder);
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return kArgFileRead;
    fs::create_directories(path, ec);
    if (ec || !fs::is_directory(path, ec)) {
        reason = "cannot create folder " + common::cp1251ToUtf8(folder) + ": " +
                 (ec ? ec.message() : std::string("a file of that name is in the way"));
        return kArgFolderNotCreated;
    }
    return kArgFileRead;
}

int readArgFile(const std::string& argFile, JobParameters& job, std::string& reason) {
    const fs::path path(argFile);
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        reason = argFile + ": is a folder, not an argument file";
        return kArgFileNotOpened;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = argFile + ": cannot open the argument file" +
                 (errno != 0 ? ": " + std::generic_category().message(errno) : std::string());
        return kArgFileNotOpened;
    }
    std::string content;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        content.append(buffer, static_cast<size_t>(in.gcount()));
        if (content.size() > kMaxArgFileBytes) {
            reason = argFile + ": too large for an argument file (more than 16 MiB)";
            return kArgLineNotRead;
        }
    }
    if (in.bad()) {
        reason = argFile + ": cannot read the argument file";
        return kArgLineNotRead;
    }
    if (const int status = readArgFileContent(content, argFile, job, reason))
        return status;
    return createResultFolder(job.ResultPath, reason);
}

} // namespace sheetjob::job
