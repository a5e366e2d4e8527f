#pragma once
// One test's scores read from a table (a CSV file or a workbook's sheet): which column names the
// pupil and which holds each viewpoint, which rows match which pupil, and what each score box
// will hold. Nothing here changes the test: the editor fills its boxes from the preview, as if the
// teacher had typed them.

#include "tablefile.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace kirune {

// What the test offers the file.
struct ScoreImportTarget {
    QStringList names;                 // the roster: names[n - 1] is pupil n ("" for none)
    std::array<QString, 3> viewpoints; // the viewpoints' names
    std::array<bool, 3> checked{};     // assessed by the test
    std::array<int, 3> points{};       // allocated points, 0 when none is given (100 holds)
    // What each pupil's score boxes hold now (current[n - 1][v]); a cell that is not entered
    // leaves its box so. May be shorter than names (then such boxes count as empty).
    std::vector<std::array<QString, 3>> current;
};

// A viewpoint's column that no header named while others' did: the teacher chooses it.
constexpr int kUnchosenColumn = -2;

// The columns taken (from 0; -1 for none).
struct ScoreColumns {
    int headerRow = -1; // the row of the headers; -1: none, the rows start at the top
    int numberColumn = -1;
    int nameColumn = -1;
    std::array<int, 3> viewpoint{-1, -1, -1}; // or kUnchosenColumn
    std::array<bool, 3> byPosition{};         // taken by its place, no header naming it

    bool operator==(const ScoreColumns&) const = default;
};

// Which decides when a row's number and name name different pupils of the roster.
enum class RowFollows { Neither, Number, Name };

struct ImportedPupil {
    int number = 0;                 // attendance number
    int row = 0;                    // the file's row, from 1
    std::array<QString, 3> boxes;   // what the score boxes hold after the import
    std::array<bool, 3> fromFile{}; // the box's text came from the file
    bool absent = false;
};

struct UnmatchedRow {
    int row = 0; // from 1
    QString reason;
    bool conflict = false; // its number and its name name different pupils
};

struct CellFault {
    int row = 0;    // from 1
    int column = 0; // from 0 (shown as a letter)
    QString text;
    QString reason;
};

struct ScorePreview {
    bool ok = false;
    QString message; // why nothing can be read (no pupil column), when !ok
    ScoreColumns columns;
    std::vector<ImportedPupil> matched; // by attendance number
    std::vector<UnmatchedRow> unmatched;
    std::vector<int> missing; // named pupils without a row
    std::vector<CellFault> faults;
    QStringList warnings; // a number's name that differs from the roster's
    std::array<QString, 3> viewpointNames;
    std::array<bool, 3> checked{};

    // "3 行目 C 列": where a cell is, as the teacher finds it in the file.
    static QString Place(int row, int column);
    // One line of counts: "一致 28 人、一致しない行 1、行のない生徒 2 人、得点でないセル 0、注意
    // 1".
    QString Counts() const;
    // The rows whose number and name name different pupils (none once RowFollows decides).
    int Conflicts() const;
    // The checked viewpoints whose column is still to be chosen.
    QStringList Unchosen() const;
    // "表現 は C 列、理解 は D 列": the columns taken by their place; empty when none was.
    QString ByPosition() const;
};

// The headers that name the pupil's column, as the file may spell them.
bool IsNumberHeader(const QString& text);
bool IsNameHeader(const QString& text);
// A text as names and headers are compared: NFKC (half-width katakana become full-width,
// full-width letters and digits half-width) without any blank.
QString MatchingKey(const QString& text);
// A cell as a number: a number cell of a workbook, or digits (either width) with blanks only
// around them, a "-" before them, and a decimal point with digits after them ("12", "１２",
// " 12.0 ", "-3", "9.5"). "1 2", "1e1", "+5", "5." and "-0" are none.
bool CellNumber(const QString& text, CellKind kind, double* value);

// Finds the header row and the columns: the pupil columns by their headers, each checked
// viewpoint by a header equal to its name. When no header names a checked viewpoint, they take
// the columns after the pupil columns in order (byPosition); when some do, the others are left
// kUnchosenColumn. headerRow stays -1 when no row holds a pupil column's header.
ScoreColumns GuessScoreColumns(const TableFile& table, const ScoreImportTarget& target);
// The columns of a table without a header row: the number in A, the viewpoints after it.
ScoreColumns HeaderlessColumns(const TableFile& table, const ScoreImportTarget& target);

// Matches the rows below the header row to the pupils and reads their scores. Refused (ok false)
// when the columns name no pupil column. A row whose number and name name different pupils is
// entered as `follows` says, and listed as unmatched (conflict) while it says Neither.
ScorePreview BuildScorePreview(const TableFile& table, const ScoreImportTarget& target,
                               const ScoreColumns& columns,
                               RowFollows follows = RowFollows::Neither);

// The message for a sheet without a pupil column, naming the file and the sheet.
QString NoPupilColumnMessage(const TableFile& table);

// What the preview dialog works on: the file read once, the sheet and the columns chosen, and the
// preview they give. Choosing another sheet reads it from the same bytes and guesses again.
class ScoreImport {
public:
    // Reads the file and the sheet its workbook opens on, and guesses its columns; false with
    // Message() when the file is refused.
    bool Open(const QString& path, const ScoreImportTarget& target);
    // The same from bytes already read (`shownName` names them in messages).
    bool OpenBytes(const QByteArray& bytes, const QString& shownName,
                   const ScoreImportTarget& target);
    // Another sheet of the workbook; false with Message() when it cannot be read (the sheet
    // stays chosen, with no rows, so that the teacher can choose again).
    bool ChooseSheet(int sheet);
    // The visible sheets whose header names a pupil column.
    std::vector<int> PupilSheets() const;
    // The teacher's choice of columns (from 0, -1 for none).
    void ChooseColumns(const ScoreColumns& columns);
    // Whether the first row is data (a table without headers): the columns are guessed anew.
    void SetHeaderless(bool headerless);
    bool Headerless() const { return headerless_; }
    // Which decides for the rows whose number and name disagree.
    void ChooseFollows(RowFollows follows);
    RowFollows Follows() const { return follows_; }

    const TableBook& Book() const { return book_; }
    const TableFile& Table() const { return table_; }
    const ScorePreview& Preview() const { return preview_; }
    const ScoreImportTarget& Target() const { return target_; }
    QString Message() const { return table_.ok ? preview_.message : table_.message; }
    // Something to fill: the file was read, has a pupil column, every checked viewpoint has its
    // column chosen, and a pupil matches.
    bool CanImport() const {
        return table_.ok && preview_.ok && preview_.Unchosen().isEmpty() &&
               !preview_.matched.empty();
    }
    // The choices of a column combo box: "A: 出席番号" for each column of the table, by the
    // header row's texts (letters alone when there is no header row).
    QStringList ColumnLabels() const;
    // The columns chosen as text, "番号=A,氏名=B,表現=C,理解=-" ("-" for none; checked
    // viewpoints only), and a choice made from such text: each name a pupil column's header or a
    // checked viewpoint, each column its letters or "-". False with *error (naming the entry)
    // when an entry is neither; the columns stay as they were.
    QString ColumnsText() const;
    bool ChooseColumnsText(const QString& text, QString* error);
    // The header row and the viewpoints as a key: the same header row comes again with the next
    // test's file; empty without a header row.
    QString HeaderKey() const;

private:
    void Guess();
    TableBook book_;
    ScoreImportTarget target_;
    TableFile table_;
    ScorePreview preview_;
    bool headerless_ = false;
    RowFollows follows_ = RowFollows::Neither;
};

} // namespace kirune
