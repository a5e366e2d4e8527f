// kirune-tool check FILE: reads FILE as a grade book and says whether it reads completely.
// kirune-tool resave IN OUT: reads IN and saves it to OUT the way the Save command saves (the
// old OUT becomes its backup), holding OUT's lock as Open does.
#include "commands.h"
#include "model/gradebook.h"
#include "model/gradebookfile.h"
#include "model/outputplace.h"

#include <QDir>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune::tool {

namespace {

// A grade book as the program has it right after start-up, then read from `path`.
std::unique_ptr<GradeBook> ReadBook(const QString& path) {
    auto book = std::make_unique<GradeBook>(); // large: keep it off the stack
    ResetGradeBook(*book);
    QString error;
    if (!ReadGradeBookFile(path, *book, &error)) {
        PrintError(error);
        return nullptr;
    }
    return book;
}

int RunCheck(const QStringList& args) {
    if (args.size() != 1) {
        PrintError(QStringLiteral("usage: kirune-tool check FILE"));
        return 2;
    }
    const auto book = ReadBook(args.at(0));
    if (!book)
        return 1;
    // The class texts and the pupils counted, as the heading above the grid shows them.
    PrintLine(QDir::toNativeSeparators(args.at(0)) + QStringLiteral(": ") + HomeRoomHeading(*book));
    return 0;
}

int RunResave(const QStringList& args) {
    if (args.size() != 2) {
        PrintError(QStringLiteral("usage: kirune-tool resave IN OUT"));
        return 2;
    }
    const auto book = ReadBook(args.at(0));
    if (!book)
        return 1;
    // The book written is locked as Open locks it, so two programs never write it unseen; and
    // IN stays as it is, with its backup.
    QString error;
    std::unique_ptr<QLockFile> lock;
    if (!CheckOutputPlace(args.at(1), KeptBooks(args.at(0)), &error, &lock) ||
        !WriteGradeBookFile(args.at(1), *book, &error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}

const bool checkRegistered = RegisterCommand(
    {QStringLiteral("check"),
     QStringLiteral("check FILE                   read FILE as a grade book; print the class and "
                    "the number of pupils"),
     RunCheck});

const bool resaveRegistered = RegisterCommand(
    {QStringLiteral("resave"),
     QStringLiteral("resave IN OUT                read IN and save it to OUT as the Save command "
                    "does, holding OUT's lock (OUT's old content becomes its .bak)"),
     RunResave});

} // namespace

} // namespace kirune::tool
