// The line a failed job of a series writes: it names the job's file once.

#include "sheetjob/job/CommandLine.h"

#include <gtest/gtest.h>

namespace sheetjob::job {
namespace {

TEST(CommandLine, SeriesLineNamesItsFileOnce) {
    struct Case {
        const char* name;
        const char* line;
        const char* file;
        const char* expected;
    };
    const Case cases[] = {
        {"reader, with line", "sheetjob: a.txt, line 2: unknown key \"nom\"", "a.txt",
         "sheetjob: a.txt, line 2: unknown key \"nom\""},
        {"reader, whole file", "sheetjob: a.txt: \"Path\" is missing", "a.txt",
         "sheetjob: a.txt: \"Path\" is missing"},
        {"missing file", "sheetjob: argument file \"a.txt\" not found (usage: x)", "a.txt",
         "sheetjob: argument file \"a.txt\" not found (usage: x)"},
        {"folder", "sheetjob: cannot create folder out/HYPS: Permission denied", "a.txt",
         "sheetjob: a.txt: cannot create folder out/HYPS: Permission denied"},
        {"layer", "sheetjob: layer HypsA: cannot create", "dir/a.txt",
         "sheetjob: dir/a.txt: layer HypsA: cannot create"},
        {"name that only begins the reader's", "sheetjob: job.txt: \"Nom\" is missing", "job",
         "sheetjob: job: job.txt: \"Nom\" is missing"},
        {"another file's missing-file line", "sheetjob: argument file \"b\" not found", "a.txt",
         "sheetjob: a.txt: argument file \"b\" not found"},
        {"not a message of the program", "something else", "a.txt", "something else"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(namedForSeries(c.line, c.file), c.expected);
    }
}

} // namespace
} // namespace sheetjob::job
