#pragma once
// kirune-tool's commands. Each command lives in its own file and registers itself here.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace kirune::tool {

struct Command {
    QString name;
    QString usage;                                   // one line: "check FILE"
    std::function<int(const QStringList& args)> run; // args after the command name
    QString help = {};                               // options and limits, shown by --help
};

// Registers a command; use from a file-scope initialiser:
//   static const bool registered = RegisterCommand({...});
bool RegisterCommand(Command command);
const std::vector<Command>& Commands();

// Takes "--semester 1|2|3|year" out of `args`: the comments' period 0..3, -1 when the option
// is absent, -2 when its value is none of those.
int TakeSemesterOption(QStringList& args);

// Writes a line to stderr / stdout (UTF-8).
void PrintError(const QString& line);
void PrintLine(const QString& line);

} // namespace kirune::tool
