#include "sheetjob/job/FileArg.h"
#include "sheetjob/common/Cp1251.h"
#include "sheetjob/job/OutputFolders.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace sheetjob::job {
namespace {

using common::cp1251ToUtf8;
const std::string kSep(1, kFolderSeparator);

struct Read {
    int status;
    JobParameters job;
    std::string reason;
};

Read readContent(const std::string& content) {
    Read r{};
    r.status = readArgFileContent(content, "job.txt", r.job, r.reason);
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
    const JobParameters& j = r.job;
    EXPECT_EQ(j.CoordSystem, 1);
    EXPECT_EQ(j.SetScale, 0);
    EXPECT_EQ(j.MapScale, 0);
    EXPECT_EQ(j.yZone, 8);
    EXPECT_EQ(j.xZone, 37);
    EXPECT_EQ(j.SheetNumber, 14);
    EXPECT_EQ(j.SheetType, 0);
    EXPECT_EQ(j.ResultPath, "D:\\Maps" + kSep);
    EXPECT_EQ(j.xFrom, 37);
    EXPECT_EQ(j.xTo, 38);
    EXPECT_EQ(j.yFrom, j.BaseSouth);
    EXPECT_EQ(j.yTo, j.BaseNorth);
    EXPECT_EQ(j.MeridianStep, 0.25);
    EXPECT_EQ(j.ParallelStep, 1.0 / 6.0);
    EXPECT_EQ(j.xMinute, 1);
    EXPECT_EQ(j.yMinute, 1);
    EXPECT_FALSE(j.SubSheetFrames);
}

TEST(ReadArgFileContent, GivenValuesOverrideTheBase) {
    const Read r = readContent(
        "Nom=N-37-XIV(2); CS=CK-42;\nPath=D:\\Maps; MapScale=500; xMinute=2;\n"
        "xFrom=36\xB0 01'; yTo=55 00; ParallelStep=0\xB0 05'; MeridianStep=0 10'; yMinute=5';"
        "SubSheetFrames=0;\n");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_EQ(r.job.SheetType, 1);
    EXPECT_EQ(r.job.MapScale, 1);
    EXPECT_EQ(r.job.xMinute, 2);
    EXPECT_EQ(r.job.yMinute, 5);
    EXPECT_EQ(r.job.xFrom, 36 + 1.0 / 60);
    EXPECT_EQ(r.job.xTo, 39); // the double sheet's base east edge
    EXPECT_EQ(r.job.yTo, 55);
    EXPECT_EQ(r.job.ParallelStep, 5.0 / 60);
    EXPECT_EQ(r.job.MeridianStep, 10.0 / 60);
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
            EXPECT_EQ(r.job.CoordSystem, c.coordSystem);
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
            EXPECT_EQ(r.job.MapScale, c.mapScale);
        }
    }
}

TEST(ReadScale2, RejectionLeavesTheMarker) {
    int mapScale = 5;
    EXPECT_EQ(readScale2(1, "500", mapScale), 1);
    EXPECT_EQ(mapScale, kRejected);
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
        JobParameters job;
        job.SetScale = kUnsetInt;
        ASSERT_EQ(readNomenclature(c.value, job), 0);
        EXPECT_EQ(job.SetScale, c.setScale);
        EXPECT_EQ(job.yZone, c.yZone);
        EXPECT_EQ(job.xZone, c.xZone);
        EXPECT_EQ(job.SheetNumber, c.sheetNumber);
        EXPECT_EQ(job.SheetType, c.sheetType);
    }
}

TEST(ReadNomenclature, RejectedNamesLeaveTheMarker) {
    const char* rejected[] = {
        "A-37",      "V-37",      "N-37 -XIV", "N37 14", "N-37-xiv", "N-37-XXXVII", "N-37-IIII",
        "N-37-",     "N-61",      "N-32",      "N-00",   "N-03",     "N-37(5)",     "N-37(1)",
        "N-37(2",    "N-37(2) x", "N-37(22)",  "N3737",  "N3700",    "N-3714",      "N37-XIV",
        "N-37-XIVA", "N-7",       "N",         "N-",     "",
        "\xCD-37", // Cyrillic Н
    };
    for (const char* value : rejected) {
        SCOPED_TRACE(cp1251ToUtf8(value));
        JobParameters job;
        job.SetScale = kUnsetInt;
        EXPECT_EQ(readNomenclature(value, job), 1);
        EXPECT_EQ(job.SetScale, kRejected);
    }
}

TEST(ReadNomenclature, EveryRomanNumeralNamesItsSheet) {
    const char* numerals[] = {
        "I",      "II",   "III", "IV",   "V",     "VI",     "VII",   "VIII", "IX",
        "X",      "XI",   "XII", "XIII", "XIV",   "XV",     "XVI",   "XVII", "XVIII",
        "XIX",    "XX",   "XXI", "XXII", "XXIII", "XXIV",   "XXV",   "XXVI", "XXVII",
        "XXVIII", "XXIX", "XXX", "XXXI", "XXXII", "XXXIII", "XXXIV", "XXXV", "XXXVI"};
    for (int n = 1; n <= 36; ++n) {
        JobParameters job;
        const std::string name = std::string("N-37-") + numerals[n - 1];
        SCOPED_TRACE(name);
        ASSERT_EQ(readNomenclature(name, job), 0);
        EXPECT_EQ(job.SheetNumber, n);
        JobParameters compact;
        ASSERT_EQ(
            readNomenclature("N37" + std::string(n < 10 ? "0" : "") + std::to_string(n), compact),
            0);
        EXPECT_EQ(compact.SheetNumber, n);
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
}

// readArg takes one item at a time and leaves the rest of the line.
TEST(ReadArg, RemovesTheItemItRead) {
    JobParameters job;
    job.SetScale = kUnsetInt;
    job.MapScale = kUnsetInt;
    ArgItemState state;
    std::string line = "  Nom=N-37-XIV;Path=D:\\Maps;  ";
    std::string reason;
    ASSERT_EQ(readArg(line, job, state, reason), kItemRead);
    EXPECT_EQ(line, "Path=D:\\Maps;  ");
    ASSERT_EQ(readArg(line, job, state, reason), kItemRead);
    EXPECT_TRUE(line.find_first_not_of(' ') == std::string::npos);
    // A value may hold "=".
    line = "Path=a=b;";
    job.ResultPath.clear();
    ASSERT_EQ(readArg(line, job, state, reason), kItemRead);
    EXPECT_EQ(job.ResultPath, "a=b" + kSep);
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
        JobParameters job;
        job.SetScale = job.MapScale = job.xMinute = kUnsetInt;
        ArgItemState state;
        std::string line = c.line, reason;
        EXPECT_EQ(readArg(line, job, state, reason), c.status);
        EXPECT_FALSE(reason.empty());
    }
}

// UTF-8 files are converted; other bytes are taken as Windows-1251.
TEST(ReadArgFileContent, Encodings) {
    // UTF-8 with a byte-order mark and the degree sign.
    Read r = readContent("\xEF\xBB\xBFNom=N-37-XIV;Path=\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B;"
                         "xFrom=37\xC2\xB0 15';");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_EQ(r.job.ResultPath, "\xEA\xE0\xF0\xF2\xFB" + kSep); // карты in Windows-1251
    EXPECT_EQ(r.job.xFrom, 37.25);
    // The same in Windows-1251.
    r = readContent("Nom=N-37-XIV;Path=\xEA\xE0\xF0\xF2\xFB;xFrom=37\xB0 15';");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_EQ(r.job.ResultPath, "\xEA\xE0\xF0\xF2\xFB" + kSep);
    EXPECT_EQ(r.job.xFrom, 37.25);
    // UTF-8 coordinate-system name.
    r = readContent("CS=\xD0\x93"
                    "CK-2011 / \xD0\xA1\xD0\x9A-42;Nom=N-37;Path=abc;");
    ASSERT_EQ(r.status, 0) << r.reason;
    EXPECT_EQ(r.job.CoordSystem, 4);
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
    JobParameters job;
    std::string reason;
    EXPECT_EQ(readArgFile(dir / "missing.txt", job, reason), kArgFileNotOpened);
    EXPECT_NE(reason.find("missing.txt"), std::string::npos);
    EXPECT_EQ(readArgFile(dir.path().string(), job, reason), kArgFileNotOpened);
    EXPECT_NE(reason.find("is a folder"), std::string::npos);
}

// A missing result folder is made with its parents; one that cannot be made is status 7.
TEST(ReadArgFile, MakesTheResultFolder) {
    testing::TempDir dir;
    const std::string result = dir / "maps/N-37/XIV";
    testing::writeFile(dir.path() / "job.txt", "Nom=N-37-XIV;\nPath=" + result + ";\n");
    JobParameters job;
    std::string reason;
    ASSERT_EQ(readArgFile(dir / "job.txt", job, reason), 0) << reason;
    EXPECT_TRUE(std::filesystem::is_directory(result));
    EXPECT_EQ(readArgFile(dir / "job.txt", job, reason), 0) << reason; // present: nothing to do

    testing::writeFile(dir.path() / "blocker", "a file where a folder should go");
    testing::writeFile(dir.path() / "job2.txt",
                       "Nom=N-37-XIV;\nPath=" + (dir / "blocker/sub") + ";\n");
    EXPECT_EQ(readArgFile(dir / "job2.txt", job, reason), kArgFolderNotCreated);
    EXPECT_NE(reason.find("cannot create folder"), std::string::npos) << reason;
}

TEST(ReadArgFile, Windows1251PathBecomesAUtf8FolderName) {
    testing::TempDir dir;
    testing::writeFile(dir.path() / "job.txt",
                       "Nom=N-37-XIV;\nPath=" + (dir / "") + "\xEA\xE0\xF0\xF2\xFB;\n"); // карты
    JobParameters job;
    std::string reason;
    ASSERT_EQ(readArgFile(dir / "job.txt", job, reason), 0) << reason;
    EXPECT_TRUE(
        std::filesystem::is_directory(dir.path() / "\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B"));
}

} // namespace
} // namespace sheetjob::job
