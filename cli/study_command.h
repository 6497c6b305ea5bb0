#pragma once
// korvane-cli study: the rows of a study file (project/study.h) computed one after
// another and written as one CSV table, or one shard of it, so that a batch system can
// split a study and the shards' files, concatenated in order, are the whole table.

#include <string>

namespace korvane::cli {

struct StudyOptions {
    std::string studyPath;
    std::string out;     // the CSV file; "-" for standard output
    std::string shard;   // "I/N"; empty: the whole study
    bool quiet = false;
    bool progress = true;
};

// Exit status 0 when every row was computed, 3 when some failed (their messages are in
// the error column), 130 when stopped.
int runStudy(const StudyOptions& options);

}  // namespace korvane::cli
