// rekendo-class, the teacher's command: makes the class database's schema and roles, adds
// learners, and prints the class table. See packaging/man/rekendo-class.1.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace rekendo::classroom {

// Runs the command line `args` (without the program name); writes results to `out` and
// messages to `err`, both UTF-8. `env_db` is $REKENDO_CLASS. Exit status: 0 done, 1 the
// database failed or refused, 2 a wrong command line or input file.
int RunClassCli(const std::vector<std::string>& args, const std::string& env_db, std::ostream& out,
                std::ostream& err);

// The width of UTF-8 text on a terminal: East Asian wide characters count two.
int DisplayWidth(const std::string& utf8);

// Fields of one CSV record (RFC 4180: quotes, doubled quotes inside).
std::vector<std::string> SplitCsvLine(const std::string& line);

}  // namespace rekendo::classroom
