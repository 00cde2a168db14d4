#include "sheetjob/job/FileArg.h"
#include "sheetjob/common/Cp1251.h"
#include "sheetjob/job/OutputFolders.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace sheetjob::job {
namespace {

using common::cp1251ToUtf8;
const std::string kSep(1, kFolderSeparator);

struct Read {
    int status;
    model::Job job;
    std::string reason;
};

Read readContent(const std::string& content) {
    Read r{};
    if (const auto failure = readArgFileContent(content, "job.txt", r.job)) {
        r.status = failure->status;
        r.reason = failure->reason;
    }
    return r;
}

Read readFile(const std::string& file) {
    Read r{};
    if (const auto failure = readArgFile(file, r.job)) {
        r.status = failure->status;
        r.reason = failure->reason;
    }
    return r;
}

// Statuses of whole files: each line of the table is one argument file.
TEST(ReadArgFileContent, StatusesOfWholeFiles) {
    struct Case {
        const char* name;
        std::string content;
        int status;
        const char* reason; // expected part of the one-line reason ("" = none)
    };
    const Case cases[] = {
        {"example", "Nom=N-37-XIV; CS=CK-42; Path=out/N-37-XIV;\n", 0, ""},
        {"items over two lines",
         "Nom=N-37-XIV(2); CS=CK-42;\nPath=D:\\Maps; MapScale=500; xMinute=2;\n", 0, ""},
        {"blank lines and CR LF", "\r\n   \r\nNom=N-37-XIV;\r\n\r\nPath=abc;\r\n", 0, ""},
        {"no final newline", "Nom=N-37-XIV;Path=abc;", 0, ""},
        {"blanks around keys and values", "  Nom  =  N-37-XIV  ;  Path = abc ;", 0, ""},
        {"CS given twice: the later wins", "CS=CK-42;CS=CK-95;Nom=N-37;Path=abc;", 0, ""},
        {"empty file", "", 5, "\"Nom\" and \"Path\" are missing"},
        {"Path missing", "Nom=N-37-XIV;\n", 5, "job.txt: \"Path\" is missing"},
        {"Nom missing", "Path=abc;\n", 5, "job.txt: \"Nom\" is missing"},
        {"unknown key (case matters)", "Path=abc;\nnom=N-37-XIV;\n", 4,
         "job.txt, line 2: unknown key \"nom\""},
        {"a stray carriage return is shown escaped", "Nom=N-37;\rPath=abc;\n", 4,
         "unknown key \"\\x0DPath\""},
        {"last item without ;", "Nom=N-37-XIV; Path=abc\n", 4,
         "line 1: item \"Path=abc\" does not end with \";\""},
        {"no =", "Nom N-37-XIV;\n", 4, "has no \"=\""},
        {"= after ;", "Nomx;Path=abc;\n", 4, "has no \"=\""},
        {"fewer than three characters before ;", "a=;\n", 4, "is too short"},
        {"empty value", "Nom=   ;\n", 4, "has an empty value"},
        {"empty key", "=N-37-XIV;\n", 4, "line 1"},
        {"Nom twice", "Nom=N-37;Nom=N-37;Path=abc;", 4, "key \"Nom\" given twice"},
        {"Path twice", "Path=abc;Path=abc;Nom=N-37;", 4, "key \"Path\" given twice"},
        {"MapScale before Nom", "MapScale=1000;Nom=N-37;Path=abc;", 4,
         "\"MapScale\" comes before \"Nom\""},
        {"MapScale twice", "Nom=N-37;MapScale=1000;MapScale=1000;Path=abc;", 4, "given twice"},
        {"MapScale 500 on 1:1 000 000", "Nom=N-37;MapScale=500;Path=abc;", 4,
         "(allowed: 1000, 2500, 5000)"},
        {"xFrom twice", "Nom=N-37;xFrom=36;xFrom=36;Path=abc;", 4, "\"xFrom\" given twice"},
        {"xMinute 0", "Nom=N-37;Path=abc;xMinute=0;", 4, "\"xMinute\" is not a minute division"},
        {"xMinute 60", "Nom=N-37;Path=abc;xMinute=60';", 4, "\"xMinute\""},
        {"MeridianStep 0", "Nom=N-37;Path=abc;MeridianStep=0;", 4,
         "\"MeridianStep\" must not be 0"},
        {"ParallelStep 0 deg 0 min", "Nom=N-37;Path=abc;ParallelStep=0\xB0 00';", 4,
         "must not be 0"},
        {"negative bound", "Nom=N-37;Path=abc;xFrom=-36;", 4,
         "\"xFrom\" is not a degree-minute text"},
        {"decimal bound", "Nom=N-37;Path=abc;yTo=56.5;", 4, "\"yTo\""},
        // Nothing after the minute sign is dropped silently.
        {"seconds after the minutes", "Nom=N-37-XIV;Path=abc;xFrom=37\xB0 30'45\";", 4,
         "\"xFrom\" has \"45\"\" after the minute sign"},
        {"a letter after the minutes", "Nom=N-37;Path=abc;yTo=56 00' N;", 4, "has \"N\""},
        {"text after a division", "Nom=N-37;Path=abc;xMinute=5'junk;", 4,
         "\"xMinute\" has \"junk\""},
        {"text after a spacing", "Nom=N-37;Path=abc;MeridianStep=0 15'x;", 4, "has \"x\""},
        {"blanks after the minute sign", "Nom=N-37-XIV;Path=abc;xFrom=37\xB0 30'  ;xMinute=5' ;", 0,
         ""},
        {"Cyrillic CS as the dialog shows it", "CS=\xD1\xCA-42;Nom=N-37;Path=abc;", 4,
         "unknown coordinate system \"СК-42\""},
        {"bad sheet name", "Nom=N-61;Path=abc;", 4, "sheet name \"N-61\""},
        {"short Path", "Nom=N-37;Path=ab;", 4, "shorter than 3 characters"},
        {"reading stops at the first bad item", "Nom=N-37;\nbad;\nPath=abc;", 4, "line 2"},
        {"xFrom a full sheet west", "Nom=N-37-XIV;Path=abc;xFrom=36;", 6, "\"xFrom\" 36° 00'"},
        {"xTo a full sheet east", "Nom=N-37-XIV;Path=abc;xTo=39;", 6, "\"xTo\""},
        {"yFrom a full sheet south", "Nom=N-37-XIV;Path=abc;yFrom=53 20;", 6, "\"yFrom\""},
        {"yTo a full sheet north", "Nom=N-37-XIV;Path=abc;yTo=55\xB0 20';", 6, "\"yTo\""},
        {"1:1 000 000 margins are 6 and 4 degrees", "Nom=N-37;Path=abc;xFrom=30;", 6, "\"xFrom\""},
        {"1:1 000 000 latitude margin", "Nom=N-37;Path=abc;yTo=60;", 6, "\"yTo\""},
        {"combined sheets keep single-sheet margins", "Nom=N-37-XIV(2);Path=abc;xTo=40;", 6,
         "\"xTo\""},
        {"SubSheetFrames on a single 1:200 000 sheet", "Nom=N-37-XIV;Path=abc;SubSheetFrames= 1 ;",
         0, ""},
        {"SubSheetFrames 0 anywhere", "SubSheetFrames=0;Nom=T-37(4);Path=abc;", 0, ""},
        {"SubSheetFrames on 1:1 000 000", "Nom=N-37;\nPath=abc;SubSheetFrames=1;", 4,
         "line 2: \"SubSheetFrames=1\" needs a single 1:200 000 sheet"},
        {"SubSheetFrames on a double sheet", "Nom=N-37-XIV(2);Path=abc;SubSheetFrames=1;", 4,
         "single 1:200 000"},
        {"SubSheetFrames twice", "Nom=N-37-XIV;Path=abc;SubSheetFrames=0;SubSheetFrames=0;", 4,
         "given twice"},
        {"SubSheetFrames not 0 or 1", "Nom=N-37-XIV;Path=abc;SubSheetFrames=yes;", 4,
         "neither 0 nor 1"},
        {"missing Path comes before the SubSheetFrames rule", "Nom=N-37;SubSheetFrames=1;", 5,
         "\"Path\" is missing"},
        {"QgisFiles 0", "Nom=N-37;Path=abc;QgisFiles=0;", 0, ""},
        {"QgisFiles twice", "Nom=N-37;Path=abc;QgisFiles=1;QgisFiles=1;", 4, "given twice"},
        {"QgisFiles not 0 or 1", "Nom=N-37;Path=abc;QgisFiles=no;", 4, "neither 0 nor 1"},
        {"a NUL in Path", std::string("Nom=N-37;Path=abc\0;", 19), 4,
         "\"abc\\x00\" of \"Path\" holds a control character"},
        {"an escape in Path", "Nom=N-37;Path=ab\x1B[2Jc;", 4, "holds a control character"},
        {"a tab in Path", "Nom=N-37;Path=a\tb;", 4, "holds a control character"},
        {"a delete in Path", "Nom=N-37;Path=abc\x7F;", 4, "holds a control character"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = readContent(c.content);
        EXPECT_EQ(r.status, c.status);
        if (*c.reason) {
            EXPECT_NE(r.reason.find(c.reason), std::string::npos) << r.reason;
        } else {
            EXPECT_EQ(r.reason, "");
        }
        EXPECT_EQ(r.reason.find('\n'), std::string::npos);
    }
}

// Only "Nom" and "Path": the base trapezium, the default graticule, MapScale 0.
TEST(ReadArgFileContent, DefaultsComeFromTheBaseTrapezium) {
    const Read r = readContent("Nom=N-37-XIV; Path=D:\\Maps;\n");
    ASSERT_EQ(r.status, 0) << r.reason;
    const model::Job& j = r.job;
    EXPECT_EQ(j.coordSystem.code(), 1);
    EXPECT_EQ(j.sheet.setScale, 0);
    EXPECT_EQ(j.mapScale, 0);
    EXPECT_EQ(j.sheet.yZone, 8);
    EXPECT_EQ(j.sheet.xZone, 37);
    EXPECT_EQ(j.sheet.sheetNumber, 14);
    EXPECT_EQ(j.sheet.sheetType, 0);
    EXPECT_EQ(j.resultFolder, "D:\\Maps" + kSep);
    EXPECT_EQ(j.result.west, 37);
    EXPECT_EQ(j.result.east, 38);
    EXPECT_EQ(j.result.south, j.base().south);
    EXPECT_EQ(j.result.north, j.base().north);
    EXPECT_EQ(j.graticule.meridianStep, 0.25);
    EXPECT_EQ(j.graticule.parallelStep, 1.0 / 6.0);
    EXPECT_EQ(j.graticule.xMinute, 1);
    EXPECT_EQ(j.graticule.yMinute, 1);
    EXPECT_FALSE(j.subSheetFrames);
    EXPECT_TRUE(j.qgisFiles);
}

TEST(ReadArgFileContent, GivenValuesOverrideTheBase) {
    const Read r = readContent(
        "Nom=N-37-XIV(2); CS=CK-42;\nPath=D:\\Maps; MapScale=500; xMinute=2;\n"
        "xFrom=36\xB0 01'; yTo=55 00; ParallelStep=0\xB0 05'; MeridianStep=0 10'; yMinute=5';"
        "SubSheetFrames=0;\n");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_EQ(r.job.sheet.sheetType, 1);
    EXPECT_EQ(r.job.mapScale, 1);
    EXPECT_EQ(r.job.graticule.xMinute, 2);
    EXPECT_EQ(r.job.graticule.yMinute, 5);
    EXPECT_EQ(r.job.result.west, 36 + 1.0 / 60);
    EXPECT_EQ(r.job.result.east, 39); // the double sheet's base east edge
    EXPECT_EQ(r.job.result.north, 55);
    EXPECT_EQ(r.job.graticule.parallelStep, 5.0 / 60);
    EXPECT_EQ(r.job.graticule.meridianStep, 10.0 / 60);
}

// The bound must lie strictly within one single sheet of the base edge.
TEST(ReadArgFileContent, BoundsJustInsideTheMarginAreAccepted) {
    const char* accepted[] = {
        "xFrom=36\xB0 01';", "xTo=38\xB0 59';", "yFrom=53\xB0 21';", "yTo=55\xB0 19';",
        "xFrom=40;",         "xTo=30;"}; // the order of the bounds is not checked
    for (const char* item : accepted) {
        SCOPED_TRACE(item);
        const Read r = readContent(std::string("Nom=N-37-XIV;Path=abc;") + item);
        EXPECT_EQ(r.status, 0) << r.reason;
    }
}

TEST(ReadArgFileContent, CoordinateSystemNames) {
    struct Case {
        std::string value;
        int status, coordSystem;
    };
    const Case cases[] = {
        {"CK-42", 0, 1},
        {"CK-95", 0, 2},
        {"\xC3"
         "CK-2011",
         0, 3},
        {"\xC3"
         "CK-2011 / \xD1\xCA-42",
         0, 4},
        {"  CK-95  ", 0, 2},
        {"\xD1\xCA-42", 4, 0},       // all-Cyrillic СК-42
        {"\xC3\xD1\xCA-2011", 4, 0}, // all-Cyrillic ГСК-2011
        {"ck-42", 4, 0},
        {"CK-42 ", 0, 1},
        {"GCK-2011", 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(cp1251ToUtf8(c.value));
        const Read r = readContent("CS=" + c.value + ";Nom=N-37;Path=abc;");
        EXPECT_EQ(r.status, c.status);
        if (c.status == 0) {
            EXPECT_EQ(r.job.coordSystem.code(), c.coordSystem);
        }
    }
}

TEST(ReadArgFileContent, MapScaleDependsOnTheSet) {
    struct Case {
        const char* nom;
        const char* value;
        int status, mapScale;
    };
    const Case cases[] = {
        {"N-37-XIV", "200", 0, 0},  {"N-37-XIV", "500", 0, 1},  {"N-37-XIV", "1000", 0, 2},
        {"N-37-XIV", "2500", 4, 0}, {"N-37-XIV", "5000", 4, 0}, {"N-37", "1000", 0, 0},
        {"N-37", "2500", 0, 1},     {"N-37", "5000", 0, 2},     {"N-37", "500", 4, 0},
        {"N-37", "200", 4, 0},      {"N-37", "01000", 4, 0},    {"N-37", " 1000 ", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.nom) + " " + c.value);
        const Read r =
            readContent(std::string("Nom=") + c.nom + ";MapScale=" + c.value + ";Path=abc;");
        EXPECT_EQ(r.status, c.status);
        if (c.status == 0) {
            EXPECT_EQ(r.job.mapScale, c.mapScale);
        }
    }
}

TEST(ReadScale2, RejectionLeavesTheValue) {
    int mapScale = 5;
    EXPECT_EQ(readScale2(1, "500", mapScale), 1);
    EXPECT_EQ(mapScale, 5);
}

// Sheet names of the 1:1 000 000 and 1:200 000 series, combined sheets included.
TEST(ReadNomenclature, AcceptedNames) {
    struct Case {
        const char* value;
        int setScale, yZone, xZone, sheetNumber, sheetType;
    };
    const Case cases[] = {
        {"N-37", 1, 8, 37, 0, 0},         {"N37", 1, 8, 37, 0, 0},
        {"n37", 1, 8, 37, 0, 0},          {"T-37 (4)", 1, 2, 37, 0, 3},
        {"N-37-XIV", 0, 8, 37, 14, 0},    {"N3714", 0, 8, 37, 14, 0},
        {"N-37-XIV(2)", 0, 8, 37, 14, 1}, {"N-37-XIV ( 3 )  ", 0, 8, 37, 14, 2},
        {"  U-01", 1, 1, 1, 0, 0},        {"K-02-XXXVI", 0, 11, 2, 36, 0},
        {"K-60-I", 0, 11, 60, 1, 0},      {"M-33-IV", 0, 9, 33, 4, 0},
        {"M3301(2)", 0, 9, 33, 1, 1},     {"N-37(3)", 1, 8, 37, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        nomenclature::Sheet sheet;
        ASSERT_EQ(readNomenclature(c.value, sheet), 0);
        EXPECT_EQ(sheet.setScale, c.setScale);
        EXPECT_EQ(sheet.yZone, c.yZone);
        EXPECT_EQ(sheet.xZone, c.xZone);
        EXPECT_EQ(sheet.sheetNumber, c.sheetNumber);
        EXPECT_EQ(sheet.sheetType, c.sheetType);
    }
}

TEST(ReadNomenclature, RejectedNamesLeaveTheSheet) {
    const char* rejected[] = {
        "A-37",      "V-37",      "N-37 -XIV", "N37 14", "N-37-xiv", "N-37-XXXVII", "N-37-IIII",
        "N-37-",     "N-61",      "N-32",      "N-00",   "N-03",     "N-37(5)",     "N-37(1)",
        "N-37(2",    "N-37(2) x", "N-37(22)",  "N3737",  "N3700",    "N-3714",      "N37-XIV",
        "N-37-XIVA", "N-7",       "N",         "N-",     "",
        "\xCD-37", // Cyrillic Н
    };
    for (const char* value : rejected) {
        SCOPED_TRACE(cp1251ToUtf8(value));
        nomenclature::Sheet sheet{7, 7, 7, 7, 7};
        EXPECT_EQ(readNomenclature(value, sheet), 1);
        EXPECT_EQ(sheet.setScale, 7);
    }
}

TEST(ReadNomenclature, EveryRomanNumeralNamesItsSheet) {
    const char* numerals[] = {
        "I",      "II",   "III", "IV",   "V",     "VI",     "VII",   "VIII", "IX",
        "X",      "XI",   "XII", "XIII", "XIV",   "XV",     "XVI",   "XVII", "XVIII",
        "XIX",    "XX",   "XXI", "XXII", "XXIII", "XXIV",   "XXV",   "XXVI", "XXVII",
        "XXVIII", "XXIX", "XXX", "XXXI", "XXXII", "XXXIII", "XXXIV", "XXXV", "XXXVI"};
    for (int n = 1; n <= 36; ++n) {
        nomenclature::Sheet sheet;
        const std::string name = std::string("N-37-") + numerals[n - 1];
        SCOPED_TRACE(name);
        ASSERT_EQ(readNomenclature(name, sheet), 0);
        EXPECT_EQ(sheet.sheetNumber, n);
        nomenclature::Sheet compact;
        ASSERT_EQ(
            readNomenclature("N37" + std::string(n < 10 ? "0" : "") + std::to_string(n), compact),
            0);
        EXPECT_EQ(compact.sheetNumber, n);
    }
}

TEST(ReadPath, NativeSeparatorIsAppendedOnce) {
    std::string path;
    EXPECT_EQ(readPath("  abc  ", path), 0);
    EXPECT_EQ(path, "abc" + kSep);
    EXPECT_EQ(readPath("abc" + kSep, path), 0);
    EXPECT_EQ(path, "abc" + kSep);
    const std::string longPath = "/" + std::string(400, 'a'); // no cut at 260 characters
    EXPECT_EQ(readPath(longPath, path), 0);
    EXPECT_EQ(path, longPath + kSep);
    path = "unchanged";
    EXPECT_EQ(readPath(" ab ", path), 1);
    EXPECT_EQ(path, "unchanged");
    EXPECT_EQ(readPath(std::string("abc\0def", 7), path), 1);
    EXPECT_EQ(readPath("abc\rdef", path), 1);
    EXPECT_EQ(path, "unchanged");
}

// readArg takes one item at a time and leaves the rest of the line.
TEST(ReadArg, RemovesTheItemItRead) {
    ArgValues values;
    std::string line = "  Nom=N-37-XIV;Path=D:\\Maps;  ";
    std::string reason;
    ASSERT_EQ(readArg(line, values, reason), kItemRead);
    EXPECT_EQ(line, "Path=D:\\Maps;  ");
    ASSERT_EQ(readArg(line, values, reason), kItemRead);
    EXPECT_TRUE(line.find_first_not_of(' ') == std::string::npos);
    // A value may hold "=".
    line = "Path=a=b;";
    values.resultFolder.reset();
    ASSERT_EQ(readArg(line, values, reason), kItemRead);
    EXPECT_EQ(values.resultFolder, "a=b" + kSep);
}

TEST(ReadArg, InternalStatuses) {
    struct Case {
        const char* line;
        int status;
    };
    const Case cases[] = {
        {"Nom=N-37", kItemMalformed},  {"ab;", kItemMalformed},
        {"=abc;", kItemMalformed},     {"Nom=  ;", kItemMalformed},
        {"Key=1;", kItemUnknownKey},   {"CS=CK-4;", kItemUnknownKey},
        {"Nom=X-1;", kItemBadValue},   {"MapScale=200;", kItemScaleBeforeNom},
        {"xMinute=0;", kItemBadValue},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ArgValues values;
        std::string line = c.line, reason;
        EXPECT_EQ(readArg(line, values, reason), c.status);
        EXPECT_FALSE(reason.empty());
    }
}

// UTF-8 files are converted; other bytes are taken as Windows-1251.
TEST(ReadArgFileContent, Encodings) {
    // UTF-8 with a byte-order mark and the degree sign.
    Read r = readContent("\xEF\xBB\xBFNom=N-37-XIV;Path=\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B;"
                         "xFrom=37\xC2\xB0 15';");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_EQ(r.job.resultFolder, "\xEA\xE0\xF0\xF2\xFB" + kSep); // карты in Windows-1251
    EXPECT_EQ(r.job.result.west, 37.25);
    // The same in Windows-1251.
    r = readContent("Nom=N-37-XIV;Path=\xEA\xE0\xF0\xF2\xFB;xFrom=37\xB0 15';");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_EQ(r.job.resultFolder, "\xEA\xE0\xF0\xF2\xFB" + kSep);
    EXPECT_EQ(r.job.result.west, 37.25);
    // UTF-8 coordinate-system name.
    r = readContent("CS=\xD0\x93"
                    "CK-2011 / \xD0\xA1\xD0\x9A-42;Nom=N-37;Path=abc;");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_EQ(r.job.coordSystem.code(), 4);
    // A character Windows-1251 lacks (CJK) refuses the file, naming the line.
    r = readContent("Nom=N-37;\nPath=\xE5\x9C\xB0\xE5\x9B\xBE;");
    EXPECT_EQ(r.status, kArgLineNotRead);
    EXPECT_NE(r.reason.find("line 2"), std::string::npos) << r.reason;
    // A lone byte-order mark is an empty file.
    r = readContent("\xEF\xBB\xBF");
    EXPECT_EQ(r.status, kArgRequiredMissing);
}

// The 1000-character limit counts characters after conversion.
TEST(ReadArgFileContent, LongLines) {
    const std::string item = "Nom=N-37-XIV;Path=abc;";
    const std::string blanksTo1000(1000 - item.size(), ' ');
    EXPECT_EQ(readContent(item + blanksTo1000 + std::string(500, ' ')).status, 0);
    const Read cut = readContent(item + blanksTo1000 + "xMinute=2;");
    EXPECT_EQ(cut.status, kArgItemBad);
    EXPECT_NE(cut.reason.find("line 1: line is longer than 1000 characters"), std::string::npos)
        << cut.reason;
    // 975 two-byte UTF-8 letters make a line of 995 characters (1970 bytes): within the limit.
    std::string utf8Path;
    for (int i = 0; i < 1000 - 6 - 5 - 14; ++i)
        utf8Path += "\xD0\xB0"; // а
    const Read converted = readContent("Nom=N-37-XIV; Path=" + utf8Path + ";");
    EXPECT_EQ(converted.status, 0) << converted.reason;
}

TEST(ReadArgFile, FileProblems) {
    testing::TempDir dir;
    Read r = readFile(dir / "missing.txt");
    EXPECT_EQ(r.status, kArgFileNotOpened);
    EXPECT_NE(r.reason.find("missing.txt"), std::string::npos);
    r = readFile(dir.path().string());
    EXPECT_EQ(r.status, kArgFileNotOpened);
    EXPECT_NE(r.reason.find("is a folder"), std::string::npos);
    // A FIFO or a device is refused at once instead of being waited on or read.
#ifdef _WIN32
    const std::vector<std::string> special = {"NUL"};
#else
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    const std::vector<std::string> special = {dir / "fifo", "/dev/null"};
#endif
    for (const std::string& file : special) {
        r = readFile(file);
        EXPECT_EQ(r.status, kArgFileNotOpened) << file;
        EXPECT_NE(r.reason.find("not a regular file"), std::string::npos) << r.reason;
    }
    // A name with a newline is shown escaped, on one line.
    r = readFile(dir / "new\nline.txt");
    EXPECT_NE(r.reason.find("new\\x0Aline.txt"), std::string::npos) << r.reason;
    EXPECT_EQ(r.reason.find('\n'), std::string::npos);
}

// Lines are read one at a time: a long file of blank lines costs no memory,
// and a file of many lines is read to its end.
TEST(ReadArgFile, ManyLinesAreStreamed) {
    testing::TempDir dir;
    std::string content(3u << 20, '\n');
    content += "Nom=N-37;\r\n" + std::string(5000, ' ') + "\r\nPath=" + (dir / "out") + ";\n";
    testing::writeFile(dir.path() / "job.txt", content);
    const Read r = readFile(dir / "job.txt");
    EXPECT_EQ(r.status, 0) << r.reason;
    EXPECT_EQ(r.job.sheet.nomenclature(), "N-37");
}

// A missing result folder is made with its parents; one that cannot be made is status 7.
TEST(ReadArgFile, MakesTheResultFolder) {
    testing::TempDir dir;
    const std::string result = dir / "maps/N-37/XIV";
    testing::writeFile(dir.path() / "job.txt", "Nom=N-37-XIV;\nPath=" + result + ";\n");
    Read r = readFile(dir / "job.txt");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_TRUE(std::filesystem::is_directory(result));
    r = readFile(dir / "job.txt"); // present: nothing to do
    EXPECT_EQ(r.status, 0) << r.reason;

    testing::writeFile(dir.path() / "blocker", "a file where a folder should go");
    testing::writeFile(dir.path() / "job2.txt",
                       "Nom=N-37-XIV;\nPath=" + (dir / "blocker/sub") + ";\n");
    r = readFile(dir / "job2.txt");
    EXPECT_EQ(r.status, kArgFolderNotCreated);
    EXPECT_NE(r.reason.find("cannot create folder"), std::string::npos) << r.reason;
}

TEST(ReadArgFile, Windows1251PathBecomesAUtf8FolderName) {
    testing::TempDir dir;
    testing::writeFile(dir.path() / "job.txt",
                       "Nom=N-37-XIV;\nPath=" + (dir / "") + "\xEA\xE0\xF0\xF2\xFB;\n"); // карты
    const Read r = readFile(dir / "job.txt");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_TRUE(
        std::filesystem::is_directory(dir.path() / testing::fromUtf8("\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B")));
}

} // namespace
} // namespace sheetjob::job
