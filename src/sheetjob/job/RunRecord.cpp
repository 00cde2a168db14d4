#include "sheetjob/job/RunRecord.h"

#include "sheetjob/common/Cp1251.h"

#include <bit>
#include <charconv>
#include <cstring>

namespace sheetjob::job {
namespace {

// The first line names the kind of file, so that nothing else is taken for a record.
constexpr std::string_view kHeader = "sheetjob run record 1";
constexpr std::string_view kState = "state";
constexpr std::string_view kRunning = "running";
constexpr std::string_view kFinished = "finished";
constexpr std::string_view kSheet = "sheet";
constexpr std::string_view kSubSheets = "sub-sheet-frames";
constexpr std::string_view kProject = "project";
// A record is a few short lines; anything larger is not one.
constexpr std::size_t kMaxRecordBytes = 4096;
constexpr int kDigestBase = 16; // the digest is written in hexadecimal

// FNV-1a, 64 bits (Fowler, Noll, Vo): the offset basis and the prime; taken
// here over eight bytes at a time (a project runs to hundreds of kilobytes),
// each word folded back on itself so that its high bytes reach the low ones.
constexpr std::uint64_t kFnvOffsetBasis = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;
constexpr int kFold = 29; // bits a word's product is folded by

} // namespace

std::uint64_t contentDigest(std::string_view content) {
    std::uint64_t digest = kFnvOffsetBasis ^ content.size();
    std::size_t at = 0;
    for (; at + sizeof(std::uint64_t) <= content.size(); at += sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, content.data() + at, sizeof word);
        // Read little-endian, whatever the machine.
        if constexpr (std::endian::native == std::endian::big) {
            std::uint64_t swapped = 0;
            for (std::size_t i = 0; i < sizeof word; ++i)
                swapped = (swapped << 8) | ((word >> (8 * i)) & 0xFF);
            word = swapped;
        }
        digest = (digest ^ word) * kFnvPrime;
        digest ^= digest >> kFold;
    }
    for (; at < content.size(); ++at)
        digest = (digest ^ static_cast<unsigned char>(content[at])) * kFnvPrime;
    return digest;
}

std::string runRecordText(const RunRecord& record) {
    std::string text(kHeader);
    text += '\n';
    text += std::string(kState) + ' ' + std::string(record.finished ? kFinished : kRunning) + '\n';
    text += std::string(kSheet) + ' ' + common::cp1251ToUtf8(record.sheet) + '\n';
    text += std::string(kSubSheets) + ' ' + (record.subSheetFrames ? '1' : '0') + '\n';
    if (!record.project.empty()) {
        char digest[16];
        const auto end =
            std::to_chars(digest, digest + sizeof digest, record.projectDigest, kDigestBase).ptr;
        // The name comes last on its line: it may hold blanks.
        text +=
            std::string(kProject) + ' ' + std::string(digest, end) + ' ' + record.project + '\n';
    }
    return text;
}

std::optional<RunRecord> parseRunRecord(std::string_view text) {
    RunRecord record;
    bool header = false;
    bool state = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt; // cut short: every line ends
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!header) {
            if (line != kHeader)
                return std::nullopt;
            header = true;
            continue;
        }
        const std::size_t blank = line.find(' ');
        const std::string_view key = line.substr(0, blank);
        const std::string_view value =
            blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        if (key == kState) {
            if (value != kRunning && value != kFinished)
                return std::nullopt;
            record.finished = value == kFinished;
            state = true;
        } else if (key == kSheet) {
            const auto sheet = common::utf8ToCp1251(value);
            if (!sheet)
                return std::nullopt;
            record.sheet = *sheet;
        } else if (key == kSubSheets) {
            record.subSheetFrames = value == "1";
        } else if (key == kProject) {
            const std::size_t gap = value.find(' ');
            if (gap == std::string_view::npos || gap + 1 == value.size())
                return std::nullopt;
            const auto [ptr, ec] = std::from_chars(value.data(), value.data() + gap,
                                                   record.projectDigest, kDigestBase);
            if (ec != std::errc() || ptr != value.data() + gap)
                return std::nullopt;
            record.project = std::string(value.substr(gap + 1));
        }
        // Other keys are a later version's: skipped.
    }
    if (!header || !state)
        return std::nullopt;
    return record;
}

std::optional<RunRecord> readRunRecord(const common::Folder& result) {
    std::string text;
    if (!result.readFile(kRunRecordFile, kMaxRecordBytes, text))
        return std::nullopt;
    return parseRunRecord(text);
}

bool writeRunRecord(const common::Folder& result, const RunRecord& record) {
    std::string error;
    return result.writeFile(kRunRecordFile, runRecordText(record), error);
}

} // namespace sheetjob::job
