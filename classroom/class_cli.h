// rekendo-class, the teacher's command: makes the class database's schema and roles, adds
// learners, and prints the class table. See packaging/man/rekendo-class.1.
#pragma once

#include <optional>
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

// Fields of one CSV record (RFC 4180: quotes, doubled quotes inside); nothing for a record
// whose quote is never closed.
std::optional<std::vector<std::string>> SplitCsvLine(const std::string& line);

// Text from the database made safe for a terminal: control characters (a newline, ESC and
// the rest of C0 and C1, DEL) and the marks that reorder a line are shown as \x.. / \u....
std::string ForTerminal(const std::string& utf8);

// One CSV field for a spreadsheet: quoted when needed, and a field that would begin with
// = + - @ (or a tab or CR) is led by ' so that no program takes it for a formula.
std::string CsvField(const std::string& field);

}  // namespace rekendo::classroom
